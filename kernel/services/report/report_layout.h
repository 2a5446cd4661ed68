// The configuration report as text: each section built from plain values, and the sections
// laid out on pages with their headers. Pure functions, so the whole layout is tested without
// files or a print system.
#pragma once

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "session/config_record.h"
#include "tarvo/directory.h"

namespace tarvo::report {

inline constexpr std::size_t kLineWidth = 80;
inline constexpr std::size_t kLinesPerPage = 60;
// Lines of the page header; the page's first section line is the fifth.
inline constexpr std::size_t kHeaderLines = 4;

// The profile's communication values as the report prints them (already defaulted).
struct CommValues {
    std::string port = "COM1";
    std::string baud = "9600";
    std::string parity = "Even";
    std::string dataBits = "7";
    std::string stopBits = "1";
    std::string protocol = "XON/XOFF";
    std::string preamble = "NULL";
    std::string postamble = "NULL";
    std::string printer = "5200A";
};

// Everything a report shows, copied out of the context and the profile.
struct ReportData {
    int sections = 0;  // PCU_REPORT_* bits
    CommValues comm;
    ConfigRecord config;
    bool metric = false;  // lengths in cm and mm rather than in
    std::vector<FontInfo> fonts;
    std::vector<GraphicInfo> graphics;
    std::vector<FormatInfo> formats;
};

// `text` in a line of exactly kLineWidth characters: cut at the width, padded with blanks, and
// any control byte shown as a blank so a name from a printer cannot break the layout.
std::string FitLine(std::string_view text);

// The first 24 characters of the standard ASCII form of `time` ("Wed Jun 30 21:49:08 1993"),
// with English names whatever the locale.
std::string AsciiTime(const std::tm& time);

// The four header lines of page `page`, stamped with `timeText`.
std::vector<std::string> PageHeader(std::string_view timeText, int page);

// The lines of each section (every line kLineWidth wide): communication settings 12 lines,
// configuration parameters 40, a directory its entries + 4 or none when it has no entries.
std::vector<std::string> CommSection(const CommValues& comm);
std::vector<std::string> ConfigSection(const ConfigRecord& config, bool metric);
std::vector<std::string> FontSection(const std::vector<FontInfo>& fonts);
std::vector<std::string> GraphicSection(const std::vector<GraphicInfo>& graphics);
std::vector<std::string> FormatSection(const std::vector<FormatInfo>& formats);

// The lines of the chosen sections, in report order.
std::vector<std::string> SectionLines(const ReportData& data);

// The report in pages, each its lines (header included) joined by line feeds, every line
// ended by one. A page starts again as soon as the previous one is full, so a report whose last
// page fills exactly ends with a page holding only its header.
std::vector<std::string> Paginate(const std::vector<std::string>& body, const std::tm& time);

// The log file: the pages one after the other.
std::string LogFileText(const std::vector<std::string>& pages);

}  // namespace tarvo::report

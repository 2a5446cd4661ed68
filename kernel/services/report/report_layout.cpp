#include "services/report/report_layout.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "tarvo/models.h"
#include "tarvo/report.h"

namespace tarvo::report {
namespace {

// Setting numbers the model tables know, for the lines a model may not offer.
constexpr int kSettingEmulation = 2;
constexpr int kSettingCutter = 10;
constexpr int kSettingSensitivity = 13;
constexpr int kSettingLabelWidth = 31;
constexpr int kSettingAlarm = 32;
constexpr int kSettingOnline = 33;

constexpr double kLabelLengthMm = 0.125;  // the record keeps eighths of a millimetre
constexpr double kInchesPerMm = 0.03937007874015748;
constexpr double kCmPerMm = 0.1;
constexpr double kRestAdjustMm = 0.25;
constexpr double kRestAdjustIn = 0.01;

// Blank, title, blank and the column headings of a directory section.
constexpr std::size_t kDirectoryLeadLines = 4;

__attribute__((format(printf, 1, 2))) std::string Format(const char* format, ...) {
    char line[kLineWidth * 4];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    return line;
}

// "      Name" padded so that every value starts in the same column.
std::string Label(std::string_view name) {
    constexpr std::size_t kValueColumn = 37;
    std::string label = "      " + std::string(name);
    label.resize(std::max(label.size(), kValueColumn), ' ');
    return label;
}

const char* TrueFalse(bool value) {
    return value ? "TRUE" : "FALSE";
}

const char* Enabled(bool value) {
    return value ? "ENABLED" : "DISABLED";
}

// A length in millimetres as "%.2f cm" or "%.2f in".
std::string Length(std::string_view name, double mm, bool metric) {
    return Label(name) +
           Format("%-.2f %s", metric ? mm * kCmPerMm : mm * kInchesPerMm, metric ? "cm" : "in");
}

std::string NotAvailable(std::string_view name) {
    return Label(name) + "N/A";
}

class ConfigLines {
  public:
    ConfigLines(const ConfigRecord& config, bool metric)
        : c_(config), metric_(metric), firmware_(FirmwareText(config)) {}

    bool offers(int setting) const {
        return propCfgSupport(c_.model, setting, firmware_.c_str()) == 1;
    }

    std::vector<std::string> build() const {
        std::vector<std::string> l;
        l.emplace_back();
        l.emplace_back("Configuration Parameters");
        l.emplace_back();
        printerOptions(l);
        l.emplace_back();
        paperType(l);
        l.emplace_back();
        paperHandling(l);
        l.emplace_back();
        communications(l);
        return l;
    }

  private:
    void printerOptions(std::vector<std::string>& l) const {
        char model[PROP_NAME_SIZE] = {};
        propGetPrinterStr(c_.model, model);
        char speed[PROP_SPEED_TEXT_SIZE] = {};
        propGetPrintSpeedStr(c_.printSpeed, metric_ ? 1 : 0, speed);
        char charSet[PROP_NAME_SIZE] = {};
        propGetCharSetStr(c_.charSet, charSet, PROP_NAME_SIZE - 1);
        l.emplace_back("    Printer Configuration Options:");
        l.push_back(Label("Model") + model);
        l.push_back(Label("Firmware") + firmware_);
        l.push_back(Label("Print speed") + speed + (metric_ ? " cm/sec" : " in/sec"));
        l.push_back(Label("Character set") + charSet);
        l.push_back(Label("Image bands") + Format("%-d", c_.imageBands));
        l.push_back(Label("Memory size") + Format("%-d KB", c_.memorySize));
        l.push_back(Label("Memory available") + Format("%-d KB", c_.memoryFree));
        l.push_back(Label("Image size") + Format("%-d KB", c_.imageSize));
        l.push_back(Label("Selfstrip enabled") + TrueFalse(c_.selfStrip != 0));
        l.push_back(offers(kSettingCutter) ? Label("Cutter enabled") + TrueFalse(c_.cutter != 0)
                                           : NotAvailable("Cutter enabled"));
        l.push_back(offers(kSettingAlarm) ? Label("Audible alarm") + TrueFalse(c_.audibleAlarm != 0)
                                          : NotAvailable("Audible alarm"));
        l.push_back(offers(kSettingOnline)
                        ? Label("Online on power up") + TrueFalse(c_.onlineAtPowerUp == 0)
                        : NotAvailable("Online on power up"));
        // An emulation outside the table has no dot size; show it as not available rather
        // than as a negative resolution.
        const int dpi = propGetPrinterEmulate(c_.emulation);
        l.push_back(offers(kSettingEmulation) && dpi > 0
                        ? Label("Printer emulate") +
                              Format("%-d dpi (%-4.1f mil)", dpi, 1000.0 / dpi)
                        : NotAvailable("Printer emulate"));
    }

    void paperType(std::vector<std::string>& l) const {
        static constexpr const char* kStock[] = {"Continuous", "Gap", "Mark"};
        const double mmPerDot = propGetMMPerDot(c_.model);
        l.emplace_back("    Paper Type Options:");
        l.push_back(Label("Media type") + (c_.mediaType ? "Thermal Transfer" : "Direct Thermal"));
        l.push_back(Label("Label stock") + kStock[c_.labelStock <= 2 ? c_.labelStock : 0]);
        l.push_back(offers(kSettingSensitivity)
                        ? Label("Media sensitivity #") + Format("%-d", c_.mediaSensitivity)
                        : NotAvailable("Media sensitivity #"));
        l.push_back(Label("Darkness") + Format("%-d", c_.darkness));
        l.push_back(Length("Label length", c_.labelLength * kLabelLengthMm, metric_));
        l.push_back(offers(kSettingLabelWidth)
                        ? Length("Label width", c_.labelWidth * mmPerDot, metric_)
                        : NotAvailable("Label width"));
    }

    void paperHandling(std::vector<std::string>& l) const {
        static constexpr const char* kHandling[] = {"Batch", "Tear off", "Self strip", "Cutter"};
        const double mmPerDot = propGetMMPerDot(c_.model);
        l.emplace_back("    Paper Handling Options:");
        l.push_back(Label("Paper handle option") +
                    kHandling[c_.paperHandling <= 3 ? c_.paperHandling : 0]);
        l.push_back(Label("Retract enabled") + TrueFalse(c_.retract != 0 && c_.paperHandling == 1));
        l.push_back(Length("Top of form", c_.topOfForm * mmPerDot, metric_));
        l.push_back(Length("Trail margin", c_.trailMargin * mmPerDot, metric_));
        l.push_back(Label("Rest adjust") +
                    (metric_ ? Format("%-.2f %s", c_.restAdjust * kRestAdjustMm, "mm")
                             : Format("%-.2f %s", c_.restAdjust * kRestAdjustIn, "in")));
    }

    void communications(std::vector<std::string>& l) const {
        l.emplace_back("    Printer Communications Options:");
        l.push_back(Label("Media status") + Enabled(c_.mediaStatus != 0));
        l.push_back(Label("Buffer status") + Enabled(c_.bufferStatus != 0));
        l.push_back(Label("Memory status") + Enabled(c_.memoryStatus != 0));
        l.push_back(Label("IBM Language translation") + Enabled(c_.languageTranslation != 0));
        l.push_back(Label("Message delay") + Format("%-d msec", c_.messageDelay));
        l.push_back(Label("Inter-character delay") + Format("%-d msec", c_.interCharDelay));
    }

    const ConfigRecord& c_;
    bool metric_;
    std::string firmware_;
};

std::vector<std::string> Fitted(const std::vector<std::string>& lines) {
    std::vector<std::string> out;
    out.reserve(lines.size());
    for (const std::string& line : lines)
        out.push_back(FitLine(line));
    return out;
}

// The description field of a record, bounded even if its terminator went missing.
std::string Description(const char (&field)[PCU_DESCRIPTION_SIZE]) {
    return std::string(field, strnlen(field, PCU_DESCRIPTION_SIZE));
}

const char* FontTypeName(int fontType) {
    if (fontType == PCU_FONT_TYPE_TRUETYPE)
        return "True Type";
    if (fontType == PCU_FONT_TYPE_SPEEDO)
        return "Speedo";
    return "Bitmap";
}

std::vector<std::string> DirectoryLead(const char* title, const char* headings,
                                       std::size_t entries) {
    std::vector<std::string> lines;
    lines.reserve(kDirectoryLeadLines + entries);
    lines.emplace_back();
    lines.emplace_back(title);
    lines.emplace_back();
    lines.emplace_back(headings);
    return lines;
}

// Graphics and formats share one entry form.
template <class Record>
std::vector<std::string> PlainDirectory(const char* title, const char* headings,
                                        const std::vector<Record>& entries) {
    if (entries.empty())
        return {};
    std::vector<std::string> lines = DirectoryLead(title, headings, entries.size());
    for (const Record& e : entries) {
        lines.push_back(Format("    %5d       %-10s     %5lu", e.id,
                               Description(e.description).c_str(),
                               static_cast<unsigned long>(e.size)));
    }
    return Fitted(lines);
}

void Append(std::vector<std::string>& to, const std::vector<std::string>& lines) {
    to.insert(to.end(), lines.begin(), lines.end());
}

}  // namespace

std::string FitLine(std::string_view text) {
    std::string line(kLineWidth, ' ');
    const std::size_t length = std::min(text.size(), kLineWidth);
    for (std::size_t i = 0; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        line[i] = byte < 0x20 || byte == 0x7F ? ' ' : text[i];
    }
    return line;
}

std::string AsciiTime(const std::tm& time) {
    static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const char* day = time.tm_wday >= 0 && time.tm_wday < 7 ? kDays[time.tm_wday] : "???";
    const char* month = time.tm_mon >= 0 && time.tm_mon < 12 ? kMonths[time.tm_mon] : "???";
    std::string text = Format("%.3s %.3s%3d %.2d:%.2d:%.2d %d", day, month, time.tm_mday,
                              time.tm_hour, time.tm_min, time.tm_sec, 1900 + time.tm_year);
    text.resize(24, ' ');
    return text;
}

std::vector<std::string> PageHeader(std::string_view timeText, int page) {
    const std::string rule(kLineWidth, '-');
    const std::string title = "   Tarvo Configuration Report   " + std::string(timeText) +
                              "      Page " + std::to_string(page);
    return {rule, FitLine(title), rule, FitLine({})};
}

std::vector<std::string> CommSection(const CommValues& comm) {
    return Fitted({
        "",
        "Communication Settings",
        "",
        "    Port         " + comm.port,
        "    Baud rate    " + comm.baud,
        "    Parity       " + comm.parity,
        "    Data bits    " + comm.dataBits,
        "    Stop bits    " + comm.stopBits,
        "    Protocol     " + comm.protocol,
        "    Preamble     " + comm.preamble,
        "    Postamble    " + comm.postamble,
        "    Printer      " + comm.printer,
    });
}

std::vector<std::string> ConfigSection(const ConfigRecord& config, bool metric) {
    return Fitted(ConfigLines(config, metric).build());
}

std::vector<std::string> FontSection(const std::vector<FontInfo>& fonts) {
    if (fonts.empty())
        return {};
    std::vector<std::string> lines =
        DirectoryLead("Directory Listing -- Fonts",
                      "    Font ID     Description    Size(bytes)     Type", fonts.size());
    for (const FontInfo& f : fonts) {
        lines.push_back(Format("    %5d       %-10s     %5lu           %-10s", f.id,
                               Description(f.description).c_str(),
                               static_cast<unsigned long>(f.size), FontTypeName(f.fontType)));
    }
    return Fitted(lines);
}

std::vector<std::string> GraphicSection(const std::vector<GraphicInfo>& graphics) {
    return PlainDirectory("Directory Listing -- Graphics",
                          "    Graphic ID  Description    Size(bytes)", graphics);
}

std::vector<std::string> FormatSection(const std::vector<FormatInfo>& formats) {
    return PlainDirectory("Directory Listing -- Formats",
                          "    Format ID   Description    Size(bytes)", formats);
}

std::vector<std::string> SectionLines(const ReportData& data) {
    std::vector<std::string> lines;
    if (data.sections & PCU_REPORT_COMM)
        Append(lines, CommSection(data.comm));
    if (data.sections & PCU_REPORT_CONFIG)
        Append(lines, ConfigSection(data.config, data.metric));
    if (data.sections & PCU_REPORT_FONTS)
        Append(lines, FontSection(data.fonts));
    if (data.sections & PCU_REPORT_GRAPHICS)
        Append(lines, GraphicSection(data.graphics));
    if (data.sections & PCU_REPORT_FORMATS)
        Append(lines, FormatSection(data.formats));
    return lines;
}

std::vector<std::string> Paginate(const std::vector<std::string>& body, const std::tm& time) {
    const std::string timeText = AsciiTime(time);
    std::vector<std::string> pages;
    std::size_t lineOnPage = 0;
    auto startPage = [&] {
        pages.emplace_back();
        for (const std::string& line : PageHeader(timeText, static_cast<int>(pages.size())))
            pages.back() += line + '\n';
        lineOnPage = kHeaderLines;
    };
    startPage();
    for (const std::string& line : body) {
        pages.back() += line + '\n';
        if (++lineOnPage == kLinesPerPage)
            startPage();
    }
    return pages;
}

std::string LogFileText(const std::vector<std::string>& pages) {
    std::string text;
    for (const std::string& page : pages)
        text += page;
    return text;
}

}  // namespace tarvo::report

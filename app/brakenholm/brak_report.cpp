#include "brakenholm/brak_report.h"

#include <algorithm>
#include <cstdio>

#include "brakenholm/brak_setting_text.h"
#include "brakenholm/value_tables.h"
#include "tarvo/base/fs.h"
#include "tarvo/report.h"

namespace tarvo::app {
namespace {

constexpr std::string_view kReportItem = "    ";
constexpr std::string_view kReportSubItem = "        ";
constexpr std::string_view kReportNotRead = "(not read)";
constexpr std::size_t kReportTitleWidth = 55;
constexpr std::size_t kReportRuleWidth = 79;
constexpr std::size_t kReportColumns = 80;
constexpr std::size_t kReportPageLines = 60;

// "%s%-Ns%s": the prefix, the label padded to `width`, then the value.
std::string Line(std::string_view prefix, std::size_t width, std::string_view label,
                 std::string_view value) {
    std::string line(prefix);
    line += label;
    if (label.size() < width)
        line.append(width - label.size(), ' ');
    line += value;
    return line;
}

std::string Comm(std::string_view label, std::string_view value) {
    return Line(kReportItem, 28, label, value);
}

std::string Cfg(std::string_view label, std::string_view value) {
    return Line(kReportSubItem, 30, label, value);
}

std::string Number(const BrakSetup& s, BrakSetting setting, long long value,
                   std::string_view unit = {}) {
    if (!WasRead(s, setting))
        return std::string(kReportNotRead);
    return std::to_string(value) + std::string(unit);
}

std::string Switch(const BrakSetup& s, BrakSetting setting, bool on) {
    if (!WasRead(s, setting))
        return std::string(kReportNotRead);
    return on ? "Enabled" : "Disabled";
}

std::string Text(std::string_view value, std::string_view unit = {}) {
    return value.empty() ? std::string(kReportNotRead) : std::string(value) + std::string(unit);
}

std::vector<std::string> CommSection(const BrakReportData& d) {
    const BrakSetup& s = d.setup;
    const int g = d.generation;
    return {
        "*** Communication Settings",
        Comm("Baud rate", SettingValueText(BrakSetting::Baud, s, g)),
        Comm("Parity", SettingValueText(BrakSetting::Parity, s, g)),
        Comm("Data bits", Number(s, BrakSetting::CharLength, s.charLength)),
        Comm("Stop bits", Number(s, BrakSetting::StopBits, s.stopBits)),
        Comm("Input Channel", "UART1"),
        Comm("Output Channel", "UART1"),
        Comm("RTS/CTS", Switch(s, BrakSetting::RtsCts, s.rtsCts)),
        Comm("Xon/Xoff from Host", Switch(s, BrakSetting::XonXoffFromHost, s.xonXoffFromHost)),
        Comm("Xon/Xoff to Host", Switch(s, BrakSetting::XonXoffToHost, s.xonXoffToHost)),
        Comm("Receive buffer", Number(s, BrakSetting::ReceiveBuffer, s.receiveBuffer, " bytes")),
        Comm("Transmit buffer", Number(s, BrakSetting::TransmitBuffer, s.transmitBuffer, " bytes")),
        Comm("Port connection", d.portName),
        Comm("New Line", SettingValueText(BrakSetting::NewLine, s, g)),
        "",
    };
}

void ProfileLines(const BrakReportData& d, std::vector<std::string>& out) {
    const BrakIdentity& id = d.identity;
    out.push_back(std::string(kReportItem) + "Printer Configuration Profile:");
    out.push_back(Cfg("Printer Model", Text(id.version1)));
    out.push_back(Cfg("Firmware Version", Text(id.version0)));
    out.push_back(Cfg("CPU Board", Text(id.version2)));
    out.push_back(Cfg("Permanent memory free", Text(id.storageFree, " bytes")));
    out.push_back(Cfg("Permanent memory used", Text(id.storageUsed, " bytes")));
    if (d.generation >= 2) {
        out.push_back(Cfg("Dynamic memory free", Text(id.heapFree, " bytes")));
        out.push_back(Cfg("Dynamic memory used", Text(id.heapAllocated, " bytes")));
    }
    out.push_back(Cfg("Printhead Density", Text(id.sysvar21, " dots/mm")));
    out.push_back(Cfg("Dots in Printhead", Text(id.sysvar22)));
    out.push_back(Cfg("Media Status", id.sysvar23 != 0 ? "Ribbon detected" : "No ribbon"));
}

// The older tree's supplies lines: the grade and the supplies codes the printer stated. The
// printer states one grade, so the acceptable grades list that one.
void ClassicSupplies(const BrakReportData& d, std::vector<std::string>& out) {
    const BrakSetup& s = d.setup;
    const std::string grade = SettingValueText(BrakSetting::PaperType, s, d.generation);
    out.push_back(Cfg("Media Type", grade));
    out.push_back(
        Cfg("New Supplies", SettingValueText(BrakSetting::NewSupplies1, s, d.generation)));
    out.push_back(Cfg("Ribbon New Supplies",
                      d.generation == 0
                          ? SettingValueText(BrakSetting::NewSupplies2, s, d.generation)
                          : std::string("None")));
    out.push_back(std::string(kReportSubItem) + "Paper Type (acceptable)");
    out.push_back(Cfg("Paper Type 1", grade));
}

void QualityLines(const BrakReportData& d, std::vector<std::string>& out) {
    const BrakSetup& s = d.setup;
    out.push_back(std::string(kReportItem) + "Media Type -- Quality:");
    out.push_back(Cfg("Contrast", SettingValueText(BrakSetting::Contrast, s, d.generation)));
    if (d.generation < 2) {
        ClassicSupplies(d, out);
        return;
    }
    const bool transfer = s.paperType == FindInTable(PaperType712Table(), "TRANSFER");
    if (transfer) {
        out.push_back(Cfg("Ribbon Factor", Number(s, BrakSetting::RibbonFactor, s.ribbonFactor)));
        out.push_back(
            Cfg("Ribbon Constant", Number(s, BrakSetting::RibbonConstant, s.ribbonConstant)));
        out.push_back(Cfg("Label Offset", Number(s, BrakSetting::LabelOffset, s.labelOffset)));
    } else {
        out.push_back(Cfg("Label Factor", Number(s, BrakSetting::LabelFactor, s.labelFactor)));
        out.push_back(
            Cfg("Label Constant", Number(s, BrakSetting::LabelConstant, s.labelConstant)));
    }
}

void HandlingAndSetupLines(const BrakReportData& d, std::vector<std::string>& out) {
    const BrakSetup& s = d.setup;
    const int g = d.generation;
    out.push_back(std::string(kReportItem) + "Media Type -- Handling:");
    out.push_back(Cfg("Start Adjust", Number(s, BrakSetting::StartAdjust, s.startAdjust)));
    out.push_back(Cfg("Stop Adjust", Number(s, BrakSetting::StopAdjust, s.stopAdjust)));
    out.push_back(Cfg("X-Start", Number(s, BrakSetting::XStart, s.xStart)));
    out.push_back(Cfg("Width", Number(s, BrakSetting::Width, s.width)));
    out.push_back(Cfg("Length", Number(s, BrakSetting::Length, s.length)));
    out.push_back(std::string(kReportItem) + "Media Type -- Setup:");
    out.push_back(Cfg("Media Type", SettingValueText(BrakSetting::MediaType, s, g)));
    if (g >= 2)
        out.push_back(Cfg("Paper Type", SettingValueText(BrakSetting::PaperType, s, g)));
    else
        out.push_back(Cfg("Performance", SettingValueText(BrakSetting::Performance, s, g)));
    out.push_back(Cfg("Print Speed", Number(s, BrakSetting::PrintSpeed, s.printSpeed, " mm/sec")));
}

std::vector<std::string> ConfigSection(const BrakReportData& d) {
    std::vector<std::string> out = {"*** Configuration Parameters"};
    ProfileLines(d, out);
    QualityLines(d, out);
    HandlingAndSetupLines(d, out);
    out.emplace_back();
    return out;
}

std::string ListingError(const BrakNameListing& listing, std::string_view what) {
    std::string line = "*** ERROR:Cannot load " + std::string(what) + " data from printer";
    if (listing.portBusy)
        line += " -- access denied to COM port";
    return line;
}

std::vector<std::string> NameSection(std::string_view title, const BrakNameListing& listing,
                                     std::string_view what) {
    std::vector<std::string> out = {std::string(title)};
    if (!listing.read) {
        out.push_back(ListingError(listing, what));
    } else {
        for (const std::string& name : listing.names)
            out.push_back(std::string(kReportItem) + name);
        if (listing.truncated)
            out.push_back(std::string(kReportItem) + "(the printer's list was too long; some " +
                          std::string(what) + " names are missing)");
    }
    out.emplace_back();
    return out;
}

// Names reach the report's lines; a control byte would break its layout.
std::string Printable(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = ' ';
    }
    return out;
}

std::string AsciiTime(const std::tm& t) {
    static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char text[64];
    std::snprintf(text, sizeof text, "%s %s %2d %02d:%02d:%02d %d", kDays[(t.tm_wday % 7 + 7) % 7],
                  kMonths[(t.tm_mon % 12 + 12) % 12], t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec,
                  t.tm_year + 1900);
    return text;
}

std::string FitColumns(std::string_view line) {
    return Printable(line.substr(0, kReportColumns));
}

}  // namespace

BrakReportData GatherBrakReport(CBrakPrinter& printer, const AppSession& session,
                                unsigned sections) {
    BrakReportData data;
    data.sections = sections & kBrakReportAll;
    data.generation = printer.SetupGeneration();
    data.setup = printer.GetSetup();
    data.identity = printer.Identity();
    data.portName = std::string(PortName(session.port));
    if (data.sections & kBrakReportFonts)
        data.fonts = ReadFontNames(printer);
    if (data.sections & kBrakReportImages)
        data.images = ReadImageNames(printer);
    return data;
}

std::vector<std::string> BrakReportLines(const BrakReportData& data) {
    std::vector<std::string> lines;
    auto add = [&lines](const std::vector<std::string>& section) {
        lines.insert(lines.end(), section.begin(), section.end());
    };
    if (data.sections & kBrakReportComm)
        add(CommSection(data));
    if (data.sections & kBrakReportConfig)
        add(ConfigSection(data));
    if (data.sections & kBrakReportFonts)
        add(NameSection("*** Installed Fonts", data.fonts, "font"));
    if (data.sections & kBrakReportImages)
        add(NameSection("*** Installed Images", data.images, "image"));
    return lines;
}

std::vector<std::string> BrakReportErrors(const BrakReportData& data) {
    std::vector<std::string> errors;
    if ((data.sections & kBrakReportFonts) && !data.fonts.read)
        errors.push_back(ListingError(data.fonts, "font"));
    if ((data.sections & kBrakReportImages) && !data.images.read)
        errors.push_back(ListingError(data.images, "image"));
    return errors;
}

std::string BrakReportTitle(const std::tm& time) {
    std::string title = "Tarvo Configuration Report";
    title.resize(kReportTitleWidth, ' ');
    return title + AsciiTime(time);
}

std::string BrakReportFileText(const std::vector<std::string>& lines, const std::tm& time) {
    std::string text = BrakReportTitle(time) + "\r\n";
    text += std::string(kReportRuleWidth, '-') + "\r\n\r\n";
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

std::vector<std::string> BrakReportPages(const std::vector<std::string>& lines,
                                         const std::tm& time) {
    constexpr std::size_t kHeaderLines = 3;
    constexpr std::size_t kBodyLines = kReportPageLines - kHeaderLines;
    std::vector<std::string> pages;
    const std::size_t pageCount =
        std::max<std::size_t>(1, (lines.size() + kBodyLines - 1) / kBodyLines);
    for (std::size_t page = 0; page < pageCount; ++page) {
        std::string text = FitColumns("Tarvo Configuration Report   " + AsciiTime(time) +
                                      "   Page " + std::to_string(page + 1)) +
                           "\n" + std::string(kReportRuleWidth, '-') + "\n\n";
        const std::size_t first = page * kBodyLines;
        const std::size_t last = std::min(lines.size(), first + kBodyLines);
        for (std::size_t i = first; i < last; ++i)
            text += FitColumns(lines[i]) + "\n";
        pages.push_back(std::move(text));
    }
    return pages;
}

OpResult WriteBrakReportLog(const std::string& path, const std::vector<std::string>& lines,
                            const std::tm& time) {
    if (path.empty())
        return {OpStatus::Failed, std::nullopt, "no log file was named"};
    if (!platform::ReplaceUserFile(path, BrakReportFileText(lines, time)))
        return {OpStatus::Failed, std::nullopt, "Unable to open file " + path};
    return {};
}

std::string BrakReportPrinterName() {
    char name[256] = {};
    if (PCUGetDefaultPrintQueue(name, sizeof name) != PCU_OK || name[0] == '\0')
        return "Unknown";
    return name;
}

int PrintBrakReport(const std::vector<std::string>& lines, const std::tm& time) {
    const std::vector<std::string> pages = BrakReportPages(lines, time);
    std::vector<const char*> texts;
    for (const std::string& page : pages)
        texts.push_back(page.c_str());
    return PCUPrintTextPages("Tarvo Report Log", "Print Log", texts.data(),
                             static_cast<int>(texts.size()));
}

OpResult SaveBrakReport(Prompt& prompt, const std::vector<std::string>& lines,
                        const std::tm& time) {
    FileRequest request;
    request.filter = " Text file (*.*)|*.log||";
    request.defaultExtension = "log";
    request.initialName = "Tarvo.log";
    request.confirmOverwrite = true;
    const FileChoice choice = prompt.ChooseSaveFile(request);
    if (choice.outcome == FileChoice::Outcome::Cancelled)
        return {OpStatus::Cancelled, std::nullopt, {}};
    if (choice.outcome == FileChoice::Outcome::Failed) {
        prompt.Tell("Error", "Unable to access File SaveAs dialog box", PromptIcon::Stop);
        return {OpStatus::Failed, std::nullopt, "Unable to access File SaveAs dialog box"};
    }
    OpResult written = WriteBrakReportLog(choice.path, lines, time);
    if (!written.ok())
        prompt.Tell("Error", written.detail, PromptIcon::Stop);
    return written;
}

void TellBrakReportErrors(Prompt& prompt, const BrakReportData& data) {
    std::string text;
    for (const std::string& line : BrakReportErrors(data))
        text += (text.empty() ? "" : "\n") + line;
    if (!text.empty())
        prompt.Tell("Error!", text, PromptIcon::Stop);
}

std::tm BrakReportNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

}  // namespace tarvo::app

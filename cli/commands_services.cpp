// `tarvo testprint`, `tarvo service`, `tarvo memory-check` and `tarvo reset`: the printer
// services of an escape-language printer.
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "brakenholm_session.h"
#include "cli_support.h"
#include "command_runs.h"
#include "json_output.h"
#include "tarvo/kernel.h"

namespace tarvo::cli {
namespace {

constexpr const char* kTestPrintUsage =
    "usage: tarvo testprint (label hardware|quality|software|pitch | font ID [--points P] | "
    "graphic ID | barcode NAME | format N | page N) [--large]";
constexpr const char* kServiceUsage = "usage: tarvo service [ITEM ...]  (G L M P S1 S2 S3 T U V)";
constexpr const char* kMemoryUsage =
    "usage: tarvo memory-check [--graphic FILE (--scale S | --size WxH)]...";

// The service items by name, in the order of their numbers.
constexpr const char* kItemNames[PCU_SERVICE_ITEMS] = {"G",  "L",  "M", "P", "S1",
                                                       "S2", "S3", "T", "U", "V"};

std::optional<int> Number(const std::string& text, int low, int high) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

std::optional<double> Decimal(const std::string& text) {
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value) ||
        value <= 0)
        return std::nullopt;
    return value;
}

// Lower case without blanks and underscores: "Code_128" and "code 128" name the same sample.
std::string Folded(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c != ' ' && c != '_')
            out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

std::optional<int> BarcodeIndex(const std::string& name) {
    if (auto index = Number(name, 0, PCU_BARCODE_SAMPLES - 1))
        return index;
    for (int i = 0; i < PCU_BARCODE_SAMPLES; ++i) {
        if (Folded(PCUGetBarcodeSampleName(static_cast<std::uint16_t>(i))) == Folded(name))
            return i;
    }
    return std::nullopt;
}

std::string BarcodeNames() {
    std::string names;
    for (int i = 0; i < PCU_BARCODE_SAMPLES; ++i) {
        std::string name = PCUGetBarcodeSampleName(static_cast<std::uint16_t>(i));
        name.erase(name.find_last_not_of(' ') + 1);
        names += (i > 0 ? ", " : "") + name;
    }
    return names;
}

struct TestRequest {
    int kind = -1;
    int selector = 0;
    int font = 0;
    int points = 0;
    int graphic = 0;
    int symbology = 0;
    int labelSize = PCU_LABEL_2X3;
    std::string what;  // for the message
};

std::optional<int> BuiltInSelector(const std::string& name) {
    if (name == "hardware")
        return PCU_BUILT_IN_HARDWARE;
    if (name == "quality")
        return PCU_BUILT_IN_QUALITY;
    if (name == "software")
        return PCU_BUILT_IN_SOFTWARE;
    if (name == "pitch")
        return PCU_BUILT_IN_PITCH;
    return std::nullopt;
}

// Reads the request; empty on success, otherwise what is wrong.
std::string ParseTestPrint(const std::vector<std::string>& a, TestRequest* r) {
    if (a.size() < 2)
        return kTestPrintUsage;
    const std::string& what = a[0];
    const std::string& value = a[1];
    r->what = what + " " + value;
    std::optional<int> n;
    if (what == "label") {
        n = BuiltInSelector(value);
        r->kind = PCU_TEST_BUILT_IN;
        r->selector = n.value_or(0);
    } else if (what == "format" || what == "page") {
        n = Number(value, 0, 65535);
        r->kind = what == "format" ? PCU_TEST_FORMAT : PCU_TEST_PAGE;
        r->selector = n.value_or(0);
    } else if (what == "font") {
        n = Number(value, 0, 65535);
        r->kind = PCU_TEST_FONT;
        r->font = n.value_or(0);
    } else if (what == "graphic") {
        n = Number(value, 0, 65535);
        r->kind = PCU_TEST_GRAPHIC;
        r->graphic = n.value_or(0);
    } else if (what == "barcode") {
        n = BarcodeIndex(value);
        r->kind = PCU_TEST_BARCODE;
        r->symbology = n.value_or(0);
        if (!n)
            return "unknown bar code '" + value + "'; the samples are " + BarcodeNames();
    } else {
        return kTestPrintUsage;
    }
    if (!n)
        return "'" + value + "' is not a valid " + what + "; " + kTestPrintUsage;
    for (std::size_t i = 2; i < a.size(); ++i) {
        if (a[i] == "--large") {
            r->labelSize = PCU_LABEL_4X6;
        } else if (a[i] == "--points" && r->kind == PCU_TEST_FONT && i + 1 < a.size()) {
            const auto points = Number(a[++i], 1, 999);
            if (!points)
                return "--points takes a whole number from 1 to 999";
            r->points = *points;
        } else {
            return kTestPrintUsage;
        }
    }
    return {};
}

void PrintServiceValue(int item, std::int32_t value) {
    std::cout << kItemNames[item] << "\t";
    if (value == -1)
        std::cout << "not supported\n";
    else
        std::cout << value << "\n";
}

std::optional<int> ItemNumber(const std::string& name) {
    std::string upper;
    for (char c : name)
        upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (int i = 0; i < PCU_SERVICE_ITEMS; ++i) {
        if (upper == kItemNames[i])
            return i;
    }
    return Number(name, 0, PCU_SERVICE_ITEMS - 1);
}

// Reads --graphic FILE (--scale S | --size WxH) entries into queued graphics 1, 2, ...
std::string ParseGraphics(const std::vector<std::string>& a, std::vector<GraphicInfo>* out) {
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != "--graphic" || i + 2 >= a.size())
            return kMemoryUsage;
        GraphicInfo g{};
        std::snprintf(g.path, sizeof g.path, "%s", a[i + 1].c_str());
        std::snprintf(g.newDescription, sizeof g.newDescription, "%s", a[i + 1].c_str());
        g.id = static_cast<std::uint16_t>(out->size() + 1);
        g.pending = PCU_PENDING_DOWNLOAD;
        const std::string& how = a[i + 2];
        if (how == "--scale" && i + 3 < a.size()) {
            const auto scale = Decimal(a[i + 3]);
            if (!scale)
                return "--scale takes a positive number, not '" + a[i + 3] + "'";
            g.scaleMode = PCU_SCALE_BY_FACTOR;
            g.scale = static_cast<float>(*scale);
        } else if (how == "--size" && i + 3 < a.size()) {
            const std::string& size = a[i + 3];
            const auto x = size.find('x');
            const auto w = x == std::string::npos ? std::nullopt : Decimal(size.substr(0, x));
            const auto h = x == std::string::npos ? std::nullopt : Decimal(size.substr(x + 1));
            if (!w || !h)
                return "--size takes WIDTHxHEIGHT in inches (e.g. 1.5x0.75), not '" + size + "'";
            g.scaleMode = 0;
            g.width = static_cast<float>(*w);
            g.height = static_cast<float>(*h);
        } else {
            return kMemoryUsage;
        }
        out->push_back(g);
        i += 3;
    }
    return {};
}

// The caller's own list of the queued graphics, freed at the end.
class GraphicList {
  public:
    explicit GraphicList(const std::vector<GraphicInfo>& graphics) : head_(cl_inithd()) {
        for (const GraphicInfo& g : graphics) {
            if (cl_node* node = cl_ins(cl_last(head_), sizeof(GraphicInfo)); node != nullptr)
                *static_cast<GraphicInfo*>(node->data) = g;
        }
    }
    ~GraphicList() {
        cl_clrlist(head_);
        cl_del(head_, head_);
    }
    GraphicList(const GraphicList&) = delete;
    GraphicList& operator=(const GraphicList&) = delete;
    cl_node* head() const { return head_; }

  private:
    cl_node* head_;
};

struct SkippedNames {
    const std::vector<GraphicInfo>* graphics;
};

void ReportSkipped(void* user, int kind, std::uint16_t id, int reason) {
    const auto* names = static_cast<SkippedNames*>(user);
    std::string name = std::to_string(id);
    if (kind == PCU_OBJECT_GRAPHIC && id >= 1 && id <= names->graphics->size())
        name = (*names->graphics)[id - 1].path;
    std::cerr << "tarvo: warning: " << (kind == PCU_OBJECT_GRAPHIC ? "graphic " : "font ") << name
              << " cannot be read (code " << reason << ") and is not counted\n";
}

}  // namespace

int RunTestPrint(int ctx, const CommandLine& line) {
    if (IsBrakenholmContext(ctx))
        return RunBrakTestPrint(ctx, line);
    TestRequest r;
    if (std::string problem = ParseTestPrint(line.args, &r); !problem.empty())
        return Fail(problem, kUsage);
    IdentifiedPrinter printer;
    if (!IdentifyLanmere(ctx, &printer))
        return 1;
    const bool composed =
        r.kind == PCU_TEST_FONT || r.kind == PCU_TEST_GRAPHIC || r.kind == PCU_TEST_BARCODE;
    if (composed && !ReadPrinterConfiguration(ctx))
        return 1;
    std::uint16_t fonts = 0;
    if (r.kind == PCU_TEST_FONT)
        PCUGetFonts(ctx, &fonts);  // names the font on its label when the printer lists it
    const int rc = PCUTestPrint(ctx, r.kind, r.labelSize, r.selector, r.font, r.points, r.graphic,
                                r.symbology);
    if (rc == PCU_ERR_NO_PING)
        return Fail("the printer on " + PortOf(ctx) + " does not answer");
    if (rc != PCU_OK)
        return Fail("printing the test label (" + r.what + ") failed: " + ErrorText(ctx));
    std::cout << "Printed the test label (" << r.what << ").\n";
    return 0;
}

int RunService(int ctx, const CommandLine& line) {
    std::vector<std::uint16_t> items;
    for (const std::string& name : line.args) {
        const auto item = ItemNumber(name);
        if (!item)
            return Fail("unknown item '" + name + "'; " + kServiceUsage, kUsage);
        items.push_back(static_cast<std::uint16_t>(*item));
    }
    if (items.empty()) {
        for (std::uint16_t i = 0; i < PCU_SERVICE_ITEMS; ++i)
            items.push_back(i);
    }
    IdentifiedPrinter printer;
    if (!IdentifyLanmere(ctx, &printer))
        return 1;
    std::vector<std::int32_t> values(items.size(), -1);
    auto count = static_cast<std::uint16_t>(items.size());
    const int rc = PCUTestService(ctx, items.data(), values.data(), &count);
    if (rc == PCU_ERR_OPEN)
        return Fail("the port " + PortOf(ctx) + " could not be opened");
    if (line.options.json) {
        // A value the printer does not report is null.
        Json document = Json::object();
        for (std::size_t i = 0; i < items.size(); ++i)
            document[kItemNames[items[i]]] = values[i] == -1 ? Json(nullptr) : Json(values[i]);
        PrintJson(document);
    } else {
        for (std::size_t i = 0; i < items.size(); ++i)
            PrintServiceValue(items[i], values[i]);
    }
    if (rc != PCU_OK)
        return Fail(ErrorText(ctx));
    return 0;
}

int RunMemoryCheck(int ctx, const CommandLine& line) {
    std::vector<GraphicInfo> graphics;
    if (std::string problem = ParseGraphics(line.args, &graphics); !problem.empty())
        return Fail(problem, kUsage);
    IdentifiedPrinter printer;
    if (!IdentifyLanmere(ctx, &printer) || !ReadPrinterConfiguration(ctx))
        return 1;
    const GraphicList list(graphics);
    SkippedNames names{&graphics};
    PCUMemoryReport report{};
    report.skipped = ReportSkipped;
    report.user = &names;
    const int rc = PCUMemoryCheckReport(ctx, nullptr, list.head(), &report);
    if (rc == PCU_ERR_GRAPHIC_LIMIT) {
        const char* detail = nullptr;
        int id = 0;
        PCUErrInfo(ctx, nullptr, &id, &detail);
        return Fail(std::string("graphic ") + (detail != nullptr ? detail : "") +
                    " is larger than the printer takes");
    }
    if (rc != PCU_OK && rc != PCU_ERR_PRINTER_MEMORY)
        return Fail("the memory check failed: " + ErrorText(ctx));
    if (line.options.json) {
        PrintJson({{"freeKb", report.freeKb},
                   {"bytesNeeded", report.bytesNeeded},
                   {"fits", rc != PCU_ERR_PRINTER_MEMORY}});
        return rc == PCU_ERR_PRINTER_MEMORY ? 1 : 0;
    }
    std::cout << "Free memory: " << report.freeKb << " KB\n";
    std::cout << "Needed: " << report.bytesNeeded << " bytes\n";
    if (rc == PCU_ERR_PRINTER_MEMORY) {
        std::cout << "Does not fit.\n";
        return 1;
    }
    std::cout << "Fits.\n";
    return 0;
}

int RunReset(int ctx, const CommandLine& line) {
    if (!line.args.empty())
        return Fail("usage: tarvo reset", kUsage);
    IdentifiedPrinter printer;
    if (!IdentifyLanmere(ctx, &printer))
        return 1;
    if (const Consent c = Confirm(line,
                                  "Reset the communication settings of the printer on " +
                                      PortOf(ctx) + " to its factory values?",
                                  Stakes::Erasure);
        c != Consent::Given)
        return Declined(c, "nothing changed");
    const int rc = PCUResetPrinter(ctx);
    if (rc == PCU_ERR_NO_PING)
        return Fail("the printer on " + PortOf(ctx) + " does not answer");
    if (rc != PCU_OK)
        return Fail("resetting the printer failed: " + ErrorText(ctx));
    commState comm{};
    PCUGetCommState(ctx, &comm);
    std::cout << "The printer is reset. The profile now reads: " << DescribeLine(comm) << ".\n";
    return 0;
}

}  // namespace tarvo::cli

// The texts of the test-label programs. One design serves every model: its positions are
// drawn for an 8 dots/mm wide label and scaled to the label width and print-head resolution
// of the model, and its bar-code samples use the module widths the print head can make.
#include <cstdio>

#include "brakenholm/brak_model.h"
#include "brakenholm/brak_test_label.h"
#include "brakenholm/value_tables.h"

namespace tarvo::app {
namespace {

constexpr const char* kMakerName = "BRAKENHOLM";
constexpr const char* kLayoutName = "TARVO730";

// How one variant differs: its frame and the scale of every other position (num / den of the
// base design).
struct LabelVariant {
    int frameAt = 25;
    int frameWidth = 1000;
    int frameHeight = 767;
    int frameLine = 2;
    int num = 1;
    int den = 1;
    bool highResolution = false;

    int at(int base) const { return base * num / den; }
};

LabelVariant VariantOf(const MediaModel& model) {
    const bool high = model.resolution != "8";
    const bool wide =
        model.generation < 3 || model.modelText == "TQ8e" || model.modelText == "TQ5e";
    if (wide)
        return high ? LabelVariant{35, 1488, 1144, 3, 3, 2, true} : LabelVariant{};
    return high ? LabelVariant{30, 1116, 858, 3, 9, 8, true}
                : LabelVariant{20, 744, 572, 2, 3, 4, false};
}

// A Code 39 sample: its text, module width in dots and wide-to-narrow ratio.
struct BarSample {
    const char* text;
    int module;
    const char* ratio;  // "3,1" or "5,2"
    const char* ratioCaption;
};

// One dot is 3.3 mil on a 12 dots/mm head and about 5 mil on an 8 dots/mm head.
std::string ModuleCaption(int module, bool highResolution) {
    if (highResolution)
        return module == 1 ? "3.3 MIL" : "6.6 MIL";
    return std::to_string(module * 5) + " MIL";
}

// Numbers the lines it is given from `first`, in steps of ten.
class NumberedLines {
  public:
    // A numbered program starts with NEW, so that no line of an earlier one is left behind.
    explicit NumberedLines(int first) : next_(first), lines_{"NEW"} {}
    void Add(const std::string& statement) {
        lines_.push_back(std::to_string(next_) + " " + statement);
        next_ += 10;
    }
    std::vector<std::string> Take() { return std::move(lines_); }

  private:
    int next_;
    std::vector<std::string> lines_;
};

std::string Position(const LabelVariant& v, int x, int y) {
    return "PRPOS " + std::to_string(v.at(x)) + "," + std::to_string(v.at(y));
}

std::string Quote(const std::string& text) {
    return "\"" + text + "\"";
}

void AddFrame(NumberedLines& lines, const LabelVariant& v) {
    lines.Add("DIR 1 : ALIGN 7");
    lines.Add("PRPOS " + std::to_string(v.frameAt) + "," + std::to_string(v.frameAt) + " : PRBOX " +
              std::to_string(v.frameWidth) + "," + std::to_string(v.frameHeight) + "," +
              std::to_string(v.frameLine));
}

void AddBarSamples(NumberedLines& lines, const LabelVariant& v, const std::string& captionFont) {
    const int narrow = 1;
    const int wide = 2;
    std::vector<BarSample> samples = {{"PICKET FIELD", wide, "3,1", "3.0 /1"},
                                      {"SUPPLIER", narrow, "5,2", "2.5 /1"},
                                      {kMakerName, wide, "5,2", "2.5 /1"},
                                      {"DRAG", narrow, "3,1", "3.0 /1"}};
    if (!v.highResolution)
        samples.push_back({"PICKET FIELD", 3, "3,1", "3.0 /1"});
    int y = 420;
    for (const BarSample& s : samples) {
        const bool ladder = std::string(s.text) == "DRAG";
        lines.Add(Position(v, 60, y) + " : BARTYPE \"CODE39A\" : BARRATIO " + s.ratio +
                  " : BARMAG " + std::to_string(s.module) + " : BARHEIGHT " +
                  std::to_string(v.at(50)) + (ladder ? " : DIR 2" : "") + " : PRBAR " +
                  Quote(s.text) + (ladder ? " : DIR 1" : ""));
        lines.Add(captionFont + " : " + Position(v, 640, y + 25) + " : PRTXT " +
                  Quote(ModuleCaption(s.module, v.highResolution)) + " : " +
                  Position(v, 760, y + 25) + " : PRTXT \"CODE 39\" : " + Position(v, 880, y + 25) +
                  " : PRTXT " + Quote(s.ratioCaption));
        y -= 75;
    }
    lines.Add(Position(v, 40, 40) + " : PRLINE " + std::to_string(v.at(920)) + "," +
              std::to_string(v.frameLine));
}

std::string Printf3(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%03d", value);
    return text;
}

std::string SpeedText(std::int32_t speedMm, bool metric) {
    if (speedMm <= 0)
        return "Unknown";
    if (metric)
        return std::to_string(speedMm) + " mps";
    return std::to_string(speedMm / kPrintSpeedStep) + ".0 ips";
}

std::string TableTextOr(ValueTable table, std::uint16_t index, const char* otherwise) {
    const auto text = TableText(table, index);
    return text ? std::string(*text) : otherwise;
}

}  // namespace

BrakTestLabel NewTreeTestLabel(const MediaModel& model, const SampleValues& values,
                               std::int32_t speedMm, bool metric) {
    const LabelVariant v = VariantOf(model);
    const std::string offset = values.thermalTransfer ? Printf3(values.offset) : "";
    NumberedLines lines(10);
    lines.Add("NCONSTANT$=" + Quote(Printf3(values.constant)));
    lines.Add("NFACTOR$=" + Quote(Printf3(values.factor)));
    lines.Add("NOFFSET$=" + Quote(offset));
    lines.Add("NSPEED$=" + Quote(SpeedText(speedMm, metric)));
    lines.Add("NCONTRAST$=" + Quote(ContrastText(values.contrast)));
    lines.Add(std::string("TYPE$=") + (values.thermalTransfer ? "\"Ribbon\"" : "\"Label\""));
    lines.Add("SSPEED$=\"Print Speed\"");
    lines.Add("SCONSTANT$=TYPE$+\" Constant\"");
    lines.Add("SFACTOR$=TYPE$+\" Factor\"");
    lines.Add("SOFFSET$=\"Label Offset\"");
    AddFrame(lines, v);
    lines.Add("FONT \"Swiss 721 Bold BT\",12 : " + Position(v, 60, 720) +
              " : PRTXT \"Label Settings:\"");
    const std::pair<const char*, const char*> rows[] = {{"SSPEED$", "NSPEED$"},
                                                        {"\"Contrast\"", "NCONTRAST$"},
                                                        {"SCONSTANT$", "NCONSTANT$"},
                                                        {"SFACTOR$", "NFACTOR$"}};
    int y = 680;
    lines.Add("FONT \"Swiss 721 Bold BT\",10");
    for (const auto& [caption, value] : rows) {
        lines.Add(Position(v, 60, y) + " : PRTXT " + caption + " : " + Position(v, 330, y) +
                  " : PRTXT \"= \"+" + value);
        y -= 35;
    }
    lines.Add("IF NOFFSET$<>\"\" THEN " + Position(v, 60, y) +
              " : PRTXT SOFFSET$ : " + Position(v, 330, y) + " : PRTXT \"= \"+NOFFSET$");
    lines.Add("FONT \"Swiss 721 Bold Condensed BT\",12 : " + Position(v, 600, 720) + " : PRTXT \"" +
              kMakerName + "\"");
    lines.Add(Position(v, 600, 680) + " : PRTXT \"Print Quality Wizard\"");
    lines.Add("FONT \"Swiss 721 Bold BT\",8 : " + Position(v, 600, 640) +
              " : PRTXT \"**** TEST LABEL ****\"");
    AddBarSamples(lines, v, "FONT \"Swiss 721 Bold Condensed BT\",7");
    lines.Add("PRINTFEED");
    return {lines.Take(), {"RUN"}};
}

namespace {

BrakTestLabel ClassicNumbered(const LabelVariant& v, const std::string& type,
                              const std::string& speed, int contrast) {
    NumberedLines lines(10);
    lines.Add("NTYPE$=" + Quote(type));
    lines.Add("NSPEED$=" + Quote(speed));
    lines.Add("NCONTRAST$=" + Quote(std::to_string(contrast)));
    AddFrame(lines, v);
    lines.Add("FONT \"SW050RSN\" : " + Position(v, 600, 720) + " : PRTXT \"" + kMakerName + "\"");
    lines.Add(Position(v, 600, 670) + " : PRTXT \"**** TEST LABEL ****\"");
    lines.Add("FONT \"SW030RSN\"");
    const std::pair<const char*, const char*> rows[] = {
        {"Performance:", "NSPEED$"}, {"Contrast:", "NCONTRAST$"}, {"Media Type:", "NTYPE$"}};
    int y = 720;
    for (const auto& [caption, value] : rows) {
        lines.Add(Position(v, 60, y) + " : PRTXT " + Quote(caption) + " : " + Position(v, 300, y) +
                  " : PRTXT " + value);
        y -= 45;
    }
    AddBarSamples(lines, v, "FONT \"SW020BSN\"");
    lines.Add("PRINTFEED");
    return {lines.Take(), {"RUN"}};
}

// The layout's statements use the printer's short forms: PP position, PX box, PL line, FT font,
// FS font size, PT text; VARn$ are the fields filled when it runs.
BrakTestLabel ClassicLayout(const LabelVariant& v, const std::vector<std::string>& fields) {
    std::vector<std::string> program = {"KILL \"" + std::string(kLayoutName) + "\"",
                                        "LAYOUT INPUT \"" + std::string(kLayoutName) + "\""};
    auto pp = [&v](int x, int y) {
        return "PP" + std::to_string(v.at(x)) + "," + std::to_string(v.at(y)) + ":";
    };
    program.push_back("PP" + std::to_string(v.frameAt) + "," + std::to_string(v.frameAt) + ":PX" +
                      std::to_string(v.frameWidth) + "," + std::to_string(v.frameHeight) + "," +
                      std::to_string(v.frameLine));
    program.push_back("FT\"SW050RSN\":FS1");
    program.push_back(pp(600, 720) + "PT\"" + kMakerName + "\"");
    program.push_back(pp(600, 670) + "PT\"**** TEST LABEL ****\"");
    program.push_back("FT\"SW030RSN\":FS1");
    program.push_back(pp(60, 720) + "PT\"Performance:\"");
    program.push_back(pp(300, 720) + "PT VAR1$");
    program.push_back(pp(60, 675) + "PT\"Media Type:\"");
    program.push_back(pp(300, 675) + "PT VAR2$");
    program.push_back(pp(60, 630) + "PT VAR3$");
    program.push_back(pp(300, 630) + "PT VAR4$");
    program.push_back(pp(60, 585) + "PT\"Contrast:\"");
    program.push_back(pp(300, 585) + "PT VAR5$");
    program.push_back(pp(40, 40) + "PL" + std::to_string(v.at(920)) + "," +
                      std::to_string(v.frameLine));
    program.push_back("FT\"SW020BSN\":FS1");
    program.push_back(pp(60, 420) + "BT\"CODE39A\":BM2:BH" + std::to_string(v.at(50)) +
                      ":PB\"PICKET FIELD\"");
    program.push_back(pp(640, 445) + "PT\"10 MIL CODE 39 3.0 /1\"");
    program.push_back(pp(60, 345) + "BT\"CODE39A\":BM1:BH" + std::to_string(v.at(50)) +
                      ":PB\"SUPPLIER\"");
    program.push_back(pp(640, 370) + "PT\"5 MIL CODE 39 2.5 /1\"");
    program.push_back("LAYOUT END");
    std::vector<std::string> run = {"FORMAT INPUT \"<\",\">\",\";\"",
                                    "LAYOUT RUN \"" + std::string(kLayoutName) + "\""};
    std::string data = "<";
    for (const std::string& field : fields)
        data += field + ";";
    run.push_back(data + ">");
    return {std::move(program), std::move(run)};
}

}  // namespace

BrakTestLabel ClassicTestLabel(const MediaModel& model, const ClassicSampleValues& values,
                               std::uint16_t performance) {
    const LabelVariant v = VariantOf(model);
    const std::string speed = TableTextOr(PerformanceTable(), performance, "UNKNOWN");
    const std::string type = TableTextOr(PaperGradeTable(), values.paperType, "UNKNOWN");
    if (model.generation == 0) {
        const std::string ribbon = TableTextOr(NewSuppliesTable(), values.newSupplies, "UNKNOWN");
        return ClassicLayout(
            v, {speed, type, "Ribbon Type:", ribbon, std::to_string(values.contrast)});
    }
    return ClassicNumbered(v, type, speed, values.contrast);
}

}  // namespace tarvo::app

#include "lanmere/quality_label.h"

#include <algorithm>

#include "desk/desk.h"
#include "tarvo/base/model_capabilities.h"
#include "tarvo/models.h"

namespace tarvo::app::lanmere {
namespace {

// Where a layout puts its fields, in its own dots.
struct Geometry {
    int scale;     // 1 at 200 dpi, 2 at 400 dpi
    int width;     // the frame's width at scale 1
    int font;      // the printer font of the texts
    int size;      // its height and width multiplier
    int barcodes;  // how many of the bar-code samples fit
    const char* dpi;
};

Geometry GeometryOf(int model) {
    switch (CapabilitiesOf(model).qualityLabel) {
        case QualityLabelLayout::k400Dpi:
            return {2, 780, 26, 8, 7, "400 dpi"};
        case QualityLabelLayout::kSmallFonts:
            return {1, 780, 25, 6, 7, "200 dpi"};
        case QualityLabelLayout::kNarrow:
            return {1, 584, 26, 8, 4, "200 dpi"};
        case QualityLabelLayout::kStandard:
            break;
    }
    return {1, 780, 26, 8, 7, "200 dpi"};
}

struct Sample {
    const char* caption;
    int module;  // the narrow bar's width in dots at 200 dpi
};

constexpr Sample kSamples[] = {{"5MIL", 1},    {"7.5MIL", 2},       {"10 MIL", 2},
                               {"15 MIL", 3},  {"PICKET FIELD", 2}, {"DRAG FIELD", 2},
                               {"SUPPLIER", 3}};

class Layout {
  public:
    explicit Layout(const Geometry& g) : g_(g) {}

    void frame() {
        const int s = g_.scale;
        const int height = 355 + 23 * g_.barcodes;
        lines_.push_back(Format("L1;f0;o%d,%d;l%d;w%d", 13 * s, 23 * s, g_.width * s, 2 * s));
        lines_.push_back(Format("L2;f3;o%d,%d;l%d;w%d", 14 * s, 24 * s, height * s, 2 * s));
        lines_.push_back(
            Format("L3;f0;o%d,%d;l%d;w%d", 13 * s, (height + 23) * s, g_.width * s, 2 * s));
        lines_.push_back(
            Format("L4;f3;o%d,%d;l%d;w%d", (g_.width + 13) * s, 24 * s, height * s, 2 * s));
    }

    // A fixed text; `data` "d0,50" makes the field variable.
    void text(int field, int x, int y, const std::string& data) {
        const int s = g_.scale;
        lines_.push_back(Format("H%d;o%d,%d;b0;h%d;", field, x * s, y * s, g_.size * s) +
                         Format("w%d;c%d;f0;", g_.size * s, g_.font) + data + ";");
    }

    void barcode(int field, int y, const Sample& sample) {
        const int s = g_.scale;
        lines_.push_back(Format("B%d;o%d,%d;c0,0;w%d;", field, 30 * s, y * s, sample.module * s) +
                         Format("h%d;i0;f0;d3,123456;", 18 * s));
        text(field + 1, 300, y, std::string("d3,") + sample.caption);
    }

    std::vector<std::string> lines() && { return std::move(lines_); }

  private:
    Geometry g_;
    std::vector<std::string> lines_;
};

}  // namespace

std::vector<std::string> QualityLabelFields(int model) {
    const Geometry g = GeometryOf(model);
    Layout layout(g);
    layout.frame();
    layout.text(5, 30, 30, "d3,Label Settings:");
    const char* names[] = {"Sensitivity =", "Darkness =", "Print Speed =", "Print Size ="};
    for (int i = 0; i < 4; ++i)
        layout.text(6 + i, 30, 49 + 21 * i, std::string("d3,") + names[i]);
    for (int field = 42; field <= 44; ++field)
        layout.text(field, 155, 49 + 21 * (field - 42), "d0,50");
    layout.text(45, 155, 112, std::string("d3,") + g.dpi);
    layout.text(10, 320, 49, "d3,   Print Quality Wizard");
    layout.text(11, 320, 70, "d3,   **** TEST LABEL ****");
    layout.text(12, 320, 91, "d3,QUORVANE");
    for (int i = 0; i < g.barcodes; ++i)
        layout.barcode(20 + 2 * i, 150 + 40 * i, kSamples[i]);
    return std::move(layout).lines();
}

std::string QualitySettings(int darkness, int mediaType, int sensitivity) {
    return Format("<SI>d%03d<SI>g%.1d,%.3d", darkness, mediaType, sensitivity);
}

std::string QualityPrintRequest(const QualityPrint& p) {
    char speed[PROP_SPEED_TEXT_SIZE] = "";
    propGetPrintSpeedStr(p.speed, p.metric ? 1 : 0, speed);
    std::string speedText = speed[0] != '\0' ? speed : "?";
    speedText.resize(std::min<std::size_t>(speedText.size(), 9));
    return Format("<ESC>E%.2d", p.location) +
           QualitySettings(p.darkness, p.mediaType, p.sensitivity) +
           Format("<US>01<RS>%.2d<ESC>F42<LF>0%.3d<ESC>F43<LF>%03d<ESC>F44<LF>", p.count,
                  p.sensitivity, p.darkness) +
           speedText + (p.metric ? " cps<ETB>" : " ips<ETB>");
}

std::vector<std::string> QualityFormatMessages(int location, int model, std::size_t limit) {
    std::vector<std::string> messages{Format("E%.2d;F%.2d,TESTPRNT;", location, location)};
    for (const std::string& line : QualityLabelFields(model)) {
        std::string& last = messages.back();
        std::string piece = line.ends_with(';') ? line : line + ";";
        if (last.size() + piece.size() <= limit)
            last += piece;
        else
            messages.push_back(std::move(piece));
    }
    return messages;
}

}  // namespace tarvo::app::lanmere

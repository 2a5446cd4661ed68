#include "services/test_labels.h"

#include <array>

namespace tarvo {
namespace {

constexpr int kLabelSizes = 2;
constexpr int kEmulations = 5;

// By label size, then emulation code: the dot sizes differ, so the same place on the label is a
// different number of dots.
constexpr std::array<std::array<FieldOrigins, kEmulations>, kLabelSizes> kOrigins = {{
    {{
        {"o8,38", "o112,225", "o30,195", "o295,195"},
        {"o15,75", "o225,450", "o30,390", "o590,390"},
        {"o5,25", "o75,150", "o30,130", "o197,130"},
        {"o30,150", "o450,900", "o30,780", "o1180,780"},
        {"o22,400", "o338,675", "o30,585", "o885,585"},
    }},
    {{
        {"o8,38", "o112,225", "o30,390", "o590,390"},
        {"o15,75", "o600,600", "o30,780", "o1180,780"},
        {"o5,25", "o75,150", "o30,260", "o393,260"},
        {"o30,150", "o450,900", "o30,1560", "o2360,1560"},
        {"o22,400", "o338,675", "o30,1170", "o1770,1170"},
    }},
}};

constexpr std::string_view kDigits = "0123456789";
constexpr std::string_view kDigitsAndText = "0123456789Quorvane Technologies";
// A structured carrier message, the kind of data the symbology exists for.
constexpr std::string_view kCarrierMessage =
    "[)><SUB><RS>01<SUB><GS>95555012340<SUB><GS>840<SUB><GS>001<SUB><GS>1Z00000134<SUB><GS>"
    "UPSN<SUB><GS>1234567<SUB><GS>1/1<SUB><GS><SUB><GS>Y<SUB><GS>7702 51ST AVE W<SUB><GS>"
    "LANMERE<SUB><GS>WA<SUB><RS><SUB><EOT>";

constexpr std::array<BarcodeSample, 20> kSamples = {{
    {"Code 39        ", "c0,0;p@;h100;i1", kDigits},
    {"Code 93        ", "c1,0;h100;i1", kDigits},
    {"INTLVD_2_OF_5  ", "c2,0;h100;i1", kDigits},
    {"CODE_2_OF_5    ", "c3,0;h100;i1", kDigits},
    {"Codabar        ", "c4,0;h100;i1", kDigits},
    {"Code 11        ", "c5,0;h100;i1", kDigits},
    {"Code 128       ", "c6,0;h100;i1", kDigits},
    {"UPC A          ", "c7,0,3;h100;i1", kDigits},
    {"UPC B          ", "c7,0,4;h100;i1", kDigits},
    {"EAN 8          ", "c7,0,1;h100;i1", kDigits},
    {"EAN 13         ", "c7,0,2;h100;i1", kDigits},
    {"HIBC           ", "c8,0;h100;i1", kDigits},
    {"Code 16K       ", "c9;h30;w3;i0", kDigits},
    {"Code 49        ", "c10;h30;w3;i0", kDigits},
    {"Postnet        ", "c11;i1", kDigits},
    {"PDF417         ", "c12,1,3,0;w5;h15;i0", kDigits},
    {"Code 1         ", "c13,0;w5;h5;i0", kDigits},
    {"Maxicode       ", "c14,2;i0", kCarrierMessage},
    {"Data Matrix    ", "c17,200;h12;i0", kDigitsAndText},
    {"QR Code        ", "c18,2,M;h6;i0", kDigitsAndText},
}};

std::string Join(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (std::string_view part : parts)
        text.append(part);
    return text;
}

std::string FontLine(std::string_view fieldNumber, std::string_view origin, int fontNumber,
                     std::string_view magnification, std::string_view description,
                     std::string_view pointSuffix) {
    const std::string font = std::to_string(fontNumber);
    return Join({"H", fieldNumber, ";", origin, ";c", font, ";h1;w1;", magnification, ";d3,",
                 description, ": Font number ", font, ";", pointSuffix});
}

}  // namespace

const FieldOrigins* OriginsFor(int labelSize, int emulation) {
    if (labelSize < 0 || labelSize >= kLabelSizes || emulation < 0 || emulation >= kEmulations)
        return nullptr;
    return &kOrigins[static_cast<std::size_t>(labelSize)][static_cast<std::size_t>(emulation)];
}

std::span<const BarcodeSample> BarcodeSamples() {
    return kSamples;
}

std::string FontLabelFields(const FieldOrigins& origins, int fontNumber,
                            std::string_view description, int pointSize) {
    const std::string suffix = pointSize != 0 ? "k" + std::to_string(pointSize) + ";" : "";
    return FontLine("0", origins.fontLine1, fontNumber, "f1", description, suffix) +
           FontLine("1", origins.fontLine2, fontNumber, "f2", description, suffix);
}

std::string GraphicLabelFields(int graphicNumber) {
    return "U1;o0,0;c" + std::to_string(graphicNumber) + ";w1;h1;";
}

std::string BarcodeLabelFields(const FieldOrigins& origins, int index) {
    if (index < 0 || index >= static_cast<int>(kSamples.size()))
        return {};
    const BarcodeSample& s = kSamples[static_cast<std::size_t>(index)];
    std::string text = Join({"B1;", origins.barcode1, ";", s.symbology, ";f0;d3,", s.data,
                             ";H0;o40,15;c2;h1;w1;f0;d3,", s.name, ";"});
    if (index < kFirstSingleBarcode)
        text += Join({"B2;", origins.barcode2, ";", s.symbology, ";f1;d3,", s.data, ";"});
    return text;
}

std::string TemporaryFormat(int number, std::string_view fields) {
    const std::string n = std::to_string(number);
    return Join({"E", n, ";F", n, ";", fields});
}

}  // namespace tarvo

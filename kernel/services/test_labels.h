// The test labels the kernel composes: where their fields go on each label size and dot size,
// the bar-code samples, and the format text that carries them. Pure functions, so the exact
// texts can be checked without a printer.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tarvo {

// Field origins of a composed label, each a complete origin command ("o8,38").
struct FieldOrigins {
    std::string_view barcode1;
    std::string_view barcode2;
    std::string_view fontLine1;
    std::string_view fontLine2;
};

// The origins for label size 0 (2 x 3 in) or 1 (4 x 6 in) at emulation code 0..4; null for
// anything else.
const FieldOrigins* OriginsFor(int labelSize, int emulation);

struct BarcodeSample {
    std::string_view name;       // padded with blanks to 15 characters
    std::string_view symbology;  // the field's symbology commands
    std::string_view data;       // in control-character notation
};

// The 20 samples, in the order of their index.
std::span<const BarcodeSample> BarcodeSamples();

// Samples from this index on are printed once: they are too large for two to fit.
inline constexpr int kFirstSingleBarcode = 15;

// The fields of a font label: two lines naming font `fontNumber` in its `description`, with the
// point-size command when `pointSize` is not 0.
std::string FontLabelFields(const FieldOrigins& origins, int fontNumber,
                            std::string_view description, int pointSize);

// The field of a graphic label: graphic `graphicNumber` at the top left.
std::string GraphicLabelFields(int graphicNumber);

// The fields of a bar-code label: sample `index` (0..19) with its name under it, and a second
// copy for samples below kFirstSingleBarcode. Empty for an index outside 0..19.
std::string BarcodeLabelFields(const FieldOrigins& origins, int index);

// The whole definition of a temporary format `number` holding `fields`: the format is erased
// first, then defined.
std::string TemporaryFormat(int number, std::string_view fields);

}  // namespace tarvo

// Test prints of a Brakenholm printer: a test label, a font, an image from the printer's memory
// or a bar-code symbology, each printed at a media size that fits the sample, with the
// printer's own size put back afterwards.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "brakenholm/brak_printer.h"

namespace tarvo::app {

// One bar-code symbology: the name shown, the name the printer knows, and the sample data.
struct BrakSymbology {
    std::string_view displayName;  // "Code 128"
    std::string_view printerName;  // "CODE128"
    std::string_view firstData;    // "123456"
    std::string_view secondData;   // "567890"
};

// The 36 symbologies, in the order the dialog lists them.
std::span<const BrakSymbology> BrakSymbologyTable();

// The symbology whose printer name is `name`, compared without regard to case; nullptr when
// none is.
const BrakSymbology* FindBrakSymbology(std::string_view name);

// The print head's resolution in dots per millimetre from its width in dots and the model text
// (PRINT VERSION$(1)): 12 for a 1280-dot head of the "760" and "780", 6 for 512 and 320 dots,
// else 8 (an unknown or unread width included).
int HeadResolutionFor(int headDots, std::string_view modelText);

// Asks the printer for its head width (FUNCTEST "HEAD",WHEAD$ then PRINT WHEAD$) and returns
// HeadResolutionFor it; a printer that does not answer with digits reads as 8.
int ReadHeadResolution(CBrakPrinter& printer);

// The media size a sample prints at.
struct BrakSampleSize {
    std::uint16_t width = 0;  // dots
    std::int32_t length = 0;  // dots
};

// The sample size for a printer of `generation` with `resolution` dots/mm and `headDots` dots
// (generation 3 with an unread head, 0 dots, takes 832).
BrakSampleSize SampleSizeFor(int generation, int resolution, int headDots);

// What to print.
enum class BrakTestPrintKind { Label, Font, Image, Symbology };

struct BrakTestPrintChoice {
    BrakTestPrintKind kind = BrakTestPrintKind::Label;
    std::string name;  // the font, the image, or the symbology's printer name
};

// The lines of each sample, sent one by one with SendLine without the verbosity prefix.
std::vector<std::string> TestLabelLines(const CBrakPrinter& printer);
std::vector<std::string> FontSampleLines(int generation, std::string_view font);
std::vector<std::string> ImageSampleLines(int generation, std::string_view image);
std::vector<std::string> SymbologySampleLines(const BrakSymbology& symbology);

// Why `name` cannot go into a sample's quoted argument (a quote, a control byte, a name over
// 30 characters or an empty one), or nullopt. Font names may hold blanks; image names are
// printer file names.
std::optional<std::string> FontNameProblem(std::string_view name);

// The samples alone, without the size: each checks its name first (nothing is sent for a bad
// one) and returns the first line that failed.
OpResult PrintTestLabel(CBrakPrinter& printer);
OpResult PrintFontSample(CBrakPrinter& printer, std::string_view font);
OpResult PrintImageSample(CBrakPrinter& printer, std::string_view image);
OpResult PrintSymbologySample(CBrakPrinter& printer, std::string_view printerName);

// The whole test print: the name is checked first; when the printer is set for transfer
// printing and has no ribbon, "No ribbon detected!" is shown; the sample size is set from the
// printer's head, the sample printed, and the printer's own size restored once it has finished
// (bounded wait), also when the sample failed. Returns the first failure.
OpResult RunBrakTestPrint(CBrakPrinter& printer, Prompt& prompt, const BrakTestPrintChoice& choice);

}  // namespace tarvo::app

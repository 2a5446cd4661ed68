// What each printer model can do, one record per model 0..41, for the kernel, the programs and the
// simulated printer alike. Code that behaves differently by model reads a column here rather
// than comparing model numbers, so that a model's abilities are stated once and the simulated
// printer plays the same models the host expects.
#pragma once

#include <string_view>

namespace tarvo {

// How new firmware reaches the printer.
enum class FirmwareRoad {
    kNone,        // the programs offer no firmware download for the model
    kBootLoader,  // the kernel's download over the printer's boot loader
    kZmodem,      // a file transfer by Zmodem
};

// The test-and-service items a model measures, of G L M P S T U V (S gives three values).
enum class ServiceItems {
    kNone,
    kBasic,     // G M P T
    kWithL,     // G L M P T
    kAllButUV,  // G L M P S T
    kAll,       // G L M P S T U V
};

// The serial line a reset returns the printer to: 9600 baud, one stop bit, XON/XOFF, and the
// parity and data bits named; or the line is kept as it was.
enum class FactoryLine {
    kKept,
    kSevenBitsEven,
    kEightBitsNone,
};

// Where the operator sets direct thermal or thermal transfer on the printer itself when the
// program changes the media type.
enum class MediaTypeSwitch {
    kBackDipSwitch,     // a DIP switch on the back
    kFrontPanelSwitch,  // a switch behind the front panel door
    kNone,              // the printer takes the media type from the program alone
};

// The print quality test label a model prints: the fields placed for its head and width.
enum class QualityLabelLayout {
    kStandard,    // 200 dpi
    kSmallFonts,  // 200 dpi with small fonts
    kNarrow,      // a narrow head
    k400Dpi,
};

// The group of values taken for a script-language printer that does not answer when it is
// identified (its setup, serial settings and head).
enum class AssumedSetup { kA, kB, kC };

// The largest graphic a model takes, as a side in dots (0: no limit), by the firmware variant
// that identification found.
struct LargestGraphic {
    int firstVariant = 0;
    int secondVariant = 0;
};

inline constexpr int kNoFixedEmulation = -1;

// One model's record. The defaults are what a model without the ability does; a number outside
// 0..41 reads them all.
struct ModelCapabilities {
    // Both families.
    FirmwareRoad firmwareRoad = FirmwareRoad::kNone;
    int slowestBaud = 1200;  // the line rates the program lets the model keep
    int fastestBaud = 19200;

    // Escape-language models (0..25).
    bool sendsTakeUpAdjust = false;        // the configuration text carries the take-up adjustment
    bool omitsHandshakePins = false;       // the serial settings go without the handshake pins
    int fixedEmulation = kNoFixedEmulation;  // the one emulation (printers' order) that the
                                             // model has, whatever number its reply gives
    ServiceItems serviceItems = ServiceItems::kNone;
    bool slowServiceS = false;            // measures S for seconds before it answers
    bool serviceRepliesOptional = false;  // may leave a test-and-service query unanswered
    LargestGraphic largestGraphic;
    FactoryLine factoryLine = FactoryLine::kKept;
    MediaTypeSwitch mediaTypeSwitch = MediaTypeSwitch::kBackDipSwitch;
    QualityLabelLayout qualityLabel = QualityLabelLayout::kStandard;
    bool offersParallelPort = false;  // may be attached to LPT1..LPT3
    bool hasParallelMode = false;     // Centronics or IEEE 1284 (value 39); its cable pins are
                                      // named 9 and 6 rather than 11 and 20
    bool takesNoSevenBitsWithoutParity = false;  // turns 7 data bits without parity into 8

    // Script-language models (26..41).
    int setupGeneration = 1;  // 0..3; 1, the plain "6.13" tree, for every other model
    AssumedSetup assumedSetup = AssumedSetup::kA;
    bool hasFlashDrive = false;        // keeps its files on "c:" and answers meminfo
    bool hasNetworkInterface = false;  // the models whose names end in "e"
    int headDotsPerMm = 8;             // script printers' head; the escape-language models give
                                       // their dot pitch in the model row instead
};

// The record of `model`; the defaults outside 0..41.
const ModelCapabilities& CapabilitiesOf(int model);

// The setup tree a setup generation writes: "7.12" for generations 2 and 3, "6.13" for 0 and 1;
// empty for any other number.
std::string_view SetupTreeOfGeneration(int generation);

}  // namespace tarvo

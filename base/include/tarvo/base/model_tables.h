// The printer model tables as the rest of the kernel sees them: typed rows behind the exported
// prop* functions. Model names, speeds and setting domains live here and nowhere else; code that
// needs a name or a family test asks these functions instead of keeping its own list.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "tarvo/models.h"

namespace tarvo {

inline constexpr int kModelCount = PROP_MODEL_COUNT;        // 0..41
inline constexpr int kTableModelCount = PROP_TABLE_MODELS;  // 0..25 have per-model rows
inline constexpr int kDefaultModel = PROP_DEFAULT_MODEL;    // "DEFAULT"
inline constexpr int kFirstBrakenholmModel = 26;
inline constexpr int kUnknownModel = PROP_UNKNOWN_MODEL;  // "Unknown"
inline constexpr int kSettingCount = PROP_SETTING_COUNT;
inline constexpr int kSpeedKeyCount = 21;  // keys 20, 25, ..., 120
inline constexpr int kSpeedBitCount = 24;  // speed masks are 24 bits wide
inline constexpr int kFontNumberCount = 48;
inline constexpr int kCharSetCount = 11;
inline constexpr int kEmulationCount = 5;

// Units of the speed texts and font sizes.
inline constexpr int kUnitInches = 0;
inline constexpr int kUnitCentimetres = 1;

// True for 0..25: the model has per-model and per-setting rows.
constexpr bool IsTableModel(int model) {
    return model >= 0 && model < kTableModelCount;
}

// True for the escape-language models 0..24 and for DEFAULT (25), the generic configuration of
// that family: every one of them is driven through the QEL road.
constexpr bool IsLanmereModel(int model) {
    return model >= 0 && model <= kDefaultModel;
}

// True for the script-language models 26..40 and for "Unknown" (41), which the script road
// uses for a printer it cannot name.
constexpr bool IsBrakenholmModel(int model) {
    return model >= kFirstBrakenholmModel && model <= kUnknownModel;
}

// The model's name ("5200A" .. "Unknown"); empty outside 0..41.
std::string_view ModelName(int model);

// Index of the first model named exactly `name` (case-sensitive); -1 when none is.
int ModelIndexOf(std::string_view name);

// The resident fonts of a model and the font numbers they take or reserve.
struct ResidentFontList {
    std::span<const char* const> texts;  // 33-character directory texts, static storage
    std::array<std::uint8_t, 6> taken;   // numbers 0..47, bit n = bit (7 - n % 8) of byte n / 8
};

// One row of the per-model table (models 0..25).
struct ModelRow {
    int index;
    std::string_view name;
    double mmPerDot;
    float maxFontInches;
    float maxFontCentimetres;
    bool directory;  // answers the object-directory commands
    const ResidentFontList* fonts;
    int imageSizeKb;          // kImageSizeAsked: the printer is asked
    std::uint32_t speedMask;  // the model's print speeds, bit j = key 20 + 5j
};

inline constexpr int kImageSizeAsked = 0;

// The row of `model`, or null outside 0..25.
const ModelRow* FindModelRow(int model);

// True when font number `fontNumber` is taken by a resident font or reserved on `model`.
bool FontNumberTaken(int model, int fontNumber);

// Speed keys are tenths of an inch per second; bit j of a speed mask stands for key 20 + 5j.
constexpr int SpeedKeyOfBit(int bit) {
    return 20 + 5 * bit;
}

// The bit of speed key `key`, or -1 when the key is not one of the 21.
int SpeedBitOfKey(int key);

// Text of speed key `key` in `unit` ("2.0", "5.08"); empty for another key or unit.
std::string_view SpeedText(int key, int unit);

// Name of character set 0..10; empty otherwise.
std::string_view CharSetName(int charSet);

// One printer emulation. Emulations are numbered in the printers' own order (0 100 dpi, 1 200,
// 2 66, 3 400, 4 300), which the configuration record and PCUGetParms/PCUPutParms use; the
// program lists them from the finest bar to the coarsest, and the settings table's mask and
// default of setting 2 count in that list order.
struct EmulationRow {
    int dpi;
    int programOrder;          // position in the program's list, 0 "2.5 mil" .. 4 "15 mil"
    std::string_view milText;  // "2.5 mil" .. "15 mil"
};

// The row of printer emulation 0..4 (printers' order); null otherwise.
const EmulationRow* FindEmulation(int emulation);

// Dots per inch of printer emulation 0..4; -1 otherwise.
int EmulationDpi(int emulation);

// The kind of a setting's domain.
enum class SettingKind : int {
    kList = PROP_KIND_LIST,
    kRange = PROP_KIND_RANGE,
    kOther = PROP_KIND_OTHER,
};

// One (model, setting) cell of the settings table. Every cell carries a kind, a default and a
// domain, including cells of settings the model does not offer: the pages still show them.
struct SettingCell {
    bool offered;
    const char* minFirmware;  // "" for any version
    SettingKind kind;
    int defaultValue;
    int first;   // list: the mask; range: the minimum
    int second;  // range: the maximum
};

// The cell of (`model`, `setting`), or null outside 0..25 x 0..42.
const SettingCell* FindSetting(int model, int setting);

// True when `model` offers `setting` and `firmware` (null counts as empty) compares byte by byte
// at or above the setting's minimum firmware text.
bool SettingSupported(int model, int setting, const char* firmware);

}  // namespace tarvo

// The per-model tables: names, dot pitch, largest font, directory support, print speeds,
// resident fonts with the font numbers they occupy, image buffer sizes, and the small lists of
// speed texts, character sets and emulations. Everything is constant data checked at compile
// time; the functions below only look things up.
#include "tarvo/base/model_tables.h"

#include <algorithm>
#include <initializer_list>

namespace tarvo {
namespace {

// clang-format off
constexpr std::array<std::string_view, kModelCount> kModelNames = {
    "5200A",          //  0
    "5200B",          //  1
    "5200C/D",        //  2
    "5600",           //  3
    "5240",           //  4
    "5040",           //  5
    "6220",           //  6
    "6240",           //  7
    "6430",           //  8
    "6630",           //  9
    "6000",           // 10
    "6200C",          // 11
    "9221",           // 12
    "RK17",           // 13
    "G3-QEL",         // 14
    "G5-QEL",         // 15
    "5200E (200dpi)", // 16
    "5200E (400dpi)", // 17
    "6220E",          // 18
    "6240E",          // 19
    "TG3e-QEL",       // 20
    "TG5e-QEL",       // 21
    "TN5e-QEL",       // 22
    "TQ5e-QEL",       // 23
    "TQ8e-QEL",       // 24
    "DEFAULT",        // 25
    "720",            // 26
    "730",            // 27
    "M9",             // 28
    "760",            // 29
    "780",            // 30
    "880",            // 31
    "780KS",          // 32
    "880KS",          // 33
    "G3",             // 34
    "G5",             // 35
    "TG3e",           // 36
    "TG5e",           // 37
    "TN5e",           // 38
    "TQ5e",           // 39
    "TQ8e",           // 40
    "Unknown",        // 41
};
// clang-format on

static_assert(std::ranges::all_of(kModelNames,
                                  [](std::string_view n) {
                                      return !n.empty() && n.size() < PROP_NAME_SIZE;
                                  }),
              "every model name fits a PROP_NAME_SIZE buffer");

// The speed ladder: key, inch text, centimetre text. The centimetre texts of 11.0 and 12.0 in/s
// are deliberately "27.9" and "30.0" rather than 27.94 and 30.48: they are the texts the program
// has always shown, so they stay.
struct SpeedKey {
    int key;
    std::string_view inches;
    std::string_view centimetres;
};

// clang-format off
constexpr std::array<SpeedKey, kSpeedKeyCount> kSpeedKeys = {{
    { 20,  "2.0",  "5.08"},
    { 25,  "2.5",  "6.35"},
    { 30,  "3.0",  "7.62"},
    { 35,  "3.5",  "8.89"},
    { 40,  "4.0", "10.16"},
    { 45,  "4.5", "11.43"},
    { 50,  "5.0", "12.70"},
    { 55,  "5.5", "13.97"},
    { 60,  "6.0", "15.24"},
    { 65,  "6.5", "16.51"},
    { 70,  "7.0", "17.78"},
    { 75,  "7.5", "19.05"},
    { 80,  "8.0", "20.32"},
    { 85,  "8.5", "21.59"},
    { 90,  "9.0", "22.86"},
    { 95,  "9.5", "24.13"},
    {100, "10.0", "25.40"},
    {105, "10.5", "26.67"},
    {110, "11.0", "27.9"},
    {115, "11.5", "29.21"},
    {120, "12.0", "30.0"},
}};
// clang-format on

constexpr bool SpeedKeysFollowTheLadder() {
    for (int bit = 0; bit < kSpeedKeyCount; ++bit) {
        const SpeedKey& k = kSpeedKeys[static_cast<std::size_t>(bit)];
        if (k.key != SpeedKeyOfBit(bit) || k.inches.size() >= PROP_SPEED_TEXT_SIZE ||
            k.centimetres.size() >= PROP_SPEED_TEXT_SIZE) {
            return false;
        }
    }
    return true;
}
static_assert(SpeedKeysFollowTheLadder(), "speed key j is 20 + 5j and its texts fit the buffer");

// A speed mask written as the speeds themselves. A key off the ladder sets bit 31, which the
// row check below refuses, so a mistyped speed cannot build.
constexpr std::uint32_t Speeds(std::initializer_list<int> keys) {
    std::uint32_t mask = 0;
    for (int key : keys) {
        const bool onLadder = key >= 20 && key <= 120 && key % 5 == 0;
        mask |= onLadder ? (std::uint32_t{1} << ((key - 20) / 5)) : (std::uint32_t{1} << 31);
    }
    return mask;
}

// Resident font texts: the word FONT and the number, two blanks, the description padded to 16
// characters, the size field, a blank and the kind; 33 characters in all.
constexpr const char kFont00[] = "FONT00  7x9 std         0B Bitmap";
constexpr const char kFont01[] = "FONT01  7x11 OCR        0B Bitmap";
constexpr const char kFont02[] = "FONT02  10x14 std       0B Bitmap";
constexpr const char kFont07[] = "FONT07  5x7 std         0B Bitmap";
constexpr const char kFont20[] = "FONT20  8 pt std        0B Bitmap";
constexpr const char kFont21[] = "FONT21  12 pt std       0B Bitmap";
constexpr const char kFont22[] = "FONT22  20 pt std       0B Bitmap";
constexpr const char kFont23[] = "FONT23  fntOCRA         0B Bitmap";
constexpr const char kFont24[] = "FONT24  fntOCRB         0B Bitmap";
constexpr const char kFont25[] = "FONT25  821 Std         0B Speedo";
constexpr const char kFont26[] = "FONT26  821 Bld         0B Speedo";
constexpr const char kFont28[] = "FONT28  DtchRmn801      0B Speedo";
constexpr const char kFont30[] = "FONT30  6 pt bld        0B Bitmap";
constexpr const char kFont31[] = "FONT31  8 pt bld        0B Bitmap";
constexpr const char kFont32[] = "FONT32  10 pt std       0B Bitmap";
constexpr const char kFont33[] = "FONT33  10 pt bld       0B Bitmap";
constexpr const char kFont34[] = "FONT34  12 pt bld       0B Bitmap";
constexpr const char kFont35[] = "FONT35  16 pt std       0B Bitmap";
constexpr const char kFont36[] = "FONT36  16 pt bld       0B Bitmap";
constexpr const char kFont37[] = "FONT37  20 pt bld       0B Bitmap";
constexpr const char kFont38[] = "FONT38  24 pt std       0B Bitmap";
constexpr const char kFont39[] = "FONT39  24 pt bld       0B Bitmap";
constexpr const char kFont40[] = "FONT40  30 pt bld       0B Bitmap";
constexpr const char kFont41[] = "FONT41  36 pt bld       0B Bitmap";

constexpr const char* const kFonts9[] = {
    kFont00, kFont01, kFont02, kFont07, kFont20, kFont21, kFont22, kFont23, kFont24,
};
constexpr const char* const kFonts22[] = {
    kFont00, kFont01, kFont02, kFont07, kFont20, kFont21, kFont22, kFont23,
    kFont24, kFont25, kFont30, kFont31, kFont32, kFont33, kFont34, kFont35,
    kFont36, kFont37, kFont38, kFont39, kFont40, kFont41,
};
constexpr const char* const kFonts24[] = {
    kFont00, kFont01, kFont02, kFont07, kFont20, kFont21, kFont22, kFont23,
    kFont24, kFont25, kFont26, kFont28, kFont30, kFont31, kFont32, kFont33,
    kFont34, kFont35, kFont36, kFont37, kFont38, kFont39, kFont40, kFont41,
};

// Font numbers taken or reserved, most significant bit first: bit n is bit (7 - n % 8) of byte
// n / 8.
//   list 9:  0..24
//   list 22: 0..25, 30..41
//   list 24: 0..26, 28, 30..41
constexpr ResidentFontList kList9 = {kFonts9, {0xFF, 0xFF, 0xFF, 0x80, 0x00, 0x00}};
constexpr ResidentFontList kList22 = {kFonts22, {0xFF, 0xFF, 0xFF, 0xC3, 0xFF, 0xC0}};
constexpr ResidentFontList kList24 = {kFonts24, {0xFF, 0xFF, 0xFF, 0xEB, 0xFF, 0xC0}};

constexpr bool BitTaken(const std::array<std::uint8_t, 6>& taken, int number) {
    const auto byte = taken[static_cast<std::size_t>(number / 8)];
    return ((byte >> (7 - number % 8)) & 1) != 0;
}

constexpr bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Every text has the 33-character layout, the numbers ascend, and every resident font's number
// is marked taken in its list's map.
constexpr bool FontListIsConsistent(const ResidentFontList& list) {
    int previous = -1;
    for (const char* text : list.texts) {
        const std::string_view t(text);
        if (t.size() != PROP_FONT_TEXT_SIZE - 1 || t.substr(0, 4) != "FONT" || !IsDigit(t[4]) ||
            !IsDigit(t[5]) || t.substr(6, 2) != "  " || t.substr(24, 3) != "0B " ||
            (t.substr(27) != "Bitmap" && t.substr(27) != "Speedo")) {
            return false;
        }
        const int number = (t[4] - '0') * 10 + (t[5] - '0');
        if (number <= previous || number >= kFontNumberCount || !BitTaken(list.taken, number)) {
            return false;
        }
        previous = number;
    }
    return true;
}
static_assert(FontListIsConsistent(kList9));
static_assert(FontListIsConsistent(kList22));
static_assert(FontListIsConsistent(kList24));

constexpr int kAsked = kImageSizeAsked;

// The per-model table. Largest font of models 19 to 25 was chosen here (see
// docs/MODEL-TABLES.md): 19 follows its sibling 6220E, 20 to 24 follow G3-QEL and G5-QEL, and
// DEFAULT follows 5200A, whose row it otherwise repeats.
// clang-format off
constexpr std::array<ModelRow, kTableModelCount> kModelRows = {{
//   idx name              mm/dot   font in / cm   dir    fonts     image KB  speeds (key = in/s x 10)
    { 0, "5200A",          0.125,   3.0f,  7.62f, false, &kList9,  256,    Speeds({20, 30, 40, 50})},
    { 1, "5200B",          0.125,   4.0f, 10.16f, false, &kList22, 512,    Speeds({20, 30, 40, 50})},
    { 2, "5200C/D",        0.125,   4.0f, 10.16f, true,  &kList22, kAsked, Speeds({20, 30, 40, 50, 60})},
    { 3, "5600",           0.125,   4.0f, 10.16f, false, &kList22, 512,    Speeds({20, 30, 40, 50})},
    { 4, "5240",           0.0625,  4.0f, 10.16f, true,  &kList24, kAsked, Speeds({20, 30, 40, 50})},
    { 5, "5040",           0.0625,  2.5f,  6.35f, true,  &kList22, 512,    Speeds({20, 30, 40})},
    { 6, "6220",           0.125,   4.0f, 10.16f, true,  &kList24, kAsked, Speeds({20, 30, 40, 50, 60, 70, 80})},
    { 7, "6240",           0.0625,  4.0f, 10.16f, true,  &kList24, kAsked, Speeds({20, 30, 40, 50, 60, 70, 80})},
    { 8, "6430",           0.08467, 4.0f, 10.16f, false, &kList24, 1024,   Speeds({20, 30, 40, 50, 60, 70, 80})},
    { 9, "6630",           0.08467, 4.0f, 10.16f, false, &kList24, 1024,   Speeds({20, 30, 40, 50})},
    {10, "6000",           0.125,   4.0f, 10.16f, false, &kList22, 256,    Speeds({20, 30, 40, 50})},
    {11, "6200C",          0.125,   4.0f, 10.16f, false, &kList22, 512,    Speeds({25, 30, 35, 40, 45, 50, 55, 60, 65, 70, 75, 85, 100})},
    {12, "9221",           0.125,   4.0f, 10.16f, true,  &kList22, kAsked, Speeds({20})},
    {13, "RK17",           0.125,   4.0f, 10.16f, true,  &kList22, kAsked, Speeds({20, 30, 40})},
    {14, "G3-QEL",         0.125,   4.0f, 10.16f, true,  &kList24, kAsked, Speeds({20, 30, 40, 50, 60, 70, 80})},
    {15, "G5-QEL",         0.125,   4.0f, 10.16f, true,  &kList24, kAsked, Speeds({20, 30, 40, 50, 60, 70, 80})},
    {16, "5200E (200dpi)", 0.125,   4.0f, 10.16f, true,  &kList22, kAsked, Speeds({20, 30, 40, 50, 60, 80})},
    {17, "5200E (400dpi)", 0.0625,  4.0f, 10.16f, true,  &kList24, kAsked, Speeds({20, 30, 40, 50, 60, 80})},
    {18, "6220E",          0.125,   2.5f,  6.35f, true,  &kList24, kAsked, Speeds({20, 30, 40, 50, 60, 70, 80, 100})},
    {19, "6240E",          0.0625,  2.5f,  6.35f, true,  &kList24, kAsked, Speeds({20, 30, 40, 50, 60, 70, 80, 100})},
    {20, "TG3e-QEL",       0.125,   4.0f, 10.16f, true,  &kList24, kAsked, Speeds({20, 30, 40, 50, 60, 70, 80})},
    {21, "TG5e-QEL",       0.125,   4.0f, 10.16f, true,  &kList24, kAsked, Speeds({20, 30, 40, 50, 60, 70, 80})},
    {22, "TN5e-QEL",       0.125,   4.0f, 10.16f, true,  &kList24, kAsked, Speeds({20, 30, 40, 50, 60, 70, 80})},
    {23, "TQ5e-QEL",       0.125,   4.0f, 10.16f, true,  &kList24, kAsked, Speeds({20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120})},
    {24, "TQ8e-QEL",       0.125,   4.0f, 10.16f, true,  &kList24, kAsked, Speeds({20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120})},
    {25, "DEFAULT",        0.125,   3.0f,  7.62f, false, &kList9,  256,    Speeds({20})},
}};
// clang-format on

constexpr bool ModelRowsAreConsistent() {
    for (int i = 0; i < kTableModelCount; ++i) {
        const ModelRow& row = kModelRows[static_cast<std::size_t>(i)];
        const bool speedsOnLadder = row.speedMask != 0 && row.speedMask < (1u << kSpeedKeyCount);
        if (row.index != i || row.name != kModelNames[static_cast<std::size_t>(i)] ||
            !speedsOnLadder || row.mmPerDot <= 0.0 || row.maxFontInches <= 0.0f ||
            row.fonts == nullptr || row.imageSizeKb < 0) {
            return false;
        }
    }
    return true;
}
static_assert(ModelRowsAreConsistent(),
              "rows are in index order, carry the model's name and name only ladder speeds");

// clang-format off
constexpr std::array<std::string_view, kCharSetCount> kCharSets = {
    "USA",            //  0
    "United Kingdom", //  1
    "Germany",        //  2
    "Denmark",        //  3
    "France",         //  4
    "Sweden",         //  5
    "Italy",          //  6
    "Spain",          //  7
    "8-bit ASCII",    //  8
    "Swiss",          //  9
    "Code Page 850",  // 10
};

// The printer emulations in the printers' own numbering (the kernel's order), with the position
// each takes in the program's list, which runs from the finest to the coarsest bar: the masks
// and defaults of setting 2 in the settings table count in that second order.
constexpr std::array<EmulationRow, kEmulationCount> kEmulations = {{
//   dpi  list position  text
    {100, 3, "10 mil"},   // 0
    {200, 2, "5 mil"},    // 1
    { 66, 4, "15 mil"},   // 2
    {400, 0, "2.5 mil"},  // 3
    {300, 1, "3.3 mil"},  // 4
}};
// clang-format on

constexpr bool ListPositionsArePermutation() {
    int seen = 0;
    for (const EmulationRow& row : kEmulations) {
        if (row.programOrder < 0 || row.programOrder >= kEmulationCount)
            return false;
        seen |= 1 << row.programOrder;
    }
    return seen == (1 << kEmulationCount) - 1;
}
static_assert(ListPositionsArePermutation(), "each emulation has its own place in the list");

}  // namespace

std::string_view ModelName(int model) {
    if (model < 0 || model >= kModelCount) {
        return {};
    }
    return kModelNames[static_cast<std::size_t>(model)];
}

int ModelIndexOf(std::string_view name) {
    const auto* it = std::ranges::find(kModelNames, name);
    return it == kModelNames.end() ? -1 : static_cast<int>(it - kModelNames.begin());
}

const ModelRow* FindModelRow(int model) {
    if (!IsTableModel(model)) {
        return nullptr;
    }
    return &kModelRows[static_cast<std::size_t>(model)];
}

bool FontNumberTaken(int model, int fontNumber) {
    const ModelRow* row = FindModelRow(model);
    if (row == nullptr || fontNumber < 0 || fontNumber >= kFontNumberCount) {
        return false;
    }
    return BitTaken(row->fonts->taken, fontNumber);
}

int SpeedBitOfKey(int key) {
    for (int bit = 0; bit < kSpeedKeyCount; ++bit) {
        if (kSpeedKeys[static_cast<std::size_t>(bit)].key == key) {
            return bit;
        }
    }
    return -1;
}

std::string_view SpeedText(int key, int unit) {
    const int bit = SpeedBitOfKey(key);
    if (bit < 0) {
        return {};
    }
    const SpeedKey& k = kSpeedKeys[static_cast<std::size_t>(bit)];
    switch (unit) {
        case kUnitInches:
            return k.inches;
        case kUnitCentimetres:
            return k.centimetres;
        default:
            return {};
    }
}

std::string_view CharSetName(int charSet) {
    if (charSet < 0 || charSet >= kCharSetCount) {
        return {};
    }
    return kCharSets[static_cast<std::size_t>(charSet)];
}

const EmulationRow* FindEmulation(int emulation) {
    if (emulation < 0 || emulation >= kEmulationCount) {
        return nullptr;
    }
    return &kEmulations[static_cast<std::size_t>(emulation)];
}

int EmulationDpi(int emulation) {
    const EmulationRow* row = FindEmulation(emulation);
    return row == nullptr ? -1 : row->dpi;
}

}  // namespace tarvo

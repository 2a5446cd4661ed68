// The 43 configuration settings across the 26 table models: which models offer each one, from
// which firmware, its kind, default and domain.
//
// Each setting is written the way its behaviour is usually described, as groups of models
// sharing one value ("60 in 10..504 on most; 20 in 10..128 on 0 and 10; ..."), so a row can be
// read against the model list it came from. The groups of a setting must name every model
// exactly once; the checks below refuse a table that misses or repeats one, and the full
// 43 x 26 grid is laid out from the groups at compile time.
//
// Values marked "chosen" were not given with the rest of the tables; docs/MODEL-TABLES.md says
// why each was picked. Values marked "kept" look inconsistent (a default outside its own mask,
// a speed the model cannot print) but are kept exactly as given; the same file lists them.
#include <initializer_list>

#include "tarvo/base/model_tables.h"

namespace tarvo {
namespace {

// A set of table models, bit n for model n. A number outside 0..25 sets bit 31, which the
// checks below refuse.
struct Models {
    std::uint32_t bits = 0;
};

constexpr std::uint32_t kStrayModel = std::uint32_t{1} << 31;

constexpr std::uint32_t ModelBit(int model) {
    return IsTableModel(model) ? std::uint32_t{1} << model : kStrayModel;
}

constexpr Models Only(std::initializer_list<int> models) {
    Models set;
    for (int m : models) {
        set.bits |= ModelBit(m);
    }
    return set;
}

constexpr Models Span(int first, int last) {
    Models set;
    for (int m = first; m <= last; ++m) {
        set.bits |= ModelBit(m);
    }
    return set;
}

constexpr Models operator+(Models a, Models b) {
    return {a.bits | b.bits};
}

constexpr Models kAll = Span(0, kTableModelCount - 1);

constexpr Models AllBut(std::initializer_list<int> models) {
    return {kAll.bits & ~Only(models).bits};
}

constexpr bool Contains(Models set, int model) {
    return (set.bits & ModelBit(model)) != 0;
}

// The default and domain one group of models shares.
struct Value {
    SettingKind kind = SettingKind::kOther;
    int defaultValue = 0;
    int first = 0;
    int second = 0;
    bool defaultIsModelIndex = false;
};

constexpr Value List(int defaultValue, int mask) {
    return {SettingKind::kList, defaultValue, mask, 0, false};
}

constexpr Value Range(int defaultValue, int minimum, int maximum) {
    return {SettingKind::kRange, defaultValue, minimum, maximum, false};
}

constexpr Value Plain(int defaultValue) {
    return {SettingKind::kOther, defaultValue, 0, 0, false};
}

// The default is the model's own index.
constexpr Value OwnIndex() {
    return {SettingKind::kOther, 0, 0, 0, true};
}

struct Group {
    Models models;
    Value value;
};

struct Floor {
    Models models;
    const char* version = "";
};

// A short list written inline; one entry too many makes the table fail its checks.
template <typename T, std::size_t N>
struct InlineList {
    std::array<T, N> items{};
    std::size_t count = 0;
    bool overflow = false;

    constexpr InlineList() = default;
    constexpr InlineList(std::initializer_list<T> list) {
        for (const T& item : list) {
            if (count == N) {
                overflow = true;
                break;
            }
            items[count++] = item;
        }
    }
};

struct SettingRule {
    int setting;
    std::string_view meaning;
    SettingKind kind;
    Models offered;
    InlineList<Group, 12> values;     // every model exactly once
    InlineList<Floor, 4> firmware{};  // models not named accept any firmware
};

constexpr SettingKind kList = SettingKind::kList;
constexpr SettingKind kRange = SettingKind::kRange;
constexpr SettingKind kOther = SettingKind::kOther;

// clang-format off
constexpr std::array<SettingRule, kSettingCount> kRules = {{
    {0, "model", kOther, Span(0, 24),
     {{AllBut({20, 25}), OwnIndex()},
      {Only({20}), Plain(14)},
      {Only({25}), Plain(8)}}},
    {1, "(not tied to a record field)", kOther, Span(0, 24),
     {{kAll, Plain(1)}}},
    {2, "printer emulation", kList, AllBut({8, 9, 25}),
     {{Only({0, 1, 2, 3, 6, 11, 14, 16, 18, 20, 21}), List(2, 0x1c)},
      {Only({15, 22, 23, 24}), List(0, 0x1c)},  // kept: default outside the mask
      {Only({5, 10}), List(2, 0x1d)},
      {Only({4, 7, 17, 19}), List(0, 0x1d)},
      {Only({12, 13}), List(2, 0xc)},
      {Only({8, 9, 25}), List(1, 0x2)}}},
    // The masks of this setting are its domain, not the model's speed list: they may differ.
    {3, "print speed (key)", kList, kAll,
     {{Only({0, 1, 3, 4, 9, 10}), List(30, 0x55)},
      {Only({6, 7, 8, 16, 17}), List(30, 0x1555)},     // kept: 16, 17 cannot print 7.0 in/s
      {Only({14, 15, 20, 21, 22}), List(30, 0x1550)},  // kept: default outside the mask
      {Only({23, 24}), List(30, 0x155550)},            // kept: default outside the mask
      {Only({12}), List(0, 0x1)},
      // chosen: the model's speed column
      {Only({2}), List(30, 0x155)},
      {Only({5, 13}), List(30, 0x15)},
      {Only({11}), List(30, 0x12ffe)},
      {Only({18, 19}), List(30, 0x11555)},
      {Only({25}), List(30, 0x1)}}},
    // The printer configuration page reads this value as the highest character-set index it
    // lists (9, 10 or 20), not as a bit mask.
    {4, "character set", kList, kAll,
     {{Only({0, 1, 2, 3, 4, 5, 10, 12, 13}), List(0, 0x9)},  // chosen
      {Only({6, 7, 8, 9, 11, 14, 15}), List(0, 0xa)},         // chosen
      {Span(16, 24), List(0, 0x14)},                          // chosen
      {Only({25}), List(0, 0x7ff)}}},
    {5, "image bands", kRange, Span(0, 7) + Span(11, 13) + Span(16, 19),
     {{AllBut({11}), Range(3, 2, 20)},
      {Only({11}), Range(3, 2, 10)}}},
    {6, "memory size (KB)", kRange, Only({0, 1, 2, 3, 5, 10, 12, 13, 16}),
     {{AllBut({0, 10, 8, 9, 11, 25, 4, 17}), Range(60, 10, 504)},
      {Only({0, 10}), Range(20, 10, 128)},
      {Only({8, 9, 11, 25}), Range(128, 10, 512)},
      {Only({4, 17}), Range(60, 10, 256)}}},
    {7, "memory available (KB)", kOther, kAll,
     {{kAll, Plain(0)}}},
    {8, "image size (KB)", kOther, kAll,
     {{kAll, Plain(0)}}},
    {9, "self-strip enabled", kOther, kAll,
     {{kAll, Plain(0)}}},
    {10, "cutter enabled", kOther, Only({2}) + Span(6, 15) + Span(20, 24),
     {{kAll, Plain(0)}}},
    {11, "media type", kList, Span(8, 9) + Span(11, 15) + Span(20, 24),
     {{kAll, List(0, 0x3)}}},
    {12, "label stock", kList, kAll,
     {{kAll, List(1, 0x7)}}},
    {13, "media sensitivity number", kRange, AllBut({8, 9, 25}),
     {{kAll, Range(420, 0, 999)}}},  // chosen default
    {14, "darkness", kRange, kAll,
     {{kAll, Range(0, -10, 10)}}},
    {15, "label length (dots)", kRange, kAll,
     {{AllBut({8, 9, 25, 10, 11}), Range(1000, 100, 4800)},
      {Only({8, 9, 25}), Range(1016, 203, 4877)},
      {Only({10}), Range(1000, 300, 7200)},
      {Only({11}), Range(1000, 51, 7200)}}},
    {16, "paper handling", kList, kAll,
     {{AllBut({1}), List(1, 0xf)},
      {Only({1}), List(0, 0xf)}}},
    {17, "retract enabled", kOther, kAll,
     {{kAll, Plain(1)}}},
    {18, "top of form", kRange, kAll,
     {{kAll, Range(20, -10, 3999)}}},
    {19, "trail margin", kRange, kAll,
     {{kAll, Range(0, 0, 9999)}}},
    {20, "rest adjust", kRange, kAll,
     {{kAll, Range(0, -30, 30)}}},
    {21, "take-up motor adjustment (%)", kRange, Only({6, 7, 18, 19}),
     {{kAll, Range(0, 0, 50)}}},
    {22, "media status reporting", kOther, kAll,
     {{kAll, Plain(0)}}},
    {23, "buffer status reporting", kOther, kAll,
     {{kAll, Plain(0)}}},
    {24, "memory status reporting", kOther, kAll,
     {{kAll, Plain(0)}}},
    {25, "language translation", kOther, kAll,
     {{kAll, Plain(0)}}},
    {26, "message delay (ms)", kRange, Span(0, 13) + Span(16, 19) + Only({25}),
     {{kAll, Range(0, 0, 9999)}}},
    {27, "inter-character delay (ms)", kRange, Span(0, 13) + Span(16, 19) + Only({25}),
     {{kAll, Range(0, 0, 9999)}}},
    {28, "start-of-message character", kOther, kAll,
     {{kAll, Plain(0)}}},
    {29, "end-of-message character", kOther, kAll,
     {{kAll, Plain(0)}}},
    {30, "A value", kOther, Only({8, 9, 11}),
     {{kAll, Plain(0)}}},
    {31, "label width (dots)", kRange, Span(6, 13) + Span(16, 19),
     {{Span(0, 5) + Span(16, 17), Range(1000, 100, 4800)},
      {Only({6, 14, 18, 20, 21}), Range(813, 152, 896)},
      {Only({7, 15, 19, 22, 23, 24}), Range(1626, 50, 1792)},
      {Only({8, 9}), Range(1200, 225, 1322)},                   // chosen
      {Span(10, 13) + Only({25}), Range(813, 152, 896)}}},      // chosen
    {32, "audible alarm", kOther, Only({11}),
     {{kAll, Plain(0)}}},
    {33, "online on power-up", kList, Only({8, 9, 11}),
     {{kAll, List(0, 0x3)}}},
    {34, "first value of h", kOther, Only({2, 4, 6, 7}) + Span(12, 24),
     {{kAll, Plain(0)}},
     {{Only({4}), "1.4.1"}}},
    {35, "second value of h", kOther, Only({2, 4, 6, 7}) + Span(12, 24),
     {{kAll, Plain(0)}},
     {{Only({4}), "1.4.1"}}},
    {36, "first value of p", kOther, Only({6, 7, 12, 13}) + Span(16, 19),
     {{kAll, Plain(0)}}},
    {37, "second value of p", kOther, Only({6, 7, 12, 13}) + Span(16, 19),
     {{kAll, Plain(0)}}},
    {38, "e value", kOther, Span(6, 7) + Span(14, 24),
     {{Only({6, 7, 14, 15, 18, 19, 20, 21, 22, 23, 24}), Plain(1)},
      {Only({0, 1, 2, 3, 4, 5, 8, 9, 10, 11, 12, 13, 16, 17, 25}), Plain(0)}}},
    {39, "fifth value of the serial-port command", kOther, Only({12, 13}),
     {{kAll, Plain(0)}}},
    // Offered only on 12 and 13; elsewhere it mirrors setting 3.
    {40, "second speed (key)", kList, Only({12, 13}),
     {{Only({0, 1, 3, 4, 9, 10}), List(30, 0x55)},
      {Only({6, 7, 8, 16, 17}), List(30, 0x1555)},
      {Only({14, 15, 20, 21, 22}), List(30, 0x1550)},
      {Only({23, 24}), List(30, 0x155550)},
      {Only({12, 13}), List(0, 0x1)},
      // chosen: as setting 3
      {Only({2}), List(30, 0x155)},
      {Only({5}), List(30, 0x15)},
      {Only({11}), List(30, 0x12ffe)},
      {Only({18, 19}), List(30, 0x11555)},
      {Only({25}), List(30, 0x1)}}},
    {41, "z value", kOther, Span(16, 24),
     {{kAll, Plain(0)}},
     {{Span(16, 19), "2.4.1"},
      {Span(20, 24), "2.10"}}},
    {42, "v value", kOther, Span(16, 19),
     {{kAll, Plain(0)}},
     {{Span(16, 19), "2.4.1"}}},
}};
// clang-format on

constexpr bool RuleIsWellFormed(const SettingRule& rule, int index) {
    if (rule.setting != index || rule.values.overflow || rule.firmware.overflow ||
        (rule.offered.bits & ~kAll.bits) != 0) {
        return false;
    }
    std::uint32_t named = 0;
    for (std::size_t g = 0; g < rule.values.count; ++g) {
        const Group& group = rule.values.items[g];
        const Value& v = group.value;
        if ((group.models.bits & named) != 0 || (group.models.bits & ~kAll.bits) != 0 ||
            v.kind != rule.kind) {
            return false;
        }
        if (v.kind == SettingKind::kRange &&
            (v.first > v.second || v.defaultValue < v.first || v.defaultValue > v.second)) {
            return false;
        }
        named |= group.models.bits;
    }
    if (named != kAll.bits) {
        return false;
    }
    std::uint32_t floored = 0;
    for (std::size_t f = 0; f < rule.firmware.count; ++f) {
        const Floor& floor = rule.firmware.items[f];
        if ((floor.models.bits & floored) != 0 || (floor.models.bits & ~rule.offered.bits) != 0 ||
            floor.version == nullptr) {
            return false;
        }
        floored |= floor.models.bits;
    }
    return true;
}

constexpr bool RulesAreWellFormed() {
    for (int s = 0; s < kSettingCount; ++s) {
        if (!RuleIsWellFormed(kRules[static_cast<std::size_t>(s)], s)) {
            return false;
        }
    }
    return true;
}
static_assert(RulesAreWellFormed(),
              "each setting in order, every model in exactly one group, values of the setting's "
              "kind, range defaults inside their range, firmware floors only on offering models");

using SettingGrid = std::array<std::array<SettingCell, kTableModelCount>, kSettingCount>;

constexpr SettingCell CellOf(const SettingRule& rule, int model) {
    SettingCell cell{Contains(rule.offered, model), "", rule.kind, 0, 0, 0};
    for (std::size_t g = 0; g < rule.values.count; ++g) {
        const Group& group = rule.values.items[g];
        if (Contains(group.models, model)) {
            const Value& v = group.value;
            cell.defaultValue = v.defaultIsModelIndex ? model : v.defaultValue;
            cell.first = v.first;
            cell.second = v.second;
        }
    }
    for (std::size_t f = 0; f < rule.firmware.count; ++f) {
        if (Contains(rule.firmware.items[f].models, model)) {
            cell.minFirmware = rule.firmware.items[f].version;
        }
    }
    return cell;
}

constexpr SettingGrid LayOutGrid() {
    SettingGrid grid{};
    for (int s = 0; s < kSettingCount; ++s) {
        for (int m = 0; m < kTableModelCount; ++m) {
            grid[static_cast<std::size_t>(s)][static_cast<std::size_t>(m)] =
                CellOf(kRules[static_cast<std::size_t>(s)], m);
        }
    }
    return grid;
}

constexpr SettingGrid kGrid = LayOutGrid();

// Byte-by-byte comparison, as the version texts of the printers have always been compared:
// "2.9" counts as later than "2.10".
int CompareBytes(const char* a, const char* b) {
    const auto* x = reinterpret_cast<const unsigned char*>(a);
    const auto* y = reinterpret_cast<const unsigned char*>(b);
    while (*x != 0 && *x == *y) {
        ++x;
        ++y;
    }
    return static_cast<int>(*x) - static_cast<int>(*y);
}

}  // namespace

const SettingCell* FindSetting(int model, int setting) {
    if (!IsTableModel(model) || setting < 0 || setting >= kSettingCount) {
        return nullptr;
    }
    return &kGrid[static_cast<std::size_t>(setting)][static_cast<std::size_t>(model)];
}

bool SettingSupported(int model, int setting, const char* firmware) {
    const SettingCell* cell = FindSetting(model, setting);
    if (cell == nullptr || !cell->offered) {
        return false;
    }
    return CompareBytes(firmware == nullptr ? "" : firmware, cell->minFirmware) >= 0;
}

}  // namespace tarvo

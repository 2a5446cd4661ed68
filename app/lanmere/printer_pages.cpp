#include "lanmere/printer_pages.h"

#include <algorithm>
#include <array>
#include <bit>

#include "lanmere/units.h"

namespace tarvo::app::lanmere {
namespace {

enum Value {
    kEmulation = 2,
    kSpeed = 3,
    kCharSet = 4,
    kImageBands = 5,
    kStorageSize = 6,
    kStorageFree = 7,
    kImageSize = 8,
    kSecondSpeedSet = 9,
    kSecurity = 30,
    kAlarm = 32,
    kPowerUp = 33,
    kMirror = 34,
    kInverse = 35,
    kSecondSpeed = 40,
    kSlashedZero = 41,
    kVerifier = 42,
};

constexpr int kHighestCharSet = 20;
constexpr int kUsa = 0;
constexpr int kVerifierUnavailable = 99;
constexpr int kSpeedKeys = 21;

const std::array<const char*, 5> kEmulationNames = {"Advanced (2.5 mil)", "Advanced (3.3 mil)",
                                                    "Advanced (5 mil)", "86xx (10 mil)",
                                                    "86xx (15 mil)"};
// Verifier choices and the values they stand for.
const std::array<int, 3> kVerifierValues = {1, 2, 0};

int PositionOf(const std::vector<int>& values, int value) {
    const auto found = std::find(values.begin(), values.end(), value);
    return found == values.end() ? -1 : static_cast<int>(found - values.begin());
}

std::string Kb(int value) {
    return std::to_string(value);
}

}  // namespace

const std::vector<std::string>& CharacterSetNames() {
    static const std::vector<std::string> names = {
        "USA",        "United Kingdom", "Germany",     "Denmark", "France",        "Sweden",
        "Italy",      "Spain",          "8-bit ASCII", "Swiss",   "Code Page 850", "Central Europe",
        "Cyrillic",   "Western Europe", "Greek",       "Turkish", "Hebrew",        "Arabic",
        "Baltic Rim", "Vietnamese",     "Thai"};
    return names;
}

int HighestCharacterSet(int model) {
    int a = 0;
    if (propGetCfgSetting(model, kCharSet, &a, nullptr) == 0 || a <= 0)
        return -1;
    if (a <= kHighestCharSet)
        return a;
    // A mask: its top bit, never beyond the names the page has.
    return std::min(kHighestCharSet,
                    static_cast<int>(std::bit_width(static_cast<unsigned>(a))) - 1);
}

std::vector<int> AllowedSpeeds(int model, bool secondSpeedSet) {
    int mask = 0;
    propGetCfgSetting(model, secondSpeedSet ? kSecondSpeed : kSpeed, &mask, nullptr);
    std::vector<int> keys;
    for (int bit = 0; bit < kSpeedKeys; ++bit) {
        if ((mask >> bit) & 1)
            keys.push_back(20 + 5 * bit);
    }
    return keys;
}

int SpeedPosition(const std::vector<int>& speeds, int key) {
    if (speeds.empty())
        return -1;
    int position = 0;  // the lowest, when no allowed speed lies at or below the key
    for (std::size_t i = 0; i < speeds.size(); ++i) {
        if (speeds[i] <= key)
            position = static_cast<int>(i);
    }
    return position;
}

void CCfgPrtPage1::Load() {
    Reset();
    Field& name = Add({.id = "model", .label = "Printer Model:", .group = "Printer"});
    name.text = desk_.session.modelName;
    Field& fw = Add({.id = "firmware", .label = "Firmware Version:", .group = "Printer"});
    fw.text = desk_.session.firmwareVersion;

    emulations_.clear();
    std::vector<std::string> names;
    const Domain emulation = domain(kEmulation);
    for (int v = 0; v < static_cast<int>(kEmulationNames.size()); ++v) {
        if (emulation.kind == PROP_KIND_LIST && ((emulation.first >> v) & 1)) {
            emulations_.push_back(v);
            names.emplace_back(kEmulationNames[static_cast<std::size_t>(v)]);
        }
    }
    Field& e = AddChoice("emulation", Control::DropList, "Printer Emulation:", names, "Settings");
    e.selected = PositionOf(emulations_, value(kEmulation));
    e.enabled = supported(kEmulation);

    speeds_ = AllowedSpeeds(model(), value(kSecondSpeedSet) == 1);
    names.clear();
    for (int key : speeds_)
        names.push_back(SpeedText(key, metric()));
    Field& s = AddChoice("speed", Control::DropList, "Print Speed:", names, "Settings");
    s.selected = SpeedPosition(speeds_, value(kSpeed));

    const int highest = HighestCharacterSet(model());
    names.assign(CharacterSetNames().begin(), CharacterSetNames().begin() + (highest + 1));
    Field& c = AddChoice("charset", Control::DropList, "Character Set:", names, "Settings");
    c.selected = value(kCharSet) >= 0 && value(kCharSet) <= highest ? value(kCharSet) : -1;

    AddBounded("bands", kImageBands, "Image Bands:", "", "Settings");

    Field& storage = AddBounded("storage", kStorageSize, "Storage Memory Size:", "KB", "Memory");
    storage.enabled = true;
    storage.readOnly = !supported(kStorageSize);
    Field& free = Add({.id = "available", .label = "Storage Memory Available:", .unit = "KB"});
    free.group = "Memory";
    free.text = Kb(value(kStorageFree));
    Field& image = Add({.id = "image", .label = "Image Memory Size:", .unit = "KB"});
    image.group = "Memory";
    image.text = Kb(value(kImageSize));
    image.visible = supported(kImageSize);
}

void CCfgPrtPage1::OnEdit(const std::string& id) {
    if (id == "charset" && options_ != nullptr)
        options_->CharacterSetChanged(field("charset").selected);
}

void CCfgPrtPage1::Save() {
    const int e = field("emulation").selected;
    if (e >= 0)
        store(kEmulation, emulations_[static_cast<std::size_t>(e)]);
    const int s = field("speed").selected;
    if (s >= 0)
        store(kSpeed, speeds_[static_cast<std::size_t>(s)]);
    const int c = field("charset").selected;
    if (c >= 0)
        store(kCharSet, c);
    SaveBounded("bands", kImageBands);
    if (supported(kStorageSize))
        SaveBounded("storage", kStorageSize);
}

void CCfgPrtPage2::Load() {
    Reset();
    charSet_ = value(kCharSet);
    Field& security =
        AddChoice("security", Control::DropList, "Security Level Access:",
                  {"All menus", "Operator & config menus", "Operator menu only", "No menus"});
    security.selected = value(kSecurity) >= 0 && value(kSecurity) <= 3 ? value(kSecurity) : -1;
    security.enabled = supported(kSecurity);

    Field& power = AddChoice("powerup", Control::Radios,
                             "Power-up State:", {"Online on Power Up", "Offline on Power Up"});
    power.selected = value(kPowerUp) == 0 || value(kPowerUp) == 1 ? value(kPowerUp) : -1;
    power.enabled = supported(kPowerUp);

    AddFlag("alarm", kAlarm, "Audible Alarm", "Printing");
    AddFlag("mirror", kMirror, "Enable Mirror Printing", "Printing");
    AddFlag("inverse", kInverse, "Enable Inverse Printing", "Printing");
    AddFlag("slashed", kSlashedZero, "Enable Slashed Zero", "Printing");
    applySlashedZeroRule();

    Field& verifier =
        AddChoice("verifier", Control::Radios, "Online Verifier:",
                  {"Use Reprint Mode", "Use No Reprint Mode", "Disable Verifier"}, "Verifier");
    const std::vector<int> values(kVerifierValues.begin(), kVerifierValues.end());
    const bool unavailable = value(kVerifier) == kVerifierUnavailable;
    verifier.selected = unavailable ? 2 : PositionOf(values, value(kVerifier));
    verifier.enabled = !unavailable && supported(kVerifier);
}

void CCfgPrtPage2::applySlashedZeroRule() {
    Field& slashed = at("slashed");
    slashed.enabled = supported(kSlashedZero) && charSet_ == kUsa;
    if (!slashed.enabled)
        slashed.value = 0;
    else if (!slashed.edited)
        slashed.value = value(kSlashedZero) != 0 ? 1 : 0;
}

void CCfgPrtPage2::CharacterSetChanged(int charSet) {
    charSet_ = charSet;
    applySlashedZeroRule();
}

void CCfgPrtPage2::Save() {
    const int security = field("security").selected;
    if (field("security").enabled && security >= 0)
        store(kSecurity, security);
    const int power = field("powerup").selected;
    if (field("powerup").enabled && power >= 0)
        store(kPowerUp, power);
    SaveFlag("alarm", kAlarm);
    SaveFlag("mirror", kMirror);
    SaveFlag("inverse", kInverse);
    // Slashed zero exists only with the USA set: another set turns it off in the printer.
    if (supported(kSlashedZero) && charSet_ != kUsa)
        store(kSlashedZero, 0);
    else
        SaveFlag("slashed", kSlashedZero);
    const Field& verifier = field("verifier");
    if (verifier.enabled && verifier.selected >= 0)
        store(kVerifier, kVerifierValues[static_cast<std::size_t>(verifier.selected)]);
}

CCfgPrtSheet::CCfgPrtSheet(Desk& desk) : SheetModel("Printer Configuration") {
    auto& standard = AddPage<CCfgPrtPage1>(desk);
    auto& options = AddPage<CCfgPrtPage2>(desk);
    AddPage<CCfgPrtPage3>(desk);
    standard.Link(&options);
}

}  // namespace tarvo::app::lanmere

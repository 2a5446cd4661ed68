#include "lanmere/media_pages.h"

#include "lanmere/units.h"
#include "tarvo/base/setting_rules.h"

namespace tarvo::app::lanmere {
namespace {

enum Value {
    kSelfStrip = 9,
    kCutter = 10,
    kMediaType = 11,
    kStock = 12,
    kSensitivity = 13,
    kDarkness = 14,
    kHandling = 16,
    kRetract = 17,
    kSkip = 19,
    kRest = 20,
    kHotHumid = 21,
    kReprint = 38,
};

constexpr int kContinuous = 0;
constexpr int kGap = 1;

// The skip distance a tear-off starts with when none is stored: 0.53 in, or 1.35 cm.
constexpr const char* kTearOffInches = "0.53";
constexpr const char* kTearOffCentimetres = "1.35";

}  // namespace

void CMediaSetup::Load() {
    Reset();
    Field& type = AddChoice("type", Control::Radios,
                            "Media Type:", {"Direct Thermal", "Thermal Transfer"}, "Media");
    type.selected = value(kMediaType) == 0 || value(kMediaType) == 1 ? value(kMediaType) : -1;
    type.enabled = supported(kMediaType);

    // Self-strip and tear-off need the gaps or marks between labels to find their place.
    const bool continuousBlocked = value(kSelfStrip) != 0 || value(kHandling) == 1;
    Field& stock =
        AddChoice("stock", Control::Radios, "Label Stock:", {"Continuous", "Gap", "Mark"}, "Media");
    stock.choiceEnabled = {!continuousBlocked, true, true};
    const int stored = value(kStock);
    stock.selected = stored >= 0 && stored <= 2 ? stored : -1;
    if (continuousBlocked && stored == kContinuous)
        stock.selected = kGap;

    AddLength(length_, "Label Length:", "Label Size");
    Field& width = AddLength(width_, "Label Width:", "Label Size");
    width.enabled = supported(width_.index);
    if (!width.enabled) {
        width.text.clear();
        width_.loaded.clear();
    }
}

std::string CMediaSetup::Validate() const {
    std::string problem = CheckLength(length_);
    return problem.empty() ? CheckLength(width_) : problem;
}

void CMediaSetup::Save() {
    const Field& type = field("type");
    if (type.enabled && type.selected >= 0)
        store(kMediaType, type.selected);
    const int stock = field("stock").selected;
    if (stock >= 0) {
        store(kStock, stock);
        if (stock == kContinuous && value(kSelfStrip) == 1)
            store(kSelfStrip, 0);
    }
    SaveLength(length_);
    SaveLength(width_);
}

void CMediaQuality::Load() {
    Reset();
    AddBounded("sensitivity", kSensitivity, "Media Sensitivity Number:", "", "Print Quality");
    Field darkness;
    darkness.id = "darkness";
    darkness.control = Control::Slider;
    darkness.label = "Print Darkness:";
    darkness.group = "Print Quality";
    darkness.minimum = -10;
    darkness.maximum = 10;
    darkness.value = value(kDarkness);
    darkness.lowText = "Lighter";
    darkness.highText = "Darker";
    Add(std::move(darkness));
    Field& wizard =
        Add({.id = "wizard", .control = Control::Button, .label = "Print Quality &Wizard..."});
    wizard.enabled = MediaWizardFlow::Offered(model());
    printerAnswered_ = desk_.session.flags.online;
}

void CMediaQuality::OnPress(const std::string& id) {
    if (id != "wizard")
        return;
    if (!wizard_) {
        desk_.prompt.Tell("Notice", "The Print Quality Wizard is not available yet.",
                          PromptIcon::Information);
        return;
    }
    if (!printerAnswered_) {
        desk_.prompt.Tell("Notice", "Printer must be connected.", PromptIcon::Information);
        return;
    }
    const std::optional<WizardResult> result = wizard_();
    if (!result)
        return;
    for (auto [id, value] :
         {std::pair{"sensitivity", result->sensitivity}, std::pair{"darkness", result->darkness}}) {
        at(id).value = value;
        at(id).edited = true;
    }
}

void KeepWizardValue(Desk& desk, int setting, int value) {
    if (setting < 0 || setting >= PROP_SETTING_COUNT)
        return;
    const auto index = static_cast<std::size_t>(setting);
    desk.config.values[index] = value;
    if (desk.config.printerValues)
        (*desk.config.printerValues)[index] = value;
}

void CMediaQuality::Save() {
    SaveBounded("sensitivity", kSensitivity);
    if (field("darkness").edited)
        store(kDarkness, field("darkness").value);
}

CMediaSheet::CMediaSheet(Desk& desk, QualityWizardRunner wizard) : SheetModel("Media Type") {
    AddPage<CMediaSetup>(desk);
    AddPage<CMediaQuality>(desk, std::move(wizard));
}

void MediaHandlingPage::Load() {
    Reset();
    const bool continuous = value(kStock) == kContinuous;
    const bool cutter = supported(kCutter) && desk_.config.options[0] != 0;
    Field& mode =
        AddChoice("mode", Control::Radios,
                  "Label Handling:", {"Batch", "Tear off", "Self-strip", "Cut"}, "Handling");
    mode.choiceEnabled = {true, !continuous, !continuous, cutter};
    Handling derived = Handling::TearOff;
    if (continuous)
        derived = value(kCutter) == 1 ? Handling::Cut : Handling::Batch;
    else if (value(kSelfStrip) == 1)
        derived = Handling::SelfStrip;
    else if (value(kCutter) == 1)
        derived = Handling::Cut;
    else if (value(kSkip) == 0 && value(kHandling) != 1)
        derived = Handling::Batch;
    mode.selected = static_cast<int>(derived);
    skipCopy_ = value(kSkip);

    AddLength(top_, "Top of Form:", "Positions");
    AddLength(skip_, "End of print skip distance:", "Positions");
    Field rest;
    rest.id = "rest";
    rest.control = Control::Slider;
    rest.label = "Rest Adjustment:";
    rest.group = "Positions";
    rest.minimum = -30;
    rest.maximum = 30;
    rest.value = value(kRest);
    rest.lowText = "Backward";
    rest.highText = "Forward";
    Add(std::move(rest));

    AddFlag("retract", kRetract, "Enable Label Retract", "Options");
    Field& reprint = AddFlag("reprint", kReprint, "Reprint Last Label", "Options");
    reprint.value = value(kReprint) == 0 ? 1 : 0;  // the value says "do not reprint"
    Field& hot = AddFlag("hothumid", kHotHumid, "Hot/Humid Environment", "Options");
    // A percentage in the printer; the box sets 0 or 1 and leaves any other value alone
    // until it is clicked. Only the models that receive the setting offer it.
    hot.triState = true;
    hot.value = value(kHotHumid) == 0 ? 0 : value(kHotHumid) == 1 ? 1 : 2;
    hot.enabled = supported(kHotHumid) &&
                  SettingReachesPrinter(model(), desk_.session.firmwareVersion, kHotHumid, nullptr);
    applyMode();
    // What the page shows now is what it loaded.
    skip_.loaded = field("skip").text;
}

void MediaHandlingPage::applyMode() {
    const Handling m = mode();
    const bool skips = m == Handling::TearOff || m == Handling::Cut;
    Field& skip = at("skip");
    skip.enabled = skips;
    at("rest").enabled = !skips;
    if (!skips) {
        skip.text.clear();
    } else if (skipCopy_ == 0) {
        skip.text = metric() ? kTearOffCentimetres : kTearOffInches;
    } else if (skip.text.empty()) {
        skip.text = ShowLength(skipCopy_, propGetMMPerDot(model()), metric());
    }
}

void MediaHandlingPage::OnEdit(const std::string& id) {
    if (id != "mode")
        return;
    if (mode() == Handling::Batch)
        skipCopy_ = 0;
    applyMode();
}

std::string MediaHandlingPage::Validate() const {
    std::string problem = CheckLength(top_);
    return problem.empty() ? CheckLength(skip_) : problem;
}

void MediaHandlingPage::Save() {
    const Field& modeField = field("mode");
    const Handling m = mode();
    if (modeField.edited || value(kHandling) != modeField.selected) {
        store(kHandling, modeField.selected);
        store(kSelfStrip, m == Handling::SelfStrip ? 1 : 0);
        store(kCutter, m == Handling::Cut ? 1 : 0);
        if (m == Handling::Batch && modeField.edited)
            store(kSkip, 0);
    }
    SaveLength(top_);
    SaveLength(skip_);
    if (field("rest").edited)
        store(kRest, field("rest").value);
    SaveFlag("retract", kRetract);
    if (field("reprint").edited)
        store(kReprint, field("reprint").value == 1 ? 0 : 1);
    SaveFlag("hothumid", kHotHumid);
}

CMediaHandlingDlg::CMediaHandlingDlg(Desk& desk) : SheetModel("Media Handling") {
    AddPage<MediaHandlingPage>(desk);
}

}  // namespace tarvo::app::lanmere

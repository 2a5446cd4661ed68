// The wizard's first pages: the label format, the media type and speed, and the media type
// switch on the printer.
#include "desk/test_print.h"
#include "lanmere/units.h"
#include "lanmere/wizard_pages.h"
#include "tarvo/base/model_capabilities.h"
#include "tarvo/models.h"

namespace tarvo::app::lanmere {
namespace {

constexpr const char* kMediaTypeNames[] = {"DIRECT THERMAL", "THERMAL TRANSFER"};

int KnownNumberPage(const WizardState& state) {
    return state.mediaType == kThermalTransfer ? kMediaNumberPage : kKnownPage;
}

std::vector<int> SpeedKeys(int model) {
    std::vector<int> keys;
    for (int n = 0; propGetPrintSpeedInt(model, n) != 0; ++n)
        keys.push_back(propGetPrintSpeedInt(model, n));
    return keys;
}

int SwitchPage(int model) {
    switch (CapabilitiesOf(model).mediaTypeSwitch) {
        case MediaTypeSwitch::kFrontPanelSwitch:
            return kFrontSwitchPage;
        case MediaTypeSwitch::kNone:
            return kMediaSetPage;
        case MediaTypeSwitch::kBackDipSwitch:
            break;
    }
    return kBackSwitchPage;
}

// The switch pages: once the operator has set the switch, the printer tells the media type.
int AfterSwitch(MediaWizardFlow& flow, int page) {
    const auto held = flow.link().Read();
    if (!held) {
        flow.prompt().Tell(
            "Error", "The printer's media type could not be read:\n" + flow.link().errorText(),
            PromptIcon::Stop);
        return 0;
    }
    flow.Push(page);
    flow.state().mediaType = held->mediaType;
    return kMediaSetPage;
}

std::string SwitchText(const char* where) {
    return std::string("Set the DT/TTR switch ") + where +
           " for the media you use:\n\n    Direct Thermal:    0 (OFF)\n"
           "    Thermal Transfer:  1 (ON)\n\nThen press Next.";
}

}  // namespace

void CMediaWizardPage1::Load() {
    Reset();
    Add(TextField("intro",
                  "This wizard finds the media sensitivity number and print darkness that suit "
                  "your labels. On the way it prints test labels for you to compare."));
    Add(RadioField("format", "Select the label format you want to use:",
                   {"Standard format", "Custom"}, flow_.state().customFormat ? 1 : 0));
}

int CMediaWizardPage1::Next() {
    WizardState& state = flow_.state();
    state.customFormat = field("format").selected == 1;
    if (!state.customFormat)
        return kMediaPage;
    auto formats = flow_.link().Formats();
    if (!formats || formats->empty()) {
        Warn(flow_, "The printer holds no format of yours to print the test labels with.");
        return 0;
    }
    state.formats = std::move(*formats);
    return kFormatPage;
}

void CMediaWizardPage3::Load() {
    Reset();
    const WizardState& state = flow_.state();
    Field list = RadioField(
        "format",
        "Select a format location in your printer to be used for test printing:", state.formats, 0);
    list.control = Control::DropList;
    for (std::size_t i = 0; i < state.formats.size(); ++i) {
        if (EntryNumber(state.formats[i], "FRMT") == state.formatLocation)
            list.selected = static_cast<int>(i);
    }
    Add(std::move(list));
}

int CMediaWizardPage3::Next() {
    const Field& list = field("format");
    if (list.selected < 0 || list.selected >= static_cast<int>(list.choices.size()))
        return 0;
    flow_.state().formatLocation =
        EntryNumber(list.choices[static_cast<std::size_t>(list.selected)], "FRMT");
    return kMediaPage;
}

void CMediaWizardPage2::Load() {
    Reset();
    const WizardState& state = flow_.state();
    Add(RadioField("media", "Select the media type and the print speed you want to use:",
                   {"Direct thermal media (no ribbon)", "Transfer thermal media (ribbon required)"},
                   state.mediaType == kThermalTransfer ? 1 : 0));
    Field speed = RadioField("speed", "Current print speed:", {}, -1);
    speed.control = Control::DropList;
    const std::vector<int> keys = SpeedKeys(flow_.model());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        speed.choices.push_back(SpeedText(keys[i], flow_.metric()));
        if (keys[i] == state.speed)
            speed.selected = static_cast<int>(i);
    }
    Add(std::move(speed));
}

int CMediaWizardPage2::Next() {
    WizardState& state = flow_.state();
    const int key = propGetPrintSpeedInt(flow_.model(), field("speed").selected);
    if (key != 0)
        state.speed = key;
    state.mediaType = field("media").selected == 1 ? kThermalTransfer : kDirectThermal;
    const PrinterQuality& held = flow_.link().held();
    const bool typeChanged = state.mediaType != held.mediaType;
    if (state.speed != held.speed || typeChanged) {
        if (!flow_.Write({{kSpeedValue, state.speed}, {kMediaTypeValue, state.mediaType}}))
            return 0;
    }
    flow_.Push(kMediaPage);
    return typeChanged ? SwitchPage(flow_.model()) : KnownNumberPage(state);
}

void CMediaWizardPage4::Load() {
    Reset();
    Add(TextField("switch", SwitchText("(switch #8 of the DIP switches on the back of the "
                                       "printer)")));
}

int CMediaWizardPage4::Next() {
    return AfterSwitch(flow_, kBackSwitchPage);
}

void CMediaWizardPage6::Load() {
    Reset();
    Add(TextField("switch", SwitchText("behind the front panel door")));
}

int CMediaWizardPage6::Next() {
    return AfterSwitch(flow_, kFrontSwitchPage);
}

void CMediaWizardPage5::Load() {
    Reset();
    Add(TextField("heading", "Your printer's media configuration is now set for:"));
    Add(TextField("media", kMediaTypeNames[flow_.state().mediaType == kThermalTransfer ? 1 : 0]));
}

int CMediaWizardPage5::Next() {
    flow_.Push(kMediaSetPage);
    return KnownNumberPage(flow_.state());
}

}  // namespace tarvo::app::lanmere

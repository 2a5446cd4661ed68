// The wizard's pages that find the media sensitivity number: typed, from the media and ribbon
// numbers, or from the kind of media alone. Also the field helpers of the page files.
#include <cctype>

#include "desk/desk.h"
#include "lanmere/wizard_pages.h"

namespace tarvo::app::lanmere {
namespace {

constexpr const char* kNumberNotValid =
    "The Media Sensitivity Number you entered: \"%d\"\nis not valid for the current printer "
    "model:  \"%s\"";
constexpr const char* kTensNotValid =
    "The Media Sensitivity Number you entered: \"%.2d*\"\nis not valid for the current printer "
    "model:  \"%s\"";
constexpr const char* kRibbonNotValid =
    "The Ribbon Sensitivity Number you entered: \"%.1d*%.1d\"\nis not valid for the current "
    "printer model:  \"%s\"";
constexpr const char* kRibbonMismatch =
    "The specified Ribbon Sensitivity Number: \"%.1d*%.1d\"\nis not consistent with the label "
    "stock selection: \"%s\"\n\nThis may affect final print quality adversely.";

enum Stock { kPaper = 0, kPlastic = 1, kKapton = 2 };

void WarnNumber(MediaWizardFlow& flow, int number) {
    Warn(flow, Format(kNumberNotValid, number, flow.modelName().c_str()));
}

// Checks the ribbon against the model; warns when it does not suit.
bool RibbonSuits(MediaWizardFlow& flow, int ribbonClass, int fine) {
    if (RibbonValid(ribbonClass, fine, flow.model()))
        return true;
    Warn(flow, Format(kRibbonNotValid, ribbonClass, fine, flow.modelName().c_str()));
    return false;
}

// Ends the class page on the candidates page with `kind` chosen.
int ToCandidates(MediaWizardFlow& flow, MediaClass kind, bool fromRibbon) {
    WizardState& state = flow.state();
    flow.Push(kClassPage);
    state.mediaClass = kind;
    if (fromRibbon)
        state.entryPath = EntryPath::FromRibbon;
    return kCandidatesPage;
}

}  // namespace

Field TextField(std::string id, std::string text) {
    return {.id = std::move(id), .control = Control::Text, .text = std::move(text)};
}

Field RadioField(std::string id, std::string label, std::vector<std::string> choices,
                 int selected) {
    return {.id = std::move(id),
            .control = Control::Radios,
            .label = std::move(label),
            .choices = std::move(choices),
            .selected = selected};
}

Field EditField(std::string id, std::string label, int maxLength) {
    return {.id = std::move(id),
            .control = Control::Edit,
            .label = std::move(label),
            .maxLength = maxLength};
}

Field CheckField(std::string id, std::string label) {
    return {.id = std::move(id), .control = Control::Check, .label = std::move(label)};
}

Field ButtonField(std::string id, std::string label) {
    return {.id = std::move(id), .control = Control::Button, .label = std::move(label)};
}

int DigitsValue(const std::string& text, std::size_t length) {
    if (text.size() != length)
        return -1;
    int value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

void Warn(MediaWizardFlow& flow, const std::string& text) {
    flow.prompt().Tell("WARNING!", text, PromptIcon::Exclamation);
}

void CMediaWizardPage7::Load() {
    Reset();
    Add(EditField("number", "Enter the MEDIA SENSITIVITY NUMBER:", 3));
    Add(CheckField("dontknow", "Don't know"));
}

int CMediaWizardPage7::Next() {
    WizardState& state = flow_.state();
    if (field("dontknow").value != 0) {
        state.entryPath = EntryPath::DontKnow;
        return kSeriesPage;
    }
    const int number = DigitsValue(field("number").text, 3);
    if (number < 0) {
        Warn(flow_, "The Media Sensitivity Number is three digits, as printed on the roll.");
        return 0;
    }
    state.sensitivity = number;
    if (!MediaValid(number, flow_.model())) {
        WarnNumber(flow_, number);
        return 0;
    }
    flow_.Push(kKnownPage);
    state.entryPath = EntryPath::Typed;
    return kCandidatesPage;
}

void CMediaWizardPage14::Load() {
    Reset();
    Add(EditField("media", "Enter the first two digits of the MEDIA SENSITIVITY NUMBER:", 2));
    Add(CheckField("dontknow", "I don't know the media number"));
}

int CMediaWizardPage14::Next() {
    WizardState& state = flow_.state();
    if (field("dontknow").value != 0) {
        state.sensitivity = 0;
        state.entryPath = EntryPath::DontKnow;
        return kRibbonPage;
    }
    const int digits = DigitsValue(field("media").text, 2);
    if (digits < 0) {
        Warn(flow_, "Enter the two digits of the media number, or check \"I don't know\".");
        return 0;
    }
    state.sensitivity = digits * 10;
    return kRibbonPage;
}

void CMediaWizardPage15::Load() {
    Reset();
    const int tens = flow_.state().sensitivity / 10;
    Add(TextField("media",
                  tens > 0 ? Format("Media number:  %.2d*", tens) : "Media number:  unknown"));
    Add(EditField("ribbon", "Enter the RIBBON SENSITIVITY NUMBER (its first and last digit):", 2));
    Add(CheckField("dontknow", "I don't know the ribbon number"));
}

int CMediaWizardPage15::Next() {
    WizardState& state = flow_.state();
    state.sensitivity = state.sensitivity / 10 * 10;
    int ribbon = 0;
    if (field("dontknow").value == 0) {
        const int digits = DigitsValue(field("ribbon").text, 2);
        if (digits < 0) {
            Warn(flow_, "Enter the two digits of the ribbon number, or check \"I don't know\".");
            return 0;
        }
        ribbon = digits / 10 * 100 + digits % 10;
    }
    state.ribbonNumber = ribbon;
    if (state.sensitivity <= 0) {
        state.entryPath = EntryPath::NoMediaNumber;
        return kClassPage;
    }
    if (ribbon != 0)
        return kCalculatedPage;
    if (!TensValid(state.sensitivity, flow_.model())) {
        Warn(flow_, Format(kTensNotValid, state.sensitivity / 10, flow_.modelName().c_str()));
        return kMediaNumberPage;
    }
    flow_.Push(kRibbonPage);
    state.entryPath = EntryPath::FromMediaNumber;
    return kCandidatesPage;
}

void CMediaWizardPage16::Load() {
    Reset();
    const WizardState& state = flow_.state();
    Field number = EditField("number", "The MEDIA SENSITIVITY NUMBER has been calculated as:", 3);
    number.text = Format("%.3d", state.sensitivity / 10 * 10 + state.ribbonNumber % 10);
    Add(std::move(number));
}

int CMediaWizardPage16::Next() {
    const int number = DigitsValue(field("number").text, 3);
    if (!MediaValid(number, flow_.model())) {
        WarnNumber(flow_, number);
        return kMediaNumberPage;
    }
    WizardState& state = flow_.state();
    state.sensitivity = number;
    flow_.Push(kCalculatedPage);
    state.entryPath = EntryPath::Confirmed;
    return kCandidatesPage;
}

void CMediaWizardPage17::Load() {
    Reset();
    Add(RadioField(
        "stock", "Select the kind of label stock:", {"Paper", "Plastic", "Kapton/polyimide"}, -1));
}

int CMediaWizardPage17::Next() {
    WizardState& state = flow_.state();
    const int r = state.ribbonNumber;
    const int k = r / 100;
    const int g = r % 10;
    const int stock = field("stock").selected;
    const char* names[] = {"PAPER", "PLASTIC", "KAPTON"};
    const bool classFits = stock == kPaper     ? k == 8 || k == 5
                           : stock == kPlastic ? k == 6 || k == 3
                                               : k == 2;
    if (stock < 0)
        return 0;
    if (r != 0 && !classFits) {
        Warn(flow_, Format(kRibbonMismatch, k, g, names[stock]));
        return 0;
    }
    if (r != 0 && g != 0) {
        if (!RibbonSuits(flow_, k, g))
            return 0;
        const MediaClass kinds[] = {MediaClass::Paper, MediaClass::Plastic, MediaClass::Kapton};
        return ToCandidates(flow_, kinds[stock], true);
    }
    switch (stock) {
        case kPaper:
            if (r != 0)
                flow_.Push(kClassPage);
            state.mediaClass = MediaClass::Paper;
            return kSeriesPage;
        case kPlastic:
            if (r != 0)
                flow_.Push(kClassPage);
            state.mediaClass = MediaClass::Plastic;
            return kFinishPage;
        default:
            state.sensitivity = 200;
            return ToCandidates(flow_, MediaClass::Kapton, false);
    }
}

void CMediaWizardPage18::Load() {
    Reset();
    Add(RadioField("finish", "Select the finish of the plastic label stock:", {"Matte", "Gloss"},
                   -1));
}

int CMediaWizardPage18::Next() {
    const int finish = field("finish").selected;
    if (finish < 0)
        return 0;
    flow_.state().sensitivity = finish == 1 ? 300 : 600;
    flow_.Push(kFinishPage);
    return kCandidatesPage;
}

}  // namespace tarvo::app::lanmere

// The wizard's pages that print test labels and end it: the candidates, one candidate with its
// darkness, the summary, the series of a media type, the verdict and the reasons for poor
// quality.
#include "desk/desk.h"
#include "desk/test_print.h"
#include "lanmere/wizard_pages.h"

namespace tarvo::app::lanmere {
namespace {

constexpr int kMostLabels = 99;
constexpr const char* kReasons =
    "Print quality may stay poor when:\n"
    "  - the print speed is too high for the media;\n"
    "  - the ribbon and the label stock do not go together;\n"
    "  - the media does not suit this printer model;\n"
    "  - an answer in this wizard was wrong;\n"
    "  - the darkness is set too light or too dark;\n"
    "  - the printer needs service (a worn or dirty print head or platen).\n\n"
    "Press Next to try again.";

std::vector<int> Suiting(std::vector<int> numbers, int model) {
    std::erase_if(numbers, [model](int n) { return !MediaValid(n, model); });
    return numbers;
}

std::vector<int> Where(int series, int model, const std::function<bool(int)>& keep) {
    std::vector<int> numbers = series >= 0 ? SeriesNumbers(series, model) : std::vector<int>{};
    std::erase_if(numbers, [&keep](int n) { return !keep(n); });
    return numbers;
}

std::vector<std::string> Entries(const std::vector<int>& numbers) {
    std::vector<std::string> entries;
    for (int n : numbers)
        entries.push_back(MediaEntry(n));
    return entries;
}

// The first number of every series page 218 lists: one label each.
std::vector<int> SeriesSamples(const WizardState& state, int model) {
    std::vector<int> samples;
    for (int series : ListedSeries(state.mediaType, model))
        samples.push_back(SeriesNumbers(series, model).front());
    return samples;
}

const char* ClassName(MediaClass kind) {
    switch (kind) {
        case MediaClass::Plastic:
            return "Plastic";
        case MediaClass::Kapton:
            return "Kapton";
        default:
            return "Paper";
    }
}

int NumberOf(const Field& list) {
    if (list.selected < 0 || list.selected >= static_cast<int>(list.choices.size()))
        return -1;
    return EntryNumber(list.choices[static_cast<std::size_t>(list.selected)], "");
}

Field Candidates(const std::vector<int>& numbers) {
    Field table{.id = "candidates", .control = Control::Table};
    table.columns = {"Number", "Media"};
    for (int n : numbers)
        table.rows.push_back({std::to_string(n), MediaName(n)});
    return table;
}

}  // namespace

std::vector<int> CandidateNumbers(const WizardState& s, int model) {
    const int series = SeriesOf(s.sensitivity);
    if (s.mediaType == kDirectThermal) {
        if (s.entryPath == EntryPath::DontKnow)
            return Where(series, model, [](int) { return true; });
        return Suiting({s.sensitivity}, model);
    }
    switch (s.entryPath) {
        case EntryPath::Confirmed:
            return Suiting({s.sensitivity}, model);
        case EntryPath::FromRibbon:
            return Where(SeriesOf(s.ribbonNumber / 100 * 100), model,
                         [&s](int n) { return n % 10 == s.ribbonNumber % 10; });
        case EntryPath::FromMediaNumber:
            return Where(series, model, [&s](int n) { return n / 10 == s.sensitivity / 10; });
        default:
            return Where(series, model, [](int) { return true; });
    }
}

std::vector<int> ListedSeries(int mediaType, int model) {
    std::vector<int> listed;
    for (int series = 0; series < kMediaSeriesCount; ++series) {
        const bool kind = mediaType == kDirectThermal ? !SeriesTransfer(series)
                                                      : SeriesClass(series) == MediaClass::Paper;
        if (kind && !SeriesNumbers(series, model).empty())
            listed.push_back(series);
    }
    return listed;
}

void CMediaWizardPage8::Load() {
    Reset();
    Add(TextField("heading", "Here are the choices for media sensitivity:"));
    Add(Candidates(CandidateNumbers(flow_.state(), flow_.model())));
    Add(ButtonField("print", "Print"));
}

void CMediaWizardPage8::OnPress(const std::string& id) {
    if (id != "print")
        return;
    flow_.OfferDarknessReset();
    flow_.PrintLabels(CandidateNumbers(flow_.state(), flow_.model()), 1, flow_.state().darkness);
}

int CMediaWizardPage8::Next() {
    return kChoicePage;
}

void CMediaWizardPage9::Load() {
    Reset();
    const WizardState& state = flow_.state();
    const std::vector<int> numbers = CandidateNumbers(state, flow_.model());
    Field choice =
        RadioField("choice", "Choose the media sensitivity number:", Entries(numbers), -1);
    choice.control = Control::DropList;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        if (numbers[i] == state.sensitivity)
            choice.selected = static_cast<int>(i);
    }
    Add(std::move(choice));
    Add({.id = "count",
         .control = Control::Spin,
         .label = "Number of labels:",
         .value = 1,
         .minimum = 1,
         .maximum = kMostLabels});
    Add({.id = "darkness",
         .control = Control::Slider,
         .label = "Print darkness:",
         .value = state.darkness,
         .minimum = -10,
         .maximum = 10,
         .lowText = "Lighter",
         .highText = "Darker"});
    Add(ButtonField("print", "Print"));
}

void CMediaWizardPage9::OnPress(const std::string& id) {
    const int number = NumberOf(field("choice"));
    if (id == "print" && number >= 0)
        flow_.PrintLabels({number}, field("count").value, field("darkness").value);
}

int CMediaWizardPage9::Next() {
    const int number = NumberOf(field("choice"));
    if (number < 0)
        return 0;
    flow_.state().sensitivity = number;
    flow_.state().darkness = field("darkness").value;
    return kSummaryPage;
}

void CMediaWizardPage10::Load() {
    Reset();
    const WizardState& state = flow_.state();
    Add(TextField("sensitivity", Format("Media sensitivity number:  %.3d", state.sensitivity)));
    Add(TextField("darkness", Format("Print darkness:  %d", state.darkness)));
    Add(ButtonField("send", "Send to printer"));
}

void CMediaWizardPage10::OnPress(const std::string& id) {
    const WizardState& state = flow_.state();
    if (id == "send" &&
        flow_.Write({{kSensitivityValue, state.sensitivity}, {kDarknessValue, state.darkness}}))
        flow_.prompt().Tell("Send to printer", "Done!", PromptIcon::Information);
}

int CMediaWizardPage10::Next() {
    return 0;  // the wizard ends here with Finish
}

void CMediaWizardPage11::Load() {
    Reset();
    const WizardState& state = flow_.state();
    const bool transfer = state.mediaType == kThermalTransfer;
    Add(TextField("media", transfer ? "THERMAL TRANSFER" : "DIRECT THERMAL"));
    Add(TextField("stock", transfer ? ClassName(state.mediaClass) : ""));
    const int r = state.ribbonNumber;
    Add(TextField("ribbon", r != 0 ? Format("Ribbon:  %.1d*%.1d", r / 100, r % 10) : ""));
    Field table{.id = "series", .control = Control::Table};
    table.columns = {"Series"};
    for (int series : ListedSeries(state.mediaType, flow_.model()))
        table.rows.push_back({std::to_string(SeriesHundreds(series)) + " series"});
    Add(std::move(table));
    Add(ButtonField("print", "Print"));
}

void CMediaWizardPage11::OnPress(const std::string& id) {
    if (id != "print")
        return;
    flow_.OfferDarknessReset();
    flow_.PrintLabels(SeriesSamples(flow_.state(), flow_.model()), 1, 0);
}

int CMediaWizardPage11::Next() {
    return kVerdictPage;
}

void CMediaWizardPage12::Load() {
    Reset();
    Add(RadioField("verdict", "How did the test labels print?",
                   {"Quality is unacceptable", "Pick the best label from this list:"}, -1));
    Field best =
        RadioField("best", "Best label:", Entries(SeriesSamples(flow_.state(), flow_.model())), -1);
    best.control = Control::DropList;
    Add(std::move(best));
}

int CMediaWizardPage12::Next() {
    const int verdict = field("verdict").selected;
    if (verdict == 0)
        return kReasonsPage;
    const int number = NumberOf(field("best"));
    if (verdict < 0 || number < 0)
        return 0;
    flow_.state().sensitivity = number;
    flow_.Push(kVerdictPage);
    return kCandidatesPage;
}

void CMediaWizardPage13::Load() {
    Reset();
    Add(TextField("reasons", kReasons));
}

int CMediaWizardPage13::Next() {
    WizardState& state = flow_.state();
    if (state.mediaType == kThermalTransfer)
        return kMediaNumberPage;
    state.sensitivity = -1;
    return kKnownPage;
}

}  // namespace tarvo::app::lanmere

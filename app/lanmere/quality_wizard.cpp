#include "lanmere/quality_wizard.h"

#include <algorithm>
#include <cstdlib>

#include "desk/desk.h"
#include "lanmere/wizard_pages.h"
#include "tarvo/models.h"

namespace tarvo::app::lanmere {
namespace {

constexpr std::array<int, kWizardPages> kByNumber = {
    kIntroPage,   kMediaPage,       kFormatPage, kBackSwitchPage, kMediaSetPage, kFrontSwitchPage,
    kKnownPage,   kCandidatesPage,  kChoicePage, kSummaryPage,    kSeriesPage,   kVerdictPage,
    kReasonsPage, kMediaNumberPage, kRibbonPage, kCalculatedPage, kClassPage,    kFinishPage,
};

// The order a plain Next or Back follows.
constexpr std::array<int, kWizardPages> kPageOrder = {
    kIntroPage,   kFormatPage,      kMediaPage,  kMediaSetPage,   kBackSwitchPage, kFrontSwitchPage,
    kKnownPage,   kCandidatesPage,  kChoicePage, kSummaryPage,    kSeriesPage,     kVerdictPage,
    kReasonsPage, kMediaNumberPage, kRibbonPage, kCalculatedPage, kClassPage,      kFinishPage,
};

constexpr const char* kUnreadable =
    "The printer's settings could not be read, so the wizard cannot start:\n";
constexpr const char* kNotServed =
    "The Print Quality Wizard needs a known printer model: no media sensitivity number suits %s.";
constexpr const char* kNoFreeFormat =
    "No format number is known to be free in the printer, so the test label cannot be stored "
    "without overwriting one of your formats. Choose \"Custom\" on the first page to print "
    "with one of your own formats.";
constexpr const char* kPrinterBusy =
    "Unable to access printer -- printer is busy, offline, or not connected.";
constexpr const char* kDarknessQuestion =
    "Your printer's DARKNESS value is currently set at:  \"%d\"\n\nIt is strongly recommended "
    "that you reset DARKNESS to 0\nto obtain the most consistent print results.\n\nReset "
    "DARKNESS now?";

int Neighbour(int id, int step) {
    const auto at = std::find(kPageOrder.begin(), kPageOrder.end(), id);
    const auto index = at - kPageOrder.begin() + step;
    if (at == kPageOrder.end() || index < 0 || index >= kWizardPages)
        return id;
    return kPageOrder[static_cast<std::size_t>(index)];
}

template <typename Page>
void AddPage(std::vector<std::unique_ptr<MediaWizardPage>>& pages, MediaWizardFlow& flow) {
    pages.push_back(std::make_unique<Page>(flow));
}

}  // namespace

const std::array<int, kWizardPages>& PagesByNumber() {
    return kByNumber;
}

int PageNumber(int id) {
    const auto at = std::find(kByNumber.begin(), kByNumber.end(), id);
    return at == kByNumber.end() ? 0 : static_cast<int>(at - kByNumber.begin()) + 1;
}

MediaWizardPage::MediaWizardPage(MediaWizardFlow& flow, int id)
    : PageModel("Print Quality Wizard - " + std::to_string(PageNumber(id))), flow_(flow), id_(id) {}

MediaWizardFlow::MediaWizardFlow(WizardLink& link, Prompt& prompt, int model, bool metric)
    : link_(link), prompt_(prompt), model_(model), metric_(metric) {
    char name[PROP_NAME_SIZE] = "";
    propGetPrinterStr(model, name);
    modelName_ = name;
    AddPage<CMediaWizardPage1>(pages_, *this);
    AddPage<CMediaWizardPage2>(pages_, *this);
    AddPage<CMediaWizardPage3>(pages_, *this);
    AddPage<CMediaWizardPage4>(pages_, *this);
    AddPage<CMediaWizardPage5>(pages_, *this);
    AddPage<CMediaWizardPage6>(pages_, *this);
    AddPage<CMediaWizardPage7>(pages_, *this);
    AddPage<CMediaWizardPage8>(pages_, *this);
    AddPage<CMediaWizardPage9>(pages_, *this);
    AddPage<CMediaWizardPage10>(pages_, *this);
    AddPage<CMediaWizardPage11>(pages_, *this);
    AddPage<CMediaWizardPage12>(pages_, *this);
    AddPage<CMediaWizardPage13>(pages_, *this);
    AddPage<CMediaWizardPage14>(pages_, *this);
    AddPage<CMediaWizardPage15>(pages_, *this);
    AddPage<CMediaWizardPage16>(pages_, *this);
    AddPage<CMediaWizardPage17>(pages_, *this);
    AddPage<CMediaWizardPage18>(pages_, *this);
}

MediaWizardFlow::~MediaWizardFlow() = default;

std::size_t MediaWizardFlow::Index(int id) {
    const int number = PageNumber(id);
    if (number == 0)
        std::abort();  // a page the wizard does not have: a programming error
    return static_cast<std::size_t>(number - 1);
}

bool MediaWizardFlow::Offered(int model) {
    for (const MediaRecord& r : MediaRecords()) {
        if (MediaValid(r.number, model))
            return true;
    }
    return false;
}

bool MediaWizardFlow::Start() {
    if (!Offered(model_)) {
        prompt_.Tell("Notice", Format(kNotServed, modelName_.c_str()), PromptIcon::Information);
        return false;
    }
    const auto held = link_.ready() ? link_.Read() : std::nullopt;
    if (!held) {
        prompt_.Tell("Error", kUnreadable + link_.errorText(), PromptIcon::Stop);
        return false;
    }
    state_ = WizardState{};
    state_.speed = held->speed;
    state_.mediaType = held->mediaType;
    state_.darkness = held->darkness;
    history_.clear();
    Show(kIntroPage);
    return true;
}

void MediaWizardFlow::Show(int id) {
    current_ = id;
    page(id).Load();
}

void MediaWizardFlow::Open(int id) {
    if (PageNumber(id) != 0)
        Show(id);
}

bool MediaWizardFlow::Next() {
    const int target = page().Next();
    if (target == 0)
        return false;
    Show(target);
    return true;
}

int MediaWizardFlow::BackTarget() const {
    const bool transfer = state_.mediaType == kThermalTransfer;
    switch (current_) {
        case kMediaPage:
            return state_.customFormat ? kFormatPage : kIntroPage;
        case kBackSwitchPage:
        case kFrontSwitchPage:
            return kMediaPage;
        case kSeriesPage:
            return transfer ? kClassPage : kKnownPage;
        case kClassPage:
            return kRibbonPage;
        case kMediaSetPage:
        case kKnownPage:
        case kMediaNumberPage:
        case kCandidatesPage:
            return 0;  // the history
        default:
            return Neighbour(current_, -1);
    }
}

void MediaWizardFlow::Back() {
    if (!canGoBack())
        return;
    const int target = BackTarget();
    Show(target != 0 ? target : Pop());
}

void MediaWizardFlow::Push(int id) {
    // A page that comes round again cuts the history back to where it was first left.
    const auto seen = std::find(history_.begin(), history_.end(), id);
    history_.erase(seen, history_.end());
    history_.push_back(id);
}

int MediaWizardFlow::Pop() {
    if (history_.empty())
        return kIntroPage;
    const int id = history_.back();
    history_.pop_back();
    return id;
}

bool MediaWizardFlow::Write(std::initializer_list<std::pair<int, int>> values) {
    const int rc = link_.Write(values);
    if (rc != 0) {
        prompt_.Tell("Error", "The printer did not take the new settings:\n" + link_.errorText(),
                     PromptIcon::Stop);
        return false;
    }
    state_.sentToPrinter = true;
    if (onPrinterValue) {
        for (const auto& [setting, value] : values)
            onPrinterValue(setting, value);
    }
    return true;
}

void MediaWizardFlow::OfferDarknessReset() {
    if (state_.darkness == 0)
        return;
    Question q;
    q.caption = "NOTICE!";
    q.text = Format(kDarknessQuestion, state_.darkness);
    q.buttons = PromptButtons::YesNo;
    q.icon = PromptIcon::Question;
    q.defaultAnswer = PromptAnswer::Yes;
    if (prompt_.Ask(q) == PromptAnswer::Yes && Write({{kDarknessValue, 0}}))
        state_.darkness = 0;
}

bool MediaWizardFlow::PrintLabels(const std::vector<int>& numbers, int count, int darkness) {
    QualityPrint print;
    print.count = count;
    print.darkness = darkness;
    print.mediaType = state_.mediaType;
    print.speed = state_.speed;
    print.metric = metric_;
    if (state_.customFormat) {
        print.location = state_.formatLocation;
    } else if (const auto free = link_.FreeFormat()) {
        print.location = *free;
    } else {
        prompt_.Tell("Error", kNoFreeFormat, PromptIcon::Stop);
        return false;
    }
    BusyScope busy(prompt_);
    for (int number : numbers) {
        if (interrupted && interrupted())
            return false;
        print.sensitivity = number;
        if (!link_.Print(print, state_.customFormat)) {
            prompt_.Tell("Error", kPrinterBusy, PromptIcon::Stop);
            return false;
        }
    }
    return true;
}

}  // namespace tarvo::app::lanmere

// The print quality wizard without widgets: its state, its pages and the way between them. The
// desktop program shows the current page in a stacked widget and the command line walks the
// pages in the terminal; both only call Next, Back and Finish here.
//
// Pages are named by their dialog numbers (112, 113, 209 .. 224). Next asks the current page
// where to go; Back follows fixed targets for some pages, the history for others and the page
// order for the rest. The history is cut back when a page comes round again, so looping through
// unsatisfying test prints never fills it.
#pragma once

#include <array>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "lanmere/media_table.h"
#include "lanmere/page_model.h"
#include "lanmere/wizard_link.h"
#include "shell/prompt.h"

namespace tarvo::app::lanmere {

enum PageId : int {
    kIntroPage = 112,
    kMediaPage = 113,
    kFormatPage = 209,
    kBackSwitchPage = 210,
    kMediaSetPage = 211,
    kFrontSwitchPage = 212,
    kKnownPage = 213,
    kMediaNumberPage = 214,
    kCandidatesPage = 215,
    kChoicePage = 216,
    kSummaryPage = 217,
    kSeriesPage = 218,
    kVerdictPage = 219,
    kReasonsPage = 220,
    kRibbonPage = 221,
    kCalculatedPage = 222,
    kClassPage = 223,
    kFinishPage = 224,
};

inline constexpr int kWizardPages = 18;

// The pages by their number 1..18 (page N at position N - 1).
const std::array<int, kWizardPages>& PagesByNumber();
// The number 1..18 of page `id`, 0 for an id that is no page.
int PageNumber(int id);

// How the sensitivity was found.
enum class EntryPath { Typed, DontKnow, Confirmed, FromRibbon, FromMediaNumber, NoMediaNumber };

enum MediaType { kDirectThermal = 0, kThermalTransfer = 1 };

struct WizardState {
    bool customFormat = false;
    int formatLocation = 0;
    std::vector<std::string> formats;  // the printer's formats, for the custom choice
    int speed = 0;
    int mediaType = kDirectThermal;
    int ribbonNumber = 0;  // class digit x 100 + fine digit
    int sensitivity = -1;  // the candidate; -1 unknown
    int darkness = 0;
    EntryPath entryPath = EntryPath::Typed;
    MediaClass mediaClass = MediaClass::Paper;
    bool sentToPrinter = false;
};

struct WizardResult {
    int sensitivity = 0;
    int darkness = 0;
};

class MediaWizardFlow;

// One page. Load builds its controls from the wizard's state; Next reads them.
class MediaWizardPage : public PageModel {
  public:
    MediaWizardPage(MediaWizardFlow& flow, int id);
    int id() const { return id_; }
    // The page to show next, or 0 to stay (after telling the operator why).
    virtual int Next() = 0;
    void Save() override {}

  protected:
    MediaWizardFlow& flow_;

  private:
    int id_;
};

class MediaWizardFlow {
  public:
    // `prompt` shows the wizard's questions and notices; `model` is the session's model.
    MediaWizardFlow(WizardLink& link, Prompt& prompt, int model, bool metric);
    ~MediaWizardFlow();

    // Whether the wizard serves `model` (no media suits DEFAULT).
    static bool Offered(int model);

    // Reads the printer and shows the first page. False, after telling the operator, when the
    // model is not served or the printer's configuration cannot be read: then nothing is sent.
    bool Start();

    int current() const { return current_; }
    MediaWizardPage& page() const { return *pages_.at(Index(current_)); }
    MediaWizardPage& page(int id) const { return *pages_.at(Index(id)); }
    bool canGoBack() const { return current_ != kIntroPage; }
    // The summary page ends the wizard with Finish.
    bool atEnd() const { return current_ == kSummaryPage; }

    // Shows page `id` directly, without any page's rule (pictures of the pages). An id that is
    // no page is ignored.
    void Open(int id);
    // Moves on as the current page says. True when another page is shown.
    bool Next();
    void Back();
    // The sensitivity and darkness chosen.
    WizardResult Finish() const { return {state_.sensitivity, state_.darkness}; }

    const std::vector<int>& history() const { return history_; }
    WizardState& state() { return state_; }
    const WizardState& state() const { return state_; }
    WizardLink& link() { return link_; }
    Prompt& prompt() { return prompt_; }
    int model() const { return model_; }
    const std::string& modelName() const { return modelName_; }
    bool metric() const { return metric_; }

    void Push(int id);
    int Pop();

    // Writes settings to the printer; tells the operator and answers false when that failed.
    bool Write(std::initializer_list<std::pair<int, int>> values);
    // Offers to reset a darkness other than 0 before a series of test labels.
    void OfferDarknessReset();
    // Prints `count` labels of each number with `darkness`; stops at the first failure (told)
    // or when interrupted. True when all were printed.
    bool PrintLabels(const std::vector<int>& numbers, int count, int darkness);

    // Told every setting the wizard wrote to the printer.
    std::function<void(int setting, int value)> onPrinterValue;
    // Asked between test labels: true stops the series.
    std::function<bool()> interrupted;

  private:
    static std::size_t Index(int id);
    int BackTarget() const;
    void Show(int id);

    WizardLink& link_;
    Prompt& prompt_;
    int model_;
    std::string modelName_;
    bool metric_;
    WizardState state_;
    std::vector<std::unique_ptr<MediaWizardPage>> pages_;
    std::vector<int> history_;
    int current_ = kIntroPage;
};

}  // namespace tarvo::app::lanmere

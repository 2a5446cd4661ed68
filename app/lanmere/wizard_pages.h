// The eighteen pages of the print quality wizard, CMediaWizardPageN being page N. Each builds
// its controls from the wizard's state when shown and decides on Next where the wizard goes.
#pragma once

#include <string>
#include <vector>

#include "lanmere/quality_wizard.h"

namespace tarvo::app::lanmere {

// Every page declares the same members; the pages with buttons also take their presses.
#define TARVO_WIZARD_PAGE(N, ID, EXTRA)                                                    \
    class CMediaWizardPage##N final : public MediaWizardPage {                             \
      public:                                                                              \
        explicit CMediaWizardPage##N(MediaWizardFlow& flow) : MediaWizardPage(flow, ID) {} \
        void Load() override;                                                              \
        int Next() override;                                                               \
        EXTRA                                                                              \
    }
#define TARVO_PRESSES \
  protected:          \
    void OnPress(const std::string& id) override;

TARVO_WIZARD_PAGE(1, kIntroPage, );                    // standard or custom format
TARVO_WIZARD_PAGE(2, kMediaPage, );                    // media type and print speed
TARVO_WIZARD_PAGE(3, kFormatPage, );                   // the operator's format
TARVO_WIZARD_PAGE(4, kBackSwitchPage, );               // the switch on the back
TARVO_WIZARD_PAGE(5, kMediaSetPage, );                 // the media type now set
TARVO_WIZARD_PAGE(6, kFrontSwitchPage, );              // the switch behind the front door
TARVO_WIZARD_PAGE(7, kKnownPage, );                    // the number, typed
TARVO_WIZARD_PAGE(8, kCandidatesPage, TARVO_PRESSES);  // candidates, a label each
TARVO_WIZARD_PAGE(9, kChoicePage, TARVO_PRESSES);      // one candidate, labels and darkness
TARVO_WIZARD_PAGE(10, kSummaryPage, TARVO_PRESSES);    // the result
TARVO_WIZARD_PAGE(11, kSeriesPage, TARVO_PRESSES);     // a label per series
TARVO_WIZARD_PAGE(12, kVerdictPage, );                 // the best label, or none good
TARVO_WIZARD_PAGE(13, kReasonsPage, );                 // why quality can be poor
TARVO_WIZARD_PAGE(14, kMediaNumberPage, );             // the media number
TARVO_WIZARD_PAGE(15, kRibbonPage, );                  // the ribbon number
TARVO_WIZARD_PAGE(16, kCalculatedPage, );              // the number calculated
TARVO_WIZARD_PAGE(17, kClassPage, );                   // paper, plastic or polyimide
TARVO_WIZARD_PAGE(18, kFinishPage, );                  // matte or gloss

#undef TARVO_PRESSES
#undef TARVO_WIZARD_PAGE

// The candidates pages 215 and 216 list for the wizard's state.
std::vector<int> CandidateNumbers(const WizardState& state, int model);
// The series page 218 lists for the media type: direct thermal series, or paper series for
// thermal transfer, each with a number that suits the model.
std::vector<int> ListedSeries(int mediaType, int model);

// Field helpers shared by the page files.
Field TextField(std::string id, std::string text);
Field RadioField(std::string id, std::string label, std::vector<std::string> choices, int selected);
Field EditField(std::string id, std::string label, int maxLength);
Field CheckField(std::string id, std::string label);
Field ButtonField(std::string id, std::string label);
// Digits only, `length` of them exactly; -1 otherwise.
int DigitsValue(const std::string& text, std::size_t length);
// Shows a warning captioned "WARNING!".
void Warn(MediaWizardFlow& flow, const std::string& text);

}  // namespace tarvo::app::lanmere

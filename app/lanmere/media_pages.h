// The Media Type sheet (media type, label stock, label length and width; sensitivity and
// darkness) and the Media Handling dialog (how a printed label leaves the printer, top of form,
// skip distance, rest adjustment, retract, reprint and hot/humid).
//
// Lengths are shown in the measurement mode's unit. A length is stored back only when its text
// was changed: its shown text rounds to 0.01, which does not always lead back to the same
// number of printer units. An entry outside the model's range is refused with a message naming
// the range.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "lanmere/lan_page.h"
#include "lanmere/quality_wizard.h"

namespace tarvo::app::lanmere {

class CMediaSetup final : public LanPage {
  public:
    explicit CMediaSetup(Desk& desk) : LanPage(desk, "Media Setup") {}

    void Load() override;
    std::string Validate() const override;
    void Save() override;

  private:
    LengthField length_{"length", 15, "Label Length", 0.125, {}};
    LengthField width_{"width", 31, "Label Width", 0, {}};
};

// Runs the print quality wizard modally; its result when it ended with Finish.
using QualityWizardRunner = std::function<std::optional<WizardResult>()>;

// Copies a setting the wizard wrote to the printer into the program's configuration, as the
// printer's value too: the next Send to Printer neither reverts it nor lists it as a change,
// and the configuration is not marked modified.
void KeepWizardValue(Desk& desk, int setting, int value);

class CMediaQuality final : public LanPage {
  public:
    CMediaQuality(Desk& desk, QualityWizardRunner wizard)
        : LanPage(desk, "Print Quality"), wizard_(std::move(wizard)) {}

    void Load() override;
    void Save() override;

  protected:
    void OnPress(const std::string& id) override;

  private:
    QualityWizardRunner wizard_;
    bool printerAnswered_ = false;  // when the page was loaded
};

class CMediaSheet final : public SheetModel {
  public:
    // `wizard` runs the print quality wizard (none: its button says it is not available).
    explicit CMediaSheet(Desk& desk, QualityWizardRunner wizard = {});
};

// Handling modes in the order of their buttons (value 16).
enum class Handling { Batch = 0, TearOff = 1, SelfStrip = 2, Cut = 3 };

// The page of the Media Handling dialog. It edits its own copy of the mode and skip distance:
// nothing reaches the configuration before OK.
class MediaHandlingPage final : public LanPage {
  public:
    explicit MediaHandlingPage(Desk& desk) : LanPage(desk, "Media Handling") {}

    void Load() override;
    std::string Validate() const override;
    void Save() override;

  protected:
    void OnEdit(const std::string& id) override;

  private:
    Handling mode() const { return static_cast<Handling>(field("mode").selected); }
    void applyMode();

    int skipCopy_ = 0;  // value 19 as the dialog's buttons see it
    LengthField top_{"top", 18, "Top of Form", 0, {}};
    LengthField skip_{"skip", 19, "End of print skip distance", 0, {}};
};

class CMediaHandlingDlg final : public SheetModel {
  public:
    explicit CMediaHandlingDlg(Desk& desk);
};

}  // namespace tarvo::app::lanmere

// The print quality wizard's own connection to the printer. The wizard works on the printer
// directly, apart from the program's configuration, through a kernel context of its own: one
// context for the whole process (contexts are never freed), pointed at the session's port and
// model at the start of each run.
//
// The link remembers what the printer holds of speed, media type, sensitivity and darkness, as
// last read or written, so that a test print gives the printer exactly those back.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "lanmere/quality_label.h"

namespace tarvo::app::lanmere {

// Settings 3, 11, 13 and 14 of the configuration.
enum QualityValue {
    kSpeedValue = 3,
    kMediaTypeValue = 11,
    kSensitivityValue = 13,
    kDarknessValue = 14
};

struct PrinterQuality {
    int speed = 0;
    int mediaType = 0;
    int sensitivity = 0;
    int darkness = 0;
};

// The process's wizard context (made on the first call); 0 when no context can be made.
int WizardContext();

class WizardLink {
  public:
    // Points the wizard context at the communication settings of `sessionCtx` and at `model`.
    WizardLink(int sessionCtx, int model);
    virtual ~WizardLink() = default;

    // Whether the wizard context exists.
    bool ready() const { return ctx_ != 0; }
    // The kernel's text for the context's last error.
    std::string errorText() const;

    // Reads the printer's configuration. nullopt when it could not be read (nothing else is
    // then known of the printer and nothing may be written).
    std::optional<PrinterQuality> Read();
    // What the printer holds, as last read or written.
    const PrinterQuality& held() const { return held_; }
    // Stores (setting, value) pairs of QualityValue settings and writes the configuration.
    // Returns the kernel's result; on success held() follows.
    int Write(std::initializer_list<std::pair<int, int>> values);

    // The formats the printer holds ("FRMT05  NAME"); nullopt when the listing failed.
    std::optional<std::vector<std::string>> Formats();
    // A format number a temporary test label may take: the proposed location when the printer's
    // listing, read now, shows it free, else the lowest free 1..99. nullopt when the model lists
    // no formats, the listing failed or every number is taken: then nothing is free for sure.
    std::optional<int> FreeFormat();
    // Prints `print`: the operator's format (custom) or the temporary test label at
    // print.location, then gives the printer held() back. Every message is checked; a failure
    // stops the print (leaving program mode and restoring are still tried). True when every
    // message was taken.
    bool Print(const QualityPrint& print, bool custom);

  private:
    bool send(const std::string& text);
    bool printStandard(const QualityPrint& print);

    int ctx_ = 0;
    int model_ = 0;
    PrinterQuality held_;
};

}  // namespace tarvo::app::lanmere

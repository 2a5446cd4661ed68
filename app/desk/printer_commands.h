// The commands that change which printer the program works with or what state it is in:
// Select Printer, Reset Printer with its poll, the measurement and start-up-guide switches, the
// unsaved-changes question at exit, and the About box's figures.
#pragma once

#include <functional>
#include <string>

#include "desk/desk.h"
#include "desk/startup.h"
#include "shell/printer_base.h"

namespace tarvo::app {

// Select Printer with the operator's choice from its dialog: `model` 0..40 and whether the
// current values are kept (values outside the new model's domain are replaced) or reset to the
// model's defaults. Cancelled when the attached printer is another model and the operator did
// not want to go on (nothing changed); Refused for a model outside 0..40.
OpResult SelectPrinter(Desk& desk, int model, bool keepSettings, const IdentifyHooks& hooks = {});

// After a Lanmere model was selected: when "DefaultEnabled" is not "OFF", writes the model's
// default line (COM1, 9600, Even, 7, 1, Standard) to the settings and reloads the kernel's and
// the session's copies; otherwise holds the stored rate to the model's rule (EnforceBaudRule).
// Returns true when a setting was rewritten.
bool ApplyCommunicationDefaults(Desk& desk);

// Replaces every value outside `model`'s domain: a range's value by its minimum, a list's by
// the model's default, except the two speeds (values 3 and 40, on the ladder 20, 25 .. 120),
// which become the highest allowed speed not above them, and value 6, which keeps its minimum.
// The emulation (value 2) is checked in the kernel's order, as the model's mask states it. Returns
// how many were replaced.
int KeepValuesInDomain(Desk& desk, int model);

// After PCUResetPrinter has been sent, asks once a second whether the printer is back.
class ResetPoll {
  public:
    enum class State { Waiting, Back, GaveUp };
    static constexpr int kTickMs = 1000;
    static constexpr int kLimitMs = 60000;

    explicit ResetPoll(Desk& desk) : desk_(desk) {}

    // One timer tick: asks the printer; once it answers, waits for it to settle, reloads its
    // configuration and objects and tells the operator. After kLimitMs of ticks without an
    // answer tells "Could not connect to printer after reset." and gives up. A finished poll
    // ignores further ticks.
    State Tick();
    State state() const { return state_; }

  private:
    Desk& desk_;
    State state_ = State::Waiting;
    int elapsedMs_ = 0;
};

// Sends the reset to a Lanmere printer. False, with string 61327 shown, when it could not be
// sent; the caller then has nothing to wait for.
bool SendReset(Desk& desk);

// Reset Printer after the operator confirmed: sends the reset and, when it went out, polls
// (waiting between ticks through the kernel's clock) until the printer is back or 60 s passed.
// Done when the printer came back; Failed with string 61327 shown when the reset could not be
// sent; NoAnswer after the poll gave up. A Brakenholm printer restores its factory setup
// through its printer object instead (NotSupported for a generation that keeps none), and the
// operator is told the outcome.
OpResult ResetPrinter(Desk& desk);

// Print Report with the sections the operator ticked (PCU_REPORT_* bits): to the default print
// queue, or with `toFile` to a log file chosen in the save dialog. The kernel tells its own
// failures. Done when the report went out; Cancelled when the operator cancelled the save
// dialog or the printing; Failed otherwise; NotSupported for a Brakenholm printer here.
OpResult PrintReport(Desk& desk, int sections, bool toFile);

// The measurement switch: metric flag and "Measurements".
void SetMeasurements(Desk& desk, bool metric);

// The start-up guide switch: inverts the flag and stores "ViewStartup". Returns the new flag.
bool ToggleStartupGuide(Desk& desk);

// The unsaved-changes question at exit.
enum class ExitChoice { SaveToFile, SendToPrinter, ExitOnly, Cancel };
using ExitDialog = std::function<ExitChoice()>;

// Whether the program may close: true when nothing is modified, after Exit Only, or after a
// Save to File or Send to Printer that completed. The default dialog asks through the prompt
// (Yes: save to file, No: exit only, Cancel); the desktop program passes its four-button one.
bool MayClose(Desk& desk, const ExitDialog& dialog = {});

struct AboutFigures {
    std::string memory;     // "%lu KB" of total physical memory, or "Unavailable"
    std::string freeSpace;  // "%lu KB Free on <mount point>", or "Unavailable"
};

// The About box's figures for the current directory's file system.
AboutFigures ReadAboutFigures();

}  // namespace tarvo::app

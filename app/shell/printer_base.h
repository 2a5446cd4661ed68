// The current printer as the session sees it, whatever its family.
//
// A Lanmere printer is configured through the kernel's framed functions, so for it the session
// keeps this family-neutral object, whose operations report "not supported". A Brakenholm
// printer is configured by the program itself in Tallyscript lines; for it the session keeps a
// CBrakPrinter (brakenholm/brak_printer.h), whose operations do the work.
//
// A command asks IsScriptFamily() (or uses AsBrakPrinter) first and takes the kernel's road
// otherwise; one that reaches a neutral operation by mistake gets a refusal, never a success
// that did nothing.
#pragma once

#include <optional>
#include <string>

#include "shell/search_observer.h"

namespace tarvo::app {

enum class OpStatus {
    Done,
    Cancelled,     // the operator said no
    NotSupported,  // the printer has no such operation (generation-1 defaults, for one)
    Refused,       // the input was not acceptable; nothing was sent or written
    Failed,        // the port, a write or a file failed
    NoAnswer,      // the printer did not answer
};

struct OpResult {
    OpStatus status = OpStatus::Done;
    // The name of the first setting that failed or was refused, when the operation sends
    // settings.
    std::optional<std::string> setting;
    // What went wrong, for the operator (empty when the status says enough).
    std::string detail;

    bool ok() const { return status == OpStatus::Done; }
};

// "done", "cancelled", "not supported", ...
const char* StatusName(OpStatus status);

// One line for the operator: the status, the setting and the detail.
std::string Describe(const OpResult& result);

class CPrinterBase {
  public:
    // `printerHandle` is the session's kernel context, passed to every port the printer opens.
    explicit CPrinterBase(int printerHandle) : printerHandle_(printerHandle) {}
    virtual ~CPrinterBase() = default;
    CPrinterBase(const CPrinterBase&) = delete;
    CPrinterBase& operator=(const CPrinterBase&) = delete;

    int PrinterHandle() const { return printerHandle_; }

    // Whether the printer speaks Tallyscript (and this object does the work).
    virtual bool IsScriptFamily() const { return false; }

    // Reads the printer's identification, setup, clock and memory.
    virtual OpResult ReadPrinterIdentity() { return NotForThisFamily(); }
    // Sends the whole setup record; the result names the first setting that failed.
    virtual OpResult SendAllSetup() { return NotForThisFamily(); }
    // Brings the printer back to its factory setup (NotSupported where it cannot).
    virtual OpResult RestoreSetupDefaults() { return NotForThisFamily(); }
    // Saves the setup record to a file the operator chooses, or loads it from one.
    virtual OpResult SaveSetupFile() { return NotForThisFamily(); }
    virtual OpResult LoadSetupFile() { return NotForThisFamily(); }
    virtual OpResult Reboot() { return NotForThisFamily(); }
    // Finds the line settings of the printer on the session's port.
    virtual OpResult SearchPrinter(SearchObserver& /*observer*/) { return NotForThisFamily(); }

  private:
    static OpResult NotForThisFamily() {
        return {OpStatus::NotSupported, std::nullopt,
                "a Lanmere printer is configured through the kernel, not this operation"};
    }

    int printerHandle_;
};

}  // namespace tarvo::app

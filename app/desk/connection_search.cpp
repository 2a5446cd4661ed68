#include "desk/connection_search.h"

#include <memory>

#include "brakenholm/brak_model.h"
#include "brakenholm/brak_printer.h"
#include "shell/app_session.h"
#include "shell/printer_base.h"
#include "tarvo/identify.h"

namespace tarvo::app {
namespace {

std::string Number(int n) {
    return std::to_string(static_cast<unsigned>(n));
}

std::string TrialPortName(int port) {
    switch (port) {
        case PCU_PORT_COM1:
            return "COM1";
        case PCU_PORT_COM2:
            return "COM2";
        case PCU_PORT_COM3:
            return "COM3";
        case PCU_PORT_COM4:
            return "COM4";
        case PCU_PORT_LPT2:
            return "LPT2";
        case PCU_PORT_LPT3:
            return "LPT3";
        default:
            return "LPT1";
    }
}

std::string ParityName(int parity) {
    switch (parity) {
        case PCU_PARITY_ODD:
            return "ODD";
        case PCU_PARITY_NONE:
            return "NONE";
        case PCU_PARITY_MARK:
            return "MARK";
        case PCU_PARITY_SPACE:
            return "SPACE";
        default:
            return "EVEN";
    }
}

std::string ProtocolName(int protocol) {
    switch (protocol) {
        case PCU_PROTOCOL_XONXOFF:
            return "XON/XOFF";
        case PCU_PROTOCOL_RTSCTS:
            return "RTS/CTS";
        case PCU_PROTOCOL_PARALLEL:
            return "PARALLEL";
        default:
            return "STANDARD";
    }
}

}  // namespace

const ProblemDialogText& ProblemDialogTexts() {
    static const ProblemDialogText text{
        "Tarvo",
        "PRINTER COMMUNICATION PROBLEM",
        "Check for one of the following conditions:",
        {"Printer is not turned on or improper cable connection is being used (after fixing the "
         "problem, select the RETRY button).",
         "Printer communication settings don't match those in Tarvo (check the Port Settings tab "
         "in the Communication Setup dialog box or select the AUTOCONNECT button).",
         "Quorvane printer is not attached to selected COM port (another device, such as a "
         "modem, may be connected).",
         "Another software application (e.g. a driver or communications package) has exclusive "
         "use of the selected COM port."}};
    return text;
}

const GroupDialogText& GroupDialogTexts() {
    static const GroupDialogText text{
        "Autoconnect - Select Printer",
        "Select the group your printer model is in:",
        {"Lanmere-family printers (5200, 5600, 6000, 6200, 9221, QEL models)",
         "Brakenholm-family printers", "Don't know"}};
    return text;
}

unsigned GroupSearchMessage(PrinterGroup group) {
    switch (group) {
        case PrinterGroup::Lanmere:
            return kMsgSearchLanmere;
        case PrinterGroup::Brakenholm:
            return kMsgSearchBrakenholm;
        case PrinterGroup::DontKnow:
            break;
    }
    return kMsgSearchBoth;
}

TrialFields DescribeTrial(const commState& trial, bool parallel) {
    TrialFields f;
    f.port = TrialPortName(trial.port);
    f.baud = trial.baud != 0 ? Number(trial.baud) : std::string();
    f.protocol = ProtocolName(trial.protocol);
    if (parallel) {
        f.baudEnabled = trial.baud != 0;
        f.serialFieldsEnabled = false;
        return f;
    }
    f.parity = ParityName(trial.parity);
    f.dataBits = Number(trial.dataBits);
    f.stopBits = Number(trial.stopBits);
    return f;
}

SearchWindowText SearchResetText() {
    return {"Testing Printer Connection", "Cancel", true, {"", "", ""}};
}

SearchWindowText SearchSuccessText() {
    return {
        "Connection successful!",
        "OK",
        false,
        {"Communications settings can", "be modified by selecting the", "PORTS toolbar button."}};
}

SearchWindowText SearchFailureText() {
    return {"Connection attempt unsuccessful!",
            "Cancel",
            true,
            {"Communications could not be", "established with the attached", "printer."}};
}

void SearchWindowModel::Reset() {
    text_ = SearchResetText();
    fields_ = TrialFields{};
    running_ = false;
    cancelRequested_ = false;
    closeRequested_ = false;
    Changed();
}

void SearchWindowModel::Trial(const commState& trial) {
    running_ = true;
    fields_ = DescribeTrial(trial, trial.port >= PCU_PORT_LPT1);
    Changed();
}

void SearchWindowModel::Found(const commState& found) {
    running_ = false;
    fields_ = DescribeTrial(found, found.port >= PCU_PORT_LPT1);
    flags_.autoConnectSucceeded = true;
    flags_.identified = true;
    text_ = SearchSuccessText();
    closeRequested_ = true;
    Changed();
}

void SearchWindowModel::NotFound() {
    running_ = false;
    text_ = SearchFailureText();
    Changed();
}

void SearchWindowModel::PressButton() {
    if (running_) {
        cancelRequested_ = true;
        flags_.giveUp = true;
    } else if (!flags_.autoConnectSucceeded) {
        flags_.giveUp = true;
    }
    closeRequested_ = true;
    Changed();
}

void SearchWindowModel::Changed() {
    if (onChange)
        onChange();
}

namespace {

// Puts the session's previous printer object back unless the search found a printer: the
// object is exchanged for the family searched, and a failed search must not leave an object of
// one family under a model of the other.
class PrinterExchange {
  public:
    PrinterExchange(AppSession& session, std::unique_ptr<CPrinterBase> searching)
        : session_(session), previous_(std::move(session.printer)) {
        session_.printer = std::move(searching);
    }
    ~PrinterExchange() {
        if (!found_)
            session_.printer = std::move(previous_);
    }
    PrinterExchange(const PrinterExchange&) = delete;
    PrinterExchange& operator=(const PrinterExchange&) = delete;

    bool Keep(bool found) {
        found_ = found;
        return found;
    }

  private:
    AppSession& session_;
    std::unique_ptr<CPrinterBase> previous_;
    bool found_ = false;
};

}  // namespace

bool RunLanmereSearch(Desk& desk, SearchWindowModel& window) {
    window.Reset();
    AppSession& session = desk.session;
    PrinterExchange exchange(session, std::make_unique<CPrinterBase>(session.kernelHandle));
    const PCUNotify notify = MakeKernelNotify(window);
    const int found = PCUAutoConnect(session.kernelHandle, &notify);
    // A search that ended because the operator cancelled reports nothing; the window must not
    // go on looking busy.
    if (found != 1 && window.running())
        window.NotFound();
    ReadSettings(session, desk.prompt);
    return exchange.Keep(found == 1);
}

bool RunBrakenholmSearch(Desk& desk, SearchWindowModel& window) {
    window.Reset();
    AppSession& session = desk.session;
    const bool brakenholmModel =
        session.model >= kFirstBrakModel && session.model <= kLastBrakModel;
    PrinterExchange exchange(
        session,
        MakePrinter(session, desk.prompt, brakenholmModel ? session.model : kFirstBrakModel));
    const OpResult r = session.printer->SearchPrinter(window);
    if (window.running())
        window.NotFound();
    return exchange.Keep(r.ok() && session.flags.autoConnectSucceeded);
}

bool RunGroupSearch(Desk& desk, SearchWindowModel& window, PrinterGroup group) {
    SessionFlags& flags = desk.session.flags;
    switch (group) {
        case PrinterGroup::Lanmere:
            return RunLanmereSearch(desk, window);
        case PrinterGroup::Brakenholm:
            return RunBrakenholmSearch(desk, window);
        case PrinterGroup::DontKnow:
            break;
    }
    flags.searchStopped = false;
    if (RunBrakenholmSearch(desk, window))
        return true;
    if (flags.autoConnectSucceeded || flags.giveUp || flags.searchStopped)
        return false;
    return RunLanmereSearch(desk, window);
}

}  // namespace tarvo::app

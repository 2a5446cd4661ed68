// The Port Settings page of the Communications Setup sheet, and the sheet.
#include <unistd.h>

#include <array>
#include <cerrno>

#include "desk/config_values.h"
#include "desk/startup.h"
#include "lanmere/com_pages.h"
#include "shell/settings.h"
#include "tarvo/base/model_capabilities.h"
#include "tarvo/base/port_names.h"
#include "tarvo/context.h"
#include "tarvo/session.h"

namespace tarvo::app::lanmere {
namespace {

enum PortValue { kPinA = 36, kPinB = 37, kParallelMode = 39 };

constexpr std::array kLadder = {110, 300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
// Radio positions and what they stand for.
constexpr std::array kParities = {PCU_PARITY_EVEN, PCU_PARITY_ODD, PCU_PARITY_NONE};
constexpr std::array kProtocols = {PCU_PROTOCOL_XONXOFF, PCU_PROTOCOL_STANDARD};
constexpr const char* kLineFields[] = {"rate", "parity", "data", "stop", "protocol"};
constexpr const char* kAskUpdate =
    "Update printer with new communication parameters now?\n\nTarvo and the printer must use "
    "the same communication settings.";

template <typename Array>
int PositionIn(const Array& values, int value) {
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (values[i] == value)
            return static_cast<int>(i);
    }
    return -1;
}

const SerialLine kDefaultLine{9600, PCU_PARITY_EVEN, 7, 1, PCU_PROTOCOL_STANDARD};

}  // namespace

int CComPortSetting::port() const {
    const int at = field("port").selected;
    return at >= 0 ? ports_[static_cast<std::size_t>(at)] : PCU_PORT_COM1;
}

SerialLine CComPortSetting::chosenLine() const {
    const auto pick = [this](const char* id) { return field(id).selected; };
    SerialLine line;
    line.baud = pick("rate") >= 0 ? rates_[static_cast<std::size_t>(pick("rate"))] : 0;
    line.parity = pick("parity") >= 0 ? kParities[static_cast<std::size_t>(pick("parity"))] : -1;
    line.dataBits = 7 + pick("data");
    line.stopBits = 1 + pick("stop");
    line.protocol =
        pick("protocol") >= 0 ? kProtocols[static_cast<std::size_t>(pick("protocol"))] : -1;
    return line;
}

void CComPortSetting::Load() {
    Reset();
    const AppSession& s = desk_.session;
    AddChoice("mode", Control::Radios, "", {"&Manual", "Set to &Printer Default"}, "Mode")
        .selected = ReadSetting(setting::kDefaultEnabled, "OFF") == "ON" ? 1 : 0;
    ports_.clear();
    std::vector<std::string> names;
    for (int p = PCU_PORT_COM1; p <= PCU_PORT_LPT3; ++p) {
        if (p < PCU_PORT_LPT1 || CapabilitiesOf(model()).offersParallelPort) {
            ports_.push_back(p);
            names.push_back(tarvo::PortName(p));
        }
    }
    const int stored = PositionIn(ports_, s.port);
    AddChoice("port", Control::DropList, "Port Connection:", names).selected = std::max(stored, 0);
    AddChoice("device", Control::Combo, "Device:", {});
    showDevice();
    rates_.clear();
    std::vector<std::string> rates;
    for (const int rate : kLadder) {
        if (BaudAllowed(rate, model())) {
            rates_.push_back(rate);
            rates.push_back(std::to_string(rate));
        }
    }
    AddChoice("rate", Control::DropList, "Bits per second:", rates).selected =
        PositionIn(rates_, s.baud);
    AddChoice("parity", Control::Radios, "", {"E&ven", "O&dd", "&None"}, "Parity").selected =
        PositionIn(kParities, s.parity);
    AddChoice("data", Control::Radios, "", {"&7", "&8"}, "Data Bits").selected = s.dataBits - 7;
    AddChoice("stop", Control::Radios, "", {"&1", "&2"}, "Stop Bits").selected = s.stopBits - 1;
    AddChoice("protocol", Control::Radios, "", {"&XON/XOFF", "&Standard"}, "Protocol").selected =
        s.standardProtocol() ? 1 : 0;
    const bool ownNames = CapabilitiesOf(model()).hasParallelMode;
    const std::vector<std::string> pinChoices = {"Default", "Always high", "Ready/Busy"};
    for (const auto& [id, index, label] :
         {std::tuple{"pinA", kPinA, ownNames ? "Pin 9:" : "Pin 11:"},
          std::tuple{"pinB", kPinB, ownNames ? "Pin 6:" : "Pin 20:"}}) {
        Field& pin = AddChoice(id, Control::DropList, label, pinChoices, "Cable Protocol");
        const int v = value(index);
        pin.selected = v >= 0 && v <= 2 ? v : -1;
        pin.enabled = supported(kPinA);
    }
    Field& parallel =
        AddChoice("parallel", Control::Radios, "", {"&Centronic", "I&EEE 1284"}, "Parallel Mode");
    parallel.visible = ownNames;
    parallel.selected =
        value(kParallelMode) == 0 || value(kParallelMode) == 1 ? value(kParallelMode) : -1;
    // Some printers need every prescribed wait in full before they answer.
    Add({.id = "prescribed",
         .control = Control::Check,
         .label = "Keep the prescribed &waits (for printers that answer late)",
         .group = "Timing",
         .value = ReadSetting(setting::kTiming, "Adaptive") == "Prescribed" ? 1 : 0});
    applyEnabled();
}

// Puts the model's default line into the controls (the port stays a serial one: COM1).
void CComPortSetting::applyDefaultLine() {
    at("port").selected = PositionIn(ports_, PCU_PORT_COM1);
    showDevice();
    at("rate").selected = PositionIn(rates_, kDefaultLine.baud);
    at("parity").selected = PositionIn(kParities, kDefaultLine.parity);
    at("data").selected = kDefaultLine.dataBits - 7;
    at("stop").selected = kDefaultLine.stopBits - 1;
    at("protocol").selected = PositionIn(kProtocols, kDefaultLine.protocol);
}

std::string CComPortSetting::storedDevice() const {
    return ReadSetting(PortDeviceKey(port()), DefaultPortDevice(port()));
}

// The device the chosen port maps to, and the devices of its kind this machine has.
void CComPortSetting::showDevice() {
    Field& device = at("device");
    device.text = storedDevice();
    device.choices = port() >= PCU_PORT_LPT1 ? ParallelDevicesFound() : SerialDevicesFound();
}

void CComPortSetting::applyEnabled() {
    const bool byDefault = field("mode").selected == 1;
    at("port").enabled = !byDefault;
    at("device").enabled = !byDefault;
    applyPortKind();
}

void CComPortSetting::applyPortKind() {
    const bool serial = port() < PCU_PORT_LPT1 && field("mode").selected != 1;
    for (const char* id : kLineFields)
        at(id).enabled = serial;
}

void CComPortSetting::OnEdit(const std::string& id) {
    if (id == "mode") {
        if (field("mode").selected == 1)
            applyDefaultLine();
        applyEnabled();
    } else if (id == "port") {
        showDevice();
        applyPortKind();
    } else if (id == "parallel" && field("parallel").selected == 0) {
        desk_.prompt.Tell("Notice",
                          "Centronic communication is uni-directional only.\nIf you set your "
                          "port to LPT, Tarvo will no longer\nbe able to talk to your printer.",
                          PromptIcon::Information);
    }
}

std::string CComPortSetting::Validate() const {
    const std::string& device = field("device").text;
    if (device.empty())
        return "Device: name the device " + tarvo::PortName(port()) + " stands for.";
    if (::access(device.c_str(), R_OK | W_OK) != 0 && errno == EACCES) {
        return "Tarvo may not open " + device +
               ". Add your user to the dialout group (sudo adduser $USER dialout), then log in "
               "again.";
    }
    if (port() < PCU_PORT_LPT1) {
        for (const char* id : kLineFields) {
            if (field(id).selected < 0)
                return std::string("Choose the ") + id + " of the line.";
        }
    }
    return {};
}

void CComPortSetting::Save() {
    if (!modified())
        return;  // an unchanged page moves nothing
    if (field("prescribed").edited)
        WriteSetting(setting::kTiming, field("prescribed").value != 0 ? "Prescribed" : "Adaptive");
    bool lineEdited = false;
    for (const char* id : {"mode", "port", "device", "rate", "parity", "data", "stop", "protocol",
                           "pinA", "pinB", "parallel"})
        lineEdited = lineEdited || field(id).edited;
    if (!lineEdited)
        return;  // the timing alone moves no line
    AppSession& s = desk_.session;
    if (CapabilitiesOf(model()).takesNoSevenBitsWithoutParity && field("parity").selected == 2 &&
        field("data").selected == 0) {
        desk_.prompt.Tell("Warning",
                          "7 databits with no parity is not a valid setting\nfor either the 9221, "
                          "RK17 or 5200. The setting has been \nchanged to 8 data bits to match "
                          "the printer.\n\n[NOTE: The 5200 changes external dip switch settings\n"
                          "of 7 and NONE to 8 and NONE internally.]",
                          PromptIcon::Exclamation);
        at("data").selected = 1;
    }
    // Another port or device may have another printer behind it.
    bool elsewhere = port() != s.port || field("device").text != storedDevice();
    WriteSetting(setting::kPort, tarvo::PortName(port()));
    WriteSetting(PortDeviceKey(port()), field("device").text);
    if (CapabilitiesOf(model()).hasParallelMode && field("parallel").selected >= 0 &&
        field("parallel").selected != value(kParallelMode)) {
        store(kParallelMode, field("parallel").selected);
        desk_.prompt.Tell("Notice",
                          "The parallel mode reaches the printer with the next Send to Printer.",
                          PromptIcon::Information);
    }
    for (const auto& [id, index] : {std::pair{"pinA", kPinA}, std::pair{"pinB", kPinB}}) {
        if (field(id).enabled && field(id).edited && field(id).selected >= 0)
            store(index, field(id).selected);
    }
    WriteSetting(setting::kDefaultEnabled, field("mode").selected == 1 ? "ON" : "OFF");
    const bool parallel = port() >= PCU_PORT_LPT1;
    if (parallel) {
        WriteSetting(setting::kProtocol, "XON/XOFF");
    } else if (elsewhere) {
        StoreSerialLine(chosenLine());  // no printer on the new port is known to move
    } else if (!(chosenLine() == SerialLineOf(CurrentComm()))) {
        elsewhere = moveLine(chosenLine());
    }
    PCUInitCommParm(desk_.ctx());
    ReadSettings(s, desk_.prompt);
    // A parallel port is written to only: nothing there can say who it is.
    if (elsewhere && !parallel)
        IdentifyAfterLineChange(desk_);
}

commState CComPortSetting::CurrentComm() const {
    commState comm{};
    PCUGetCommState(desk_.ctx(), &comm);
    return comm;
}

bool CComPortSetting::moveLine(const SerialLine& wanted) {
    if (PCUPing(desk_.ctx()) != 1) {
        // Nothing answers to move along: the operator names the line the printer is set to.
        StoreSerialLine(wanted);
        return true;
    }
    const Question ask{"Notice", kAskUpdate, PromptButtons::YesNo, PromptIcon::Question,
                       PromptAnswer::Yes};
    if (desk_.prompt.Ask(ask) != PromptAnswer::Yes)
        return false;
    const commState from = CurrentComm();
    BusyScope busy(desk_.prompt);
    LineMoveHooks hooks;
    hooks.progress = [this](const std::string& text) { desk_.prompt.SetStatus(text); };
    const int pinA = supported(kPinA) ? value(kPinA) : 0;
    const int pinB = supported(kPinB) ? value(kPinB) : 0;
    const LineMoveResult r = MoveLine(desk_.ctx(), wanted, pinA, pinB, hooks);
    commState to = from;
    to.baud = wanted.baud;
    to.parity = wanted.parity;
    to.dataBits = wanted.dataBits;
    to.stopBits = wanted.stopBits;
    to.protocol = wanted.protocol;
    switch (r.outcome) {
        case LineMove::Moved:
        case LineMove::Unchanged:
            desk_.prompt.SetStatus("The printer answers on " + DescribeLine(to));
            return r.outcome == LineMove::Moved;
        case LineMove::Refused:
        case LineMove::Failed:
            desk_.prompt.Tell("Warning", r.detail, PromptIcon::Stop);
            return false;
        case LineMove::NoAnswer:
        case LineMove::Cancelled:
            break;
    }
    desk_.prompt.Tell("Warning",
                      "The printer did not answer on " + DescribeLine(to) +
                          ". Tarvo went back to " + DescribeLine(from) +
                          (r.oldLineAnswers ? ", where the printer still answers."
                                            : ", where the printer does not answer either."),
                      PromptIcon::Stop);
    return false;
}

CComSheet::CComSheet(Desk& desk) : SheetModel("Communications Setup") {
    AddPage<CComPrinter>(desk);
    AddPage<CComPortSetting>(desk);
}

}  // namespace tarvo::app::lanmere

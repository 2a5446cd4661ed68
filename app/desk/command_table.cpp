#include "desk/command_table.h"

#include <array>

#include "brakenholm/brak_printer.h"
#include "tarvo/base/model_capabilities.h"
#include "tarvo/base/model_tables.h"

namespace tarvo::app {
namespace {

using C = CommandId;

// clang-format off
constexpr std::array<CommandInfo, 29> kCommands = {{
    {C::Open, "File > Open...", "Open a configuration file\nOpen Cfg File"},
    {C::SaveAs, "File > Save As...", "Save the current configuration to file\nSave Cfg File"},
    {C::PrintReport, "File > Print Report...", ""},
    {C::Exit, "File > Exit", "Quit the application; prompts to save configurations\nExit"},
    {C::MainToolbar, "View > Main Toolbar", ""},
    {C::StartupGuide, "View > Startup Guide", ""},
    {C::Metric, "View > Measurements > Metric", ""},
    {C::UsUnits, "View > Measurements > U.S.", ""},
    {C::LoadFromPrinter, "DataXfer > Load from Printer",
     "Load configuration settings from current printer\nLoad Cfg from Printer"},
    {C::SendToPrinter, "DataXfer > Send to Printer...",
     "Send configuration and font/graphic/format selections to printer\nSend Cfg to Printer"},
    {C::UndoLastSend, "DataXfer > Undo Last Send...",
     "Send back the configuration the printer held before the last send\nUndo Last Send"},
    {C::ResetPrinter, "DataXfer > Reset Printer...",
     "Reset printer to factory default state\nReset Printer"},
    {C::ChangeFirmware, "DataXfer > Change Firmware (serial com. only)...",
     "Reconfigure printer firmware \nChange Firmware"},
    {C::PrinterConfig, "Configuration > Printer...",
     "Edit basic printer configuration settings\nPrinter Configuration"},
    {C::MediaType, "Configuration > Media Type...",
     "Edit settings related to printer media type selection\nMedia Type"},
    {C::MediaHandling, "Configuration > Media Handling...",
     "Edit settings related to printer media handling\nMedia Handling"},
    {C::Fonts, "Configuration > Fonts...", "Select and edit fonts for printing\nFonts"},
    {C::Graphics, "Configuration > Graphics...", "Select graphics for printing\nGraphics"},
    {C::CommandFile, "Configuration > Command File...",
     "Select command file to store in printer\nCommand File"},
    {C::SetToDefault, "Configuration > Set to Default",
     "Set Tarvo configuration settings to default state\nSet to Default"},
    {C::Reboot, "Configuration > Reboot", "Reboot printer\nReboot"},
    {C::TestPrint, "Services > Test Print...", "Select and print test labels\nTest Print"},
    {C::Diagnostics, "Services > Diagnostics...", "Perform printer test and service\nDiagnostics"},
    {C::SelectPrinter, "Services > Select Printer...",
     "Select the printer model to be used with Tarvo\nSelect Printer"},
    {C::SelectStartupProg, "Services > Select Startup Prog...", ""},
    {C::Communications, "Connect > Communications...",
     "Update communication settings\nCommunications Setup"},
    {C::AutoConnect, "Connect > AutoConnect...",
     "Automatically connect to an attached printer\nAuto connect"},
    {C::HelpTopics, "Help > Tarvo Topics...", "List Help topics\nHelp Topics"},
    {C::About, "Help > About...", "Display program information, version number and copyright\nAbout"},
}};
// clang-format on

constexpr int kQelPrintQualityTopic = 131184;

constexpr GuideButton kGuideButtons[] = {
    {"Get overview of Tarvo", 131200},
    {"Learn about the Button Commands", 10002},
    {"Learn about changing Printer Configuration Parameters", 10001},
    {"Learn about the Menu Commands", 10003},
    {"Learn about printing Test Labels", 10004},
    {"Learn about viewing Printer Configuration Parameters", 10005},
    {"Learn how to optimize print quality for QEL printers", kQelPrintQualityTopic},
};

bool IsScript(const AppSession& s) {
    return s.printer && s.printer->IsScriptFamily();
}

// The setup generation of a Brakenholm printer; -1 for any other.
int Generation(const AppSession& s) {
    const CBrakPrinter* brak = AsBrakPrinter(s.printer.get());
    return brak != nullptr ? brak->SetupGeneration() : -1;
}

bool FirmwareEnabled(const AppSession& s) {
    if (s.port < PCU_PORT_COM1 || s.port > PCU_PORT_COM4)
        return false;  // firmware goes over a serial line only
    if (CapabilitiesOf(s.model).firmwareRoad == FirmwareRoad::kNone)
        return false;
    // A script printer must answer before its firmware can be replaced; an escape-language one
    // may be waiting in its boot loader.
    return IsLanmereModel(s.model) || s.flags.online;
}

bool ResetEnabled(const AppSession& s) {
    if (!s.flags.identified || !s.flags.online)
        return false;
    if (!IsScript(s))
        return true;
    const int g = Generation(s);
    return g == 0 || g == 2 || g == 3;
}

}  // namespace

std::span<const CommandInfo> Commands() {
    return kCommands;
}

const CommandInfo* FindCommand(CommandId id) {
    for (const CommandInfo& c : kCommands) {
        if (c.id == id)
            return &c;
    }
    return nullptr;
}

std::string CommandPrompt(CommandId id) {
    const CommandInfo* c = FindCommand(id);
    if (c == nullptr)
        return {};
    const std::string text = c->strings;
    return text.substr(0, text.find('\n'));
}

std::string CommandToolTip(CommandId id) {
    const CommandInfo* c = FindCommand(id);
    if (c == nullptr)
        return {};
    const std::string text = c->strings;
    const auto nl = text.find('\n');
    return nl == std::string::npos ? std::string() : text.substr(nl + 1);
}

bool CommandEnabled(CommandId id, const AppSession& s) {
    switch (id) {
        case C::PrintReport:
        case C::TestPrint:
        case C::Diagnostics:
            return s.flags.online;
        case C::ResetPrinter:
            return ResetEnabled(s);
        case C::ChangeFirmware:
            return FirmwareEnabled(s);
        case C::MediaHandling:
        case C::CommandFile:
        case C::SetToDefault:
        case C::UndoLastSend:
            return !IsScript(s);
        case C::Reboot:
            return IsScript(s) && s.flags.online;
        case C::SelectStartupProg:
            // A generation-0 printer has no start-up program; an unread one is not offered.
            return IsScript(s) && s.flags.online && Generation(s) > 0;
        default:
            return FindCommand(id) != nullptr;
    }
}

bool CommandBuiltForFamily(CommandId id, const AppSession& s) {
    switch (id) {
        case C::Communications:
            return !IsScript(s);
        default:
            return FindCommand(id) != nullptr;
    }
}

std::optional<bool> CommandChecked(CommandId id, const AppSession& s, bool toolbarVisible) {
    switch (id) {
        case C::MainToolbar:
            return toolbarVisible;
        case C::StartupGuide:
            return s.startupGuide;
        case C::Metric:
            return s.metric;
        case C::UsUnits:
            return !s.metric;
        default:
            return std::nullopt;
    }
}

std::span<const GuideButton> GuideButtons() {
    return kGuideButtons;
}

bool GuideButtonShown(const GuideButton& button, const AppSession& s) {
    return button.topic != kQelPrintQualityTopic || !IsScript(s);
}

}  // namespace tarvo::app

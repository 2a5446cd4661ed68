// The main window's commands: their numbers, their texts, and the one place that decides
// whether each is enabled or checked. The desktop program asks CommandEnabled and
// CommandChecked whenever it updates a menu or the toolbar; nothing else decides it.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "shell/app_session.h"

namespace tarvo::app {

enum class CommandId : int {
    Open = 32861,
    SaveAs = 32772,
    PrintReport = 32831,
    Exit = 57665,
    MainToolbar = 32828,
    StartupGuide = 32866,
    Metric = 32864,
    UsUnits = 32865,
    LoadFromPrinter = 32786,
    SendToPrinter = 32787,
    UndoLastSend = 32900,
    ResetPrinter = 32832,
    ChangeFirmware = 32858,
    PrinterConfig = 32792,
    MediaType = 32815,
    MediaHandling = 32814,
    Fonts = 32795,
    Graphics = 32796,
    CommandFile = 32820,
    SetToDefault = 32833,
    Reboot = 32862,
    TestPrint = 32835,
    Diagnostics = 240,
    SelectPrinter = 32837,
    SelectStartupProg = 32860,
    Communications = 32834,
    AutoConnect = 32859,
    HelpTopics = 57667,
    About = 57664,
};

struct CommandInfo {
    CommandId id;
    const char* menu;     // "File > Open..."
    const char* strings;  // string-table text: "status prompt\ntool-tip", or "" for none
};

// Every command, in menu order. Static storage.
std::span<const CommandInfo> Commands();

// The entry of `id`, or nullptr for a number that is no command.
const CommandInfo* FindCommand(CommandId id);

// The status-bar prompt of `id`: its text before the first line break ("" when it has none).
std::string CommandPrompt(CommandId id);

// The toolbar tool-tip of `id`: its text after the first line break ("" when it has none).
std::string CommandToolTip(CommandId id);

// Whether `id` can be chosen now. Depends only on the session: its model and port, the
// identified and online flags, and the family and setup generation of the current printer.
bool CommandEnabled(CommandId id, const AppSession& session);

// Whether `id` has its road for the family of the session's printer. Communications is built for
// the Lanmere family only so far: for a Brakenholm printer its Lanmere road would send QEL to a
// printer that speaks Tallyscript, so the window says it is not available yet instead.
bool CommandBuiltForFamily(CommandId id, const AppSession& session);

// Whether `id` shows a check mark, or nullopt for a command that has none. The toolbar's
// visibility belongs to the window, so the caller passes it.
std::optional<bool> CommandChecked(CommandId id, const AppSession& session, bool toolbarVisible);

// One button of the start-up guide and the help topic it opens.
struct GuideButton {
    const char* text;
    int topic;
};

// The guide's buttons, in their order. Static storage.
std::span<const GuideButton> GuideButtons();

// Whether `button` is offered for the session's printer: the print-quality guide is about QEL
// printers, so it is not offered while a Brakenholm printer is selected.
bool GuideButtonShown(const GuideButton& button, const AppSession& session);

}  // namespace tarvo::app

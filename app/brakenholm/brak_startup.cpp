#include "brakenholm/brak_startup.h"

#include "brakenholm/brak_files.h"
#include "brakenholm/brak_text.h"
#include "brakenholm/brak_transfer.h"

namespace tarvo::app {

bool InLineMode(std::string_view version0) {
    const std::string_view text = StripLeading(version0, " ");
    return !text.empty() && text.front() == kLineModeName.front();
}

std::optional<std::string> ReadCommandMode(CBrakPrinter& printer) {
    std::string version0 =
        CollapseBlanks(StripLineEnds(printer.QueryLine("PRINT VERSION$(0)").text));
    if (version0.empty())
        return std::nullopt;
    printer.NoteVersion0(version0);
    return version0;
}

ModeSwitch SwitchCommandMode(CBrakPrinter& printer) {
    ModeSwitch outcome;
    const bool lineMode = InLineMode(printer.Identity().version0);
    if (!printer.SendLine(lineMode ? "INPUT OFF" : "INPUT ON", false).ok() ||
        !printer.SendLine("VERBOFF", false).ok()) {
        outcome.result = {OpStatus::Failed, std::nullopt, "the mode switch could not be sent"};
        return outcome;
    }
    const auto version0 = ReadCommandMode(printer);
    if (!version0) {
        outcome.result = {OpStatus::NoAnswer, std::nullopt,
                          "the printer did not say its mode afterwards"};
        return outcome;
    }
    outcome.version0 = *version0;
    return outcome;
}

RunLine StartupRunLine(int generation, StartupProgram program, std::string_view application) {
    switch (program) {
        case StartupProgram::WindowsDriver:
            return {generation == 2 || generation == 3 ? "RUN \"rom:winxp.prg\""
                                                       : "RUN \"rom:win1.prg\"",
                    {}};
        case StartupProgram::Labelkit:
            return {"RUN \"rom:lblshtxt.prg\"", {}};
        case StartupProgram::UserApplication:
            break;
    }
    std::string_view name = application;
    std::string path;
    if (const std::size_t colon = application.find(':'); colon != std::string_view::npos) {
        const std::string_view device = application.substr(0, colon + 1);
        if (!IsPrinterDevice(device))
            return {std::nullopt, "\"" + std::string(device) + "\" is not a device of the printer"};
        name = application.substr(colon + 1);
        if (!name.empty() && name.front() == '/')
            name.remove_prefix(1);
        path = AsciiLower(device) + "/";
    }
    if (const auto problem = PrinterFileNameProblem(name))
        return {std::nullopt, *problem};
    return {"RUN \"" + path + std::string(name) + "\"", {}};
}

OpResult RunStartupProgram(CBrakPrinter& printer, StartupProgram program,
                           std::string_view application) {
    const RunLine run = StartupRunLine(printer.SetupGeneration(), program, application);
    if (!run.line)
        return {OpStatus::Refused, std::nullopt, run.problem};
    if (!printer.SendSetupLine(*run.line).ok())
        return {OpStatus::Failed, std::nullopt, "the program could not be started"};
    return {};
}

std::string UserApplicationWarning(std::string_view application) {
    return "You have selected " + std::string(application) +
           " as a startup application. Once this application is running, Tarvo will no longer "
           "be able to communicate with your printer and will be terminated.\n\nDo you wish to "
           "proceed?";
}

}  // namespace tarvo::app

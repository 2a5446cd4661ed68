#include "script_config.h"

#include <cctype>

#include "script_files.h"

namespace tarvo::sim {
namespace {

constexpr std::string_view kLineMode = "Swiftlane";

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string CurrentDevice(const ScriptContext& context) {
    return context.session.currentDevice.empty() ? std::string(MainDevice(context.state.model))
                                                 : context.session.currentDevice;
}

// "c:/NAME" or "c:NAME", or a bare "NAME" in the current device.
std::optional<ScriptFile> FileOfArgument(std::string_view argument, const ScriptContext& context) {
    if (argument.find(':') == std::string_view::npos)
        return ParseFilePath(context.state.model, CurrentDevice(context) + std::string(argument));
    return ParseFilePath(context.state.model, argument);
}

std::optional<std::string> Kill(std::string_view rest, ScriptContext& context) {
    const auto argument = Quoted(rest);
    const auto file = argument ? FileOfArgument(*argument, context) : std::nullopt;
    if (!file)
        return ErrorLine("no file " + std::string(rest));
    if (file->name.front() == '.' || FileKey(*file) == context.refusedKill)
        return ErrorLine("file " + file->device + "/" + file->name + " is protected");
    if (!DeleteFile(&context.state, *file))
        return ErrorLine("no file " + std::string(rest));
    return std::nullopt;
}

std::optional<std::string> ChangeDirectory(std::string_view rest, ScriptContext& context) {
    const auto device = Quoted(rest);
    if (!device || !HasDevice(context.state.model, Lower(*device)))
        return ErrorLine("CHDIR wants a quoted device of the printer");
    context.session.currentDevice = Lower(*device);
    return std::nullopt;
}

std::optional<std::string> RemoveImage(std::string_view rest, ScriptContext& context) {
    const auto name = Quoted(rest);
    if (!name || context.state.images.erase(std::string(*name)) == 0)
        return ErrorLine("no image " + std::string(rest));
    return std::nullopt;
}

// RUN "device:name.prg" of a program the printer holds: it takes over the line for good.
bool StartsResidentProgram(std::string_view canonical, const ScriptContext& context) {
    if (!StartsWith(canonical, "RUN "))
        return false;
    const auto argument = Quoted(canonical.substr(4));
    if (!argument || Lower(argument->substr(argument->size() -
                                            std::min<std::size_t>(4, argument->size()))) != ".prg")
        return false;
    const auto file = FileOfArgument(*argument, context);
    if (!file)
        return false;
    for (const ScriptFile& stored : FilesOn(context.state, file->device, true)) {
        if (Lower(stored.name) == Lower(file->name))
            return true;
    }
    return false;
}

bool InLineMode(const ScriptContext& context) {
    return context.session.commandMode == kLineMode;
}

}  // namespace

bool IsConfigLine(std::string_view canonical, const ScriptContext& context) {
    return StartsWith(canonical, "KILL ") || StartsWith(canonical, "CHDIR ") ||
           StartsWith(canonical, "REMOVE IMAGE ") || canonical == "INPUT ON" ||
           canonical == "INPUT OFF" || canonical == "VERBOFF" ||
           (canonical == "PRINT VERSION$(0)" && InLineMode(context)) ||
           StartsResidentProgram(canonical, context);
}

std::optional<std::string> AnswerConfigLine(std::string_view canonical, ScriptContext& context) {
    if (StartsWith(canonical, "KILL "))
        return Kill(canonical.substr(5), context);
    if (StartsWith(canonical, "CHDIR "))
        return ChangeDirectory(canonical.substr(6), context);
    if (StartsWith(canonical, "REMOVE IMAGE "))
        return RemoveImage(canonical.substr(13), context);
    if (canonical == "INPUT ON" || canonical == "INPUT OFF") {
        context.session.commandMode = canonical == "INPUT ON" ? std::string(kLineMode) : "";
        return std::nullopt;
    }
    if (canonical == "VERBOFF")
        return std::nullopt;
    if (canonical == "PRINT VERSION$(0)")
        return AnswerLine(std::string(kLineMode) + " " + context.state.firmware);
    context.session.applicationRunning = true;
    return std::nullopt;
}

}  // namespace tarvo::sim

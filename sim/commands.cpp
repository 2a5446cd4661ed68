#include "commands.h"

#include <charconv>

#include "config_text.h"
#include "frame_parser.h"
#include "models.h"
#include "service_mode.h"
#include "shell.h"

namespace tarvo::sim {
namespace {

constexpr int kMessageDelay = 26;
constexpr int kInterCharDelay = 27;
constexpr int kStartChar = 28;
constexpr int kEndChar = 29;
constexpr int kStatusSettings[] = {22, 23, 24};  // media, buffer, memory status reporting
constexpr char kEtb = 0x17;                      // ends the number of a format or page to print
constexpr char kLf = 0x0A;
constexpr char kRs = 0x1E;  // before the quantity of a print request
constexpr char kUs = 0x1F;  // before a print request's job number

bool StartsCommand(char byte) {
    return byte == kEsc || byte == kSi || byte == kEnq || byte == kSyn || byte == kSoh ||
           byte == kEot;
}

// Where a command's arguments end: at ';' or at the byte that starts the next command.
std::size_t ArgumentsEnd(std::string_view body, std::size_t from) {
    while (from < body.size() && body[from] != ';' && !StartsCommand(body[from]))
        ++from;
    return from;
}

void ApplyDelay(PrinterState* state, int setting, std::string_view digits) {
    std::vector<ConfigValue> numbers;
    if (ParseConfigNumbers(digits, false, &numbers) && numbers.size() == 1)
        ApplyHostValue(state, setting, *numbers[0]);
}

std::optional<ObjectKind> ListingKind(std::string_view name) {
    if (name == "v")
        return ObjectKind::Font;
    if (name == "u")
        return ObjectKind::Graphic;
    if (name == "x")
        return ObjectKind::Format;
    if (name == "y")
        return ObjectKind::Page;
    return std::nullopt;
}

// Where an R command starts in `body` at or after `from`: at `from` itself or after a ';', and
// followed by ';', the body's end or the byte that starts the next command.
std::size_t FindLeaveCommand(std::string_view body, std::size_t from) {
    for (std::size_t at = from; at < body.size(); ++at) {
        const bool starts = at == from || body[at - 1] == ';';
        const bool ends =
            at + 1 == body.size() || body[at + 1] == ';' || StartsCommand(body[at + 1]);
        if (body[at] == 'R' && starts && ends)
            return at;
    }
    return body.size();
}

// What follows <ESC>E<n> up to <ETB> in a print request: settings for this print (<SI> and a
// letter), a job number (<US>), the quantity (<RS>) and the data of variable fields
// (<ESC>F<field><LF>text).
struct LabelData {
    std::vector<std::string_view> settings;
    std::string quantity = "1";
    std::string fields;  // "42=0420, 43=-05"
};

bool StartsDataPart(char byte) {
    return byte == kSi || byte == kUs || byte == kRs || byte == kEsc;
}

LabelData ParseLabelData(std::string_view data) {
    LabelData label;
    std::size_t at = 0;
    while (at < data.size()) {
        const char byte = data[at];
        std::size_t end = at + 1;
        while (end < data.size() && !StartsDataPart(data[end]))
            ++end;
        const std::string_view part = data.substr(at + 1, end - at - 1);
        if (byte == kSi) {
            label.settings.push_back(part);
        } else if (byte == kRs) {
            label.quantity = std::string(part);
        } else if (byte == kEsc && part.starts_with('F')) {
            const std::size_t lf = part.find(kLf);
            if (!label.fields.empty())
                label.fields += ", ";
            label.fields += std::string(part.substr(1, lf - 1)) + "=" +
                            std::string(lf == std::string_view::npos ? "" : part.substr(lf + 1));
        }
        at = end;
    }
    return label;
}

}  // namespace

void CommandInterpreter::run(std::string_view body, PrinterState* state, const LineSettings& line,
                             std::vector<Reply>* replies) {
    const Run run{state, line, replies};
    std::size_t at = 0;
    while (at < body.size()) {
        const char byte = body[at];
        if (byte == ';') {
            ++at;
        } else if (const auto end = lineEnd(body, at)) {
            std::string_view line = body.substr(at, *end - at);
            if (*end < body.size() && line.ends_with(';'))
                line.remove_suffix(1);  // the separator before R
            downloads_.takeLine(line, state);
            at = *end;
        } else if (byte == kEsc) {
            at = runEscape(body, at, run);
        } else if (byte == kSoh || byte == kEot) {
            // The character that follows is the value, whatever byte it is.
            if (at + 1 < body.size()) {
                ApplyHostValue(state, byte == kSoh ? kStartChar : kEndChar,
                               static_cast<unsigned char>(body[at + 1]));
            }
            at += 2;
        } else {
            const std::size_t end = ArgumentsEnd(body, at + 1);
            const std::string_view command = body.substr(at, end - at);
            if (byte == kSi)
                runShift(command.substr(1), run);
            else if (byte == kSyn)
                ApplyDelay(state, kInterCharDelay, command.substr(1));
            else if (command == "\x05")
                replies->push_back({"0"});  // status: ready, no error
            else if (byte != kEnq && serviceMode_)
                runService(command, run);
            else if (byte != kEnq)
                runPlain(command, run);
            at = end;
        }
    }
}

std::optional<LineSettings> CommandInterpreter::takeLineChange() {
    return std::exchange(lineChange_, std::nullopt);
}

// <ESC> and one letter; "M1" and "m1" take their digit, <ESC><SYN> its number, and a shell
// line (<ESC>.) the rest of the message.
std::size_t CommandInterpreter::runEscape(std::string_view body, std::size_t at, const Run& run) {
    if (at + 1 >= body.size())
        return body.size();
    const char letter = body[at + 1];
    if (letter == '.') {
        const std::string network = identity_.networkInterface;
        if (auto text = RunShellLine(body.substr(at + 2), run.state, network))
            run.replies->push_back({std::move(*text)});
        return body.size();
    }
    if (letter == kSyn) {
        const std::size_t end = ArgumentsEnd(body, at + 2);
        ApplyDelay(run.state, kMessageDelay, body.substr(at + 2, end - at - 2));
        return end;
    }
    if (letter == 'T') {
        serviceMode_ = true;
        return at + 2;
    }
    if (letter == 'E' || letter == 'G')
        return runPrint(body, at, run);
    std::size_t end = at + 2;
    if ((letter == 'M' || letter == 'm') && end < body.size() && body[end] == '1')
        ++end;
    runQuestion(body.substr(at + 1, end - at - 1), run);
    return end;
}

void CommandInterpreter::runQuestion(std::string_view name, const Run& run) {
    PrinterState& state = *run.state;
    auto answer = [&run](std::string text) { run.replies->push_back({std::move(text)}); };
    // The auto-connect search asks without the 1 and must hear the same answer.
    if (name == "M" || name == "M1") {
        answer(identity_.identReply.empty()
                   ? IdentificationReply(state.model, state.firmware, identity_.programNumber)
                   : identity_.identReply);
    } else if (name == "m") {
        answer(std::to_string(state.memoryTotalKb) + "," + std::to_string(state.memoryFreeKb));
    } else if (name == "m1") {
        answer(std::to_string(state.memoryTotalKb) + "," +
               std::to_string(ImageBufferKb(state.model)));
    } else if (name == "p") {
        answer(ConfigurationReply(state, run.line));
    } else if (name == "O") {
        answer(std::to_string(identity_.installedOption));
    } else if (name == "P") {
        programMode_ = true;
    } else if (name == "k") {
        for (int setting : kStatusSettings)
            ApplyHostValue(&state, setting, 0);
    } else if (name == "j" || name == "d" || name == "e") {
        ApplyHostValue(&state, kStatusSettings[std::string_view("jde").find(name[0])], 1);
    } else if (const auto kind = ListingKind(name); kind && HasDirectory(state.model)) {
        Reply lines = ListingLines(state.model, state.objects, *kind);
        if (!lines.empty())  // an empty directory lists nothing at all
            run.replies->push_back(std::move(lines));
    }
}

void CommandInterpreter::runShift(std::string_view command, const Run& run) {
    if (command.empty())
        return;
    std::optional<LineSettings> newLine;
    ApplyShiftCommand(run.state, run.line, command[0], command.substr(1), &newLine);
    if (newLine)
        lineChange_ = newLine;
}

// Outside program mode plain bytes are label data; R (leave the mode) is harmless there.
void CommandInterpreter::runPlain(std::string_view command, const Run& run) {
    if (!programMode_)
        return;
    if (command == "R") {
        downloads_.finish(run.state);
        programMode_ = false;
        return;
    }
    downloads_.take(command, run.state);
}

// In test-and-service mode each letter asks for a number, prints a built-in label, resets the
// line (D, once the message is done) or declares the firmware invalid (F and a text); R leaves.
void CommandInterpreter::runService(std::string_view command, const Run& run) {
    if (command.empty())
        return;
    const char letter = command.front();
    if (command == "R") {
        serviceMode_ = false;
    } else if (command == "D") {
        if (auto factory = FactoryLine(run.state->model))
            lineChange_ = factory;
        frameReset_ = true;
    } else if (letter == 'F') {
        run.state->firmwareInvalidated = true;
        run.state->invalidationText = std::string(command.substr(1));
    } else if (PrintBuiltInLabel(command, run.state)) {
        // printed
    } else if (command.size() == 1) {
        if (auto answer = ServiceAnswer(run.state->model, letter, identity_.serviceReplies))
            run.replies->push_back({std::move(*answer)});
    }
}

// <ESC>E<n><ETB> prints stored format n, <ESC>G<n><ETB> stored page n. A format's number may
// be followed by the label's data (LabelData) up to the <ETB>.
std::size_t CommandInterpreter::runPrint(std::string_view body, std::size_t at, const Run& run) {
    std::size_t end = ArgumentsEnd(body, at + 2);
    std::string_view number = body.substr(at + 2, end - at - 2);
    const bool ended = number.ends_with(kEtb);
    if (ended)
        number.remove_suffix(1);
    std::optional<LabelData> data;
    const std::size_t etb = body.find(kEtb, end);
    if (!ended && body[at + 1] == 'E' && end < body.size() && StartsDataPart(body[end]) &&
        etb != std::string_view::npos) {
        data = ParseLabelData(body.substr(end, etb - end));
        end = etb + 1;
    }
    unsigned id = 0;
    const auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), id);
    if (ec != std::errc() || ptr != number.data() + number.size() || number.empty())
        return end;
    std::string with;
    if (data) {
        for (std::string_view setting : data->settings)
            runShift(setting, run);
        with = data->quantity + " x" + (data->fields.empty() ? "" : ", " + data->fields);
    }
    PrintStoredObject(body[at + 1] == 'E' ? ObjectKind::Format : ObjectKind::Page, id, run.state,
                      with);
    return end;
}

// Where the line that starts at `at` ends, when the rest of the message from there is a line
// of the download under way; nullopt when it is commands.
std::optional<std::size_t> CommandInterpreter::lineEnd(std::string_view body,
                                                       std::size_t at) const {
    if (!programMode_ || StartsCommand(body[at]) || !downloads_.takesLine(body.substr(at)))
        return std::nullopt;
    const std::size_t end = FindLeaveCommand(body, at);
    if (end == at)
        return std::nullopt;  // R itself
    return end;
}

}  // namespace tarvo::sim

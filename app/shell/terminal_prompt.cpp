#include "shell/terminal_prompt.h"

#include <termios.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <utility>
#include <vector>

namespace tarvo::app {
namespace {

// Longest line an answer or a path may have; the rest of a longer line is skipped.
constexpr std::size_t kMaxLine = 4096;
// A terminal that keeps giving answers that name no button gets the default after this many.
constexpr int kMaxTries = 5;

struct Choice {
    PromptAnswer answer;
    const char* label;
};

std::vector<Choice> ChoicesOf(PromptButtons buttons) {
    switch (buttons) {
        case PromptButtons::Ok:
            return {{PromptAnswer::Ok, "OK"}};
        case PromptButtons::OkCancel:
            return {{PromptAnswer::Ok, "OK"}, {PromptAnswer::Cancel, "Cancel"}};
        case PromptButtons::YesNo:
            return {{PromptAnswer::Yes, "Yes"}, {PromptAnswer::No, "No"}};
        case PromptButtons::YesNoCancel:
            return {{PromptAnswer::Yes, "Yes"},
                    {PromptAnswer::No, "No"},
                    {PromptAnswer::Cancel, "Cancel"}};
        case PromptButtons::RetryCancel:
            return {{PromptAnswer::Retry, "Retry"}, {PromptAnswer::Cancel, "Cancel"}};
    }
    return {{PromptAnswer::Ok, "OK"}};
}

const char* LabelOf(const std::vector<Choice>& choices, PromptAnswer answer) {
    for (const Choice& c : choices) {
        if (c.answer == answer)
            return c.label;
    }
    return choices.front().label;
}

// Echo off for the terminal on `fd` while it lives; a non-terminal is left alone.
class EchoOff {
  public:
    explicit EchoOff(int fd) : fd_(fd) {
        if (fd_ < 0 || ::tcgetattr(fd_, &saved_) != 0)
            return;
        termios quiet = saved_;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        quiet.c_lflag |= ECHONL;
        active_ = ::tcsetattr(fd_, TCSAFLUSH, &quiet) == 0;
    }
    ~EchoOff() {
        if (active_)
            ::tcsetattr(fd_, TCSAFLUSH, &saved_);
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

  private:
    int fd_;
    termios saved_{};
    bool active_ = false;
};

}  // namespace

TerminalPrompt::TerminalPrompt(TerminalOptions options) : options_(std::move(options)) {
    const int fd = options_.in != nullptr ? ::fileno(options_.in) : -1;
    interactive_ = options_.interactive.value_or(fd >= 0 && ::isatty(fd) == 1);
}

std::optional<std::string> TerminalPrompt::ReadLine() {
    if (options_.in == nullptr)
        return std::nullopt;
    std::string line;
    int c = 0;
    while ((c = std::fgetc(options_.in)) != EOF && c != '\n') {
        if (line.size() < kMaxLine)
            line.push_back(static_cast<char>(c));
    }
    if (c == EOF && line.empty())
        return std::nullopt;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

PromptAnswer TerminalPrompt::Ask(const Question& q) {
    std::FILE* out = options_.out;
    const std::vector<Choice> choices = ChoicesOf(q.buttons);
    std::fprintf(out, "%s: %s\n", q.caption.c_str(), q.text.c_str());
    if (choices.size() == 1)
        return choices.front().answer;
    if (options_.acceptQuestions) {
        std::fprintf(out, "-> %s (accepted from the command line)\n", choices.front().label);
        return choices.front().answer;
    }
    const char* fallback = LabelOf(choices, q.defaultAnswer);
    if (!interactive_) {
        std::fprintf(out, "-> %s (the default; no terminal to ask)\n", fallback);
        return q.defaultAnswer;
    }
    for (int attempt = 0; attempt < kMaxTries; ++attempt) {
        for (std::size_t i = 0; i < choices.size(); ++i)
            std::fprintf(out, "%s%s", i == 0 ? "[" : "/", choices[i].label);
        std::fprintf(out, "] (default %s)? ", fallback);
        std::fflush(out);
        const auto line = ReadLine();
        if (!line || line->empty())
            return q.defaultAnswer;
        const int first = std::tolower(static_cast<unsigned char>((*line)[0]));
        for (const Choice& c : choices) {
            if (std::tolower(static_cast<unsigned char>(c.label[0])) == first)
                return c.answer;
        }
    }
    return q.defaultAnswer;
}

FileChoice TerminalPrompt::ChooseFile(const FileRequest& request, bool save) {
    if (!options_.filePath.empty())
        return {FileChoice::Outcome::Chosen, std::exchange(options_.filePath, {})};
    if (!interactive_)
        return {FileChoice::Outcome::Cancelled, {}};
    std::fprintf(options_.out, "%s file name (%s): ", save ? "Save to" : "Open",
                 request.filter.c_str());
    std::fflush(options_.out);
    auto line = ReadLine();
    if (!line || line->empty())
        return {FileChoice::Outcome::Cancelled, {}};
    std::string path = std::move(*line);
    if (!request.defaultExtension.empty() && std::filesystem::path(path).extension().empty())
        path += "." + request.defaultExtension;
    std::error_code ec;
    if (save && request.confirmOverwrite && std::filesystem::exists(path, ec)) {
        const Question replace{"Confirm Save As",
                               path + " already exists.\nDo you want to replace it?",
                               PromptButtons::YesNo, PromptIcon::Exclamation, PromptAnswer::No};
        if (Ask(replace) != PromptAnswer::Yes)
            return {FileChoice::Outcome::Cancelled, {}};
    }
    return {FileChoice::Outcome::Chosen, std::move(path)};
}

FileChoice TerminalPrompt::ChooseOpenFile(const FileRequest& request) {
    return ChooseFile(request, false);
}

FileChoice TerminalPrompt::ChooseSaveFile(const FileRequest& request) {
    return ChooseFile(request, true);
}

PasswordEntry TerminalPrompt::ReadPassword(bool hideEcho) {
    if (options_.in == nullptr)
        return {PasswordEntry::Outcome::Cancelled, {}};
    const int fd = options_.in != nullptr ? ::fileno(options_.in) : -1;
    const bool terminal = fd >= 0 && ::isatty(fd) == 1;
    EchoOff quiet(hideEcho && terminal ? fd : -1);
    PasswordEntry entry;
    bool sawAny = false;
    bool tooLong = false;
    for (;;) {
        // A terminal is read with read(2), so the typed line never sits in a stdio buffer.
        char c = 0;
        if (terminal) {
            if (::read(fd, &c, 1) != 1)
                break;
        } else {
            const int got = std::fgetc(options_.in);
            if (got == EOF)
                break;
            c = static_cast<char>(got);
        }
        sawAny = true;
        if (c == '\n')
            break;
        if (!entry.password.Append(c))
            tooLong = true;
        WipeMemory(&c, sizeof c);
    }
    if (tooLong) {
        entry.password.Clear();
        entry.outcome = PasswordEntry::Outcome::TooLong;
    } else if (!sawAny) {
        entry.outcome = PasswordEntry::Outcome::Cancelled;
    } else {
        if (entry.password.Size() > 0 && entry.password.View().back() == '\r') {
            SecretText trimmed =
                SecretText::From(entry.password.View().substr(0, entry.password.Size() - 1));
            entry.password = std::move(trimmed);
        }
        entry.outcome = PasswordEntry::Outcome::Entered;
    }
    return entry;
}

PasswordEntry TerminalPrompt::EnterPassword(const std::string& caption, const std::string& label) {
    if (!interactive_ && !options_.passwordFromPipe)
        return {PasswordEntry::Outcome::Unavailable, {}};
    std::fprintf(options_.out, "%s\n%s: ", caption.c_str(), label.c_str());
    std::fflush(options_.out);
    return ReadPassword(interactive_);
}

void TerminalPrompt::SetStatus(const std::string& text) {
    if (options_.showStatus)
        std::fprintf(options_.out, "%s\n", text.c_str());
}

}  // namespace tarvo::app

// How the session talks to the operator: questions and notices, file choosers, password entry,
// the status line and the wait cursor. The desktop program implements it with dialogs, the
// command-line tool with the terminal (terminal_prompt.h), tests with a script of answers.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tarvo::app {

enum class PromptIcon { None, Question, Information, Exclamation, Stop };
enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No, Retry };

struct Question {
    std::string caption;
    std::string text;
    PromptButtons buttons = PromptButtons::Ok;
    PromptIcon icon = PromptIcon::None;
    PromptAnswer defaultAnswer = PromptAnswer::Ok;
};

// What a file chooser is asked for.
struct FileRequest {
    std::string filter;             // " Text file (*.*)|*.txt||"
    std::string defaultExtension;   // "txt"
    bool mustExist = false;         // open choosers
    bool confirmOverwrite = false;  // save choosers
    std::string title;              // the chooser's caption; empty for the toolkit's own
    std::string initialName;        // the name proposed to a save chooser
};

struct FileChoice {
    enum class Outcome { Chosen, Cancelled, Failed };
    Outcome outcome = Outcome::Cancelled;
    std::string path;  // when Chosen
};

// A password held only as long as needed: fixed storage (never reallocated, so no copy is left
// behind in freed memory) that is wiped when the object goes. Move-only.
class SecretText {
  public:
    static constexpr std::size_t kCapacity = 64;

    SecretText() = default;
    ~SecretText();
    SecretText(SecretText&& other) noexcept;
    SecretText& operator=(SecretText&& other) noexcept;
    SecretText(const SecretText&) = delete;
    SecretText& operator=(const SecretText&) = delete;

    // Appends one character. Returns false (keeping the text) when it is full.
    bool Append(char c);
    void Clear();
    std::string_view View() const { return {data_.data(), size_}; }
    std::size_t Size() const { return size_; }

    static SecretText From(std::string_view text);  // cut at kCapacity

  private:
    std::array<char, kCapacity> data_{};
    std::size_t size_ = 0;
};

// Why `password` cannot be passed to the printer, or nullopt when it can: it goes inside a
// quoted command line for the printer's shell, so control characters, quotes, blanks and the
// shell's own syntax characters would change the command; and it must fit SecretText.
std::optional<std::string> PasswordProblem(std::string_view password);

// Wipes `n` bytes at `p` in a way the compiler may not drop.
void WipeMemory(void* p, std::size_t n);

struct PasswordEntry {
    enum class Outcome { Entered, Cancelled, Unavailable, TooLong };
    Outcome outcome = Outcome::Cancelled;
    SecretText password;
};

class Prompt {
  public:
    virtual ~Prompt() = default;

    // Shows `question` and returns the button chosen. Questions with the single button Ok are
    // notices.
    virtual PromptAnswer Ask(const Question& question) = 0;
    // Shows `question` with `details` (lines such as a list of changes, shown as they are) below
    // its text. This implementation appends them to the text after a blank line.
    virtual PromptAnswer AskWithDetails(const Question& question, const std::string& details);
    virtual FileChoice ChooseOpenFile(const FileRequest& request) = 0;
    virtual FileChoice ChooseSaveFile(const FileRequest& request) = 0;
    // Reads a password without showing it.
    virtual PasswordEntry EnterPassword(const std::string& caption, const std::string& label) = 0;
    virtual void SetStatus(const std::string& text) = 0;
    // The wait cursor; calls nest.
    virtual void BeginBusy() = 0;
    virtual void EndBusy() = 0;

    // A notice: one OK button.
    void Tell(const std::string& caption, const std::string& text, PromptIcon icon);
};

// Shows the wait cursor for its lifetime.
class BusyScope {
  public:
    explicit BusyScope(Prompt& prompt) : prompt_(prompt) { prompt_.BeginBusy(); }
    ~BusyScope() { prompt_.EndBusy(); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

  private:
    Prompt& prompt_;
};

}  // namespace tarvo::app

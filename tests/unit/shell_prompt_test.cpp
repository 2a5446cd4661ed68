// The terminal prompt: defaults without a terminal, answers read from one, file paths from the
// command line, passwords only where they may come from.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "shell/terminal_prompt.h"

namespace tarvo::app {
namespace {

// A prompt reading `input` and writing into a buffer the test can read.
class Terminal {
  public:
    Terminal(const std::string& input, bool interactive, TerminalOptions options = {})
        : input_(input) {
        in_ = ::fmemopen(input_.data(), input_.size(), "r");
        out_ = ::open_memstream(&outBuffer_, &outSize_);
        options.in = input_.empty() ? nullptr : in_;
        options.out = out_;
        options.interactive = interactive;
        prompt = std::make_unique<TerminalPrompt>(options);
    }
    ~Terminal() {
        prompt.reset();
        if (in_ != nullptr)
            std::fclose(in_);
        std::fclose(out_);
        std::free(outBuffer_);
    }
    std::string Output() {
        std::fflush(out_);
        return std::string(outBuffer_, outSize_);
    }
    std::unique_ptr<TerminalPrompt> prompt;

  private:
    std::string input_;
    std::FILE* in_ = nullptr;
    std::FILE* out_ = nullptr;
    char* outBuffer_ = nullptr;
    std::size_t outSize_ = 0;
};

const Question kSend{"Tarvo", "Send current updates to attached printer?", PromptButtons::OkCancel,
                     PromptIcon::Question, PromptAnswer::Cancel};

TEST(TerminalPromptTest, WithoutATerminalEveryQuestionTakesItsDefault) {
    Terminal t("o\n", false);
    EXPECT_EQ(t.prompt->Ask(kSend), PromptAnswer::Cancel) << "input is not read";
    EXPECT_EQ(t.Output(),
              "Tarvo: Send current updates to attached printer?\n"
              "-> Cancel (the default; no terminal to ask)\n");
    t.prompt->Tell("Notice", "Done.", PromptIcon::Information);
    EXPECT_NE(t.Output().find("Notice: Done.\n"), std::string::npos);
    EXPECT_EQ(t.prompt->ChooseSaveFile({}).outcome, FileChoice::Outcome::Cancelled);
    EXPECT_EQ(t.prompt->EnterPassword("Enter Administrator password", "Password").outcome,
              PasswordEntry::Outcome::Unavailable);
}

TEST(TerminalPromptTest, CommandLineCanAcceptEveryQuestion) {
    TerminalOptions yes;
    yes.acceptQuestions = true;
    Terminal t("", false, yes);
    EXPECT_EQ(t.prompt->Ask(kSend), PromptAnswer::Ok);
    const Question yesNo{"Warning", "Search?", PromptButtons::YesNo, PromptIcon::Question,
                         PromptAnswer::No};
    EXPECT_EQ(t.prompt->Ask(yesNo), PromptAnswer::Yes);
}

TEST(TerminalPromptTest, AnswersFromATerminal) {
    Terminal t("ok\n\nx\nz\nN\n", true);
    EXPECT_EQ(t.prompt->Ask(kSend), PromptAnswer::Ok);
    EXPECT_EQ(t.prompt->Ask(kSend), PromptAnswer::Cancel) << "an empty answer is the default";
    const Question yesNo{"Warning", "Search?", PromptButtons::YesNo, PromptIcon::Question,
                         PromptAnswer::Yes};
    EXPECT_EQ(t.prompt->Ask(yesNo), PromptAnswer::No) << "unknown answers are asked again";
    EXPECT_NE(t.Output().find("[Yes/No] (default Yes)? "), std::string::npos);
    EXPECT_EQ(t.prompt->Ask(yesNo), PromptAnswer::Yes) << "end of input is the default";
}

TEST(TerminalPromptTest, FilePathFromTheCommandLineAnswersTheNextChooserOnce) {
    TerminalOptions options;
    options.filePath = "/tmp/setup.txt";
    Terminal t("", false, options);
    const FileChoice first = t.prompt->ChooseSaveFile({});
    EXPECT_EQ(first.outcome, FileChoice::Outcome::Chosen);
    EXPECT_EQ(first.path, "/tmp/setup.txt");
    EXPECT_EQ(t.prompt->ChooseOpenFile({}).outcome, FileChoice::Outcome::Cancelled);

    Terminal typed("printer-a\n", true);
    const FileChoice chosen = typed.prompt->ChooseOpenFile({"x", "txt", true, false, {}, {}});
    EXPECT_EQ(chosen.path, "printer-a.txt") << "the default extension is added";
}

TEST(TerminalPromptTest, PasswordsFromATerminalOnly) {
    Terminal t("s3cret\r\n", true);
    PasswordEntry entry = t.prompt->EnterPassword("Enter Administrator password", "Password");
    EXPECT_EQ(entry.outcome, PasswordEntry::Outcome::Entered);
    EXPECT_EQ(entry.password.View(), "s3cret");
    EXPECT_EQ(t.Output().find("s3cret"), std::string::npos) << "never echoed by the prompt";

    Terminal longOne(std::string(SecretText::kCapacity + 1, 'p') + "\n", true);
    entry = longOne.prompt->EnterPassword("c", "Password");
    EXPECT_EQ(entry.outcome, PasswordEntry::Outcome::TooLong);
    EXPECT_EQ(entry.password.Size(), 0u);

    Terminal closed("", true);
    EXPECT_EQ(closed.prompt->EnterPassword("c", "Password").outcome,
              PasswordEntry::Outcome::Cancelled);

    TerminalOptions piped;
    piped.passwordFromPipe = true;
    Terminal pipe("from-a-store\n", false, piped);
    entry = pipe.prompt->EnterPassword("c", "Password");
    EXPECT_EQ(entry.outcome, PasswordEntry::Outcome::Entered);
    EXPECT_EQ(entry.password.View(), "from-a-store");
}

TEST(TerminalPromptTest, StatusIsQuietUnlessAsked) {
    Terminal quiet("", false);
    quiet.prompt->SetStatus("Sending");
    EXPECT_EQ(quiet.Output(), "");
    TerminalOptions loud;
    loud.showStatus = true;
    Terminal verbose("", false, loud);
    verbose.prompt->SetStatus("Sending");
    EXPECT_EQ(verbose.Output(), "Sending\n");
}

}  // namespace
}  // namespace tarvo::app

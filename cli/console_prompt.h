// The operator of a desktop road run from the command line: status texts are progress lines on
// stdout, and the file choosers, the password entry and every question a subclass does not
// answer itself go to the terminal's prompt.
#pragma once

#include <iostream>
#include <string>
#include <utility>

#include "shell/prompt.h"
#include "shell/terminal_prompt.h"

namespace tarvo::cli {

class ConsolePrompt : public app::Prompt {
  public:
    explicit ConsolePrompt(app::TerminalOptions options = {}) : notices_(std::move(options)) {}

    app::PromptAnswer Ask(const app::Question& question) override { return notices_.Ask(question); }
    app::FileChoice ChooseOpenFile(const app::FileRequest& request) override {
        return notices_.ChooseOpenFile(request);
    }
    app::FileChoice ChooseSaveFile(const app::FileRequest& request) override {
        return notices_.ChooseSaveFile(request);
    }
    app::PasswordEntry EnterPassword(const std::string& caption,
                                     const std::string& label) override {
        return notices_.EnterPassword(caption, label);
    }
    void SetStatus(const std::string& text) override { std::cout << text << "\n"; }
    void BeginBusy() override {}
    void EndBusy() override {}

  private:
    app::TerminalPrompt notices_;
};

}  // namespace tarvo::cli

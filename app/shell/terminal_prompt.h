// The prompt of the command-line tool. Questions and notices go to stderr; answers are read only
// when the input is a terminal, otherwise every question takes its default button, so a tool run
// from a script never blocks and never does what the default would not. Passwords are read with
// echo off, from the terminal only (never from the command line or the environment).
#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "shell/prompt.h"

namespace tarvo::app {

struct TerminalOptions {
    std::FILE* in = stdin;
    std::FILE* out = stderr;
    // Whether answers are read; by default, whether `in` is a terminal.
    std::optional<bool> interactive;
    // Answered to the next file chooser: the path given on the command line.
    std::string filePath;
    // Questions take their affirmative button (OK, Yes, Retry) without asking: the command
    // line's "--yes". Off, a question without a terminal takes its default button.
    bool acceptQuestions = false;
    // Status texts are shown too (they are progress notes, quiet by default).
    bool showStatus = false;
    // A password may come from a non-terminal input (one line), for scripted set-ups that pipe
    // it from a secret store. Off unless the command line asks for it.
    bool passwordFromPipe = false;
};

class TerminalPrompt final : public Prompt {
  public:
    explicit TerminalPrompt(TerminalOptions options = {});

    PromptAnswer Ask(const Question& question) override;
    FileChoice ChooseOpenFile(const FileRequest& request) override;
    FileChoice ChooseSaveFile(const FileRequest& request) override;
    PasswordEntry EnterPassword(const std::string& caption, const std::string& label) override;
    void SetStatus(const std::string& text) override;
    void BeginBusy() override {}
    void EndBusy() override {}

  private:
    FileChoice ChooseFile(const FileRequest& request, bool save);
    std::optional<std::string> ReadLine();
    PasswordEntry ReadPassword(bool hideEcho);

    TerminalOptions options_;
    bool interactive_;
};

}  // namespace tarvo::app

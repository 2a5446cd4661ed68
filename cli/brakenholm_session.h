// The session a Brakenholm-family command works in: the program's session record over the
// command's kernel context, the terminal prompt, and the printer object of the attached model.
#pragma once

#include <memory>
#include <string>

#include "brakenholm/brak_printer.h"
#include "command_line.h"
#include "shell/app_session.h"
#include "shell/terminal_prompt.h"

namespace tarvo::cli {

class BrakenholmSession {
  public:
    explicit BrakenholmSession(const CommandLine& line);

    // Reads the settings, identifies the printer and makes its printer object. Returns false
    // (after saying why) when the printer is not a Brakenholm printer or does not answer.
    bool open(int ctx);

    // Makes the printer object of the selected model (the profile's Printer, TQ8e when that is
    // not a Brakenholm model) without asking the printer anything: for the search.
    bool openForSearch(int ctx);

    app::CBrakPrinter& printer() { return *printer_; }
    app::AppSession& session() { return session_; }
    app::TerminalPrompt& prompt() { return prompt_; }

  private:
    app::AppSession session_;
    app::TerminalPrompt prompt_;
    app::CBrakPrinter* printer_ = nullptr;
};

// True when the context's printer belongs to the Brakenholm family.
bool IsBrakenholmContext(int ctx);

}  // namespace tarvo::cli

// `tarvo quality-wizard`: the print quality wizard's pages in the terminal, the Lanmere wizard or
// the Brakenholm one by the printer's family. Each page shows its texts and lists, asks one line
// per control (an empty line keeps what is shown), then offers its actions as a numbered list.
// Answers may come from a script on standard input; questions of the wizard itself take their
// default there. Ctrl-C stops between steps: a test label under way still gives the printer its
// settings back first.
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "brakenholm/brak_pqw_session.h"
#include "brakenholm_session.h"
#include "cli_support.h"
#include "command_runs.h"
#include "lanmere/quality_wizard.h"
#include "shell/settings.h"
#include "shell/terminal_prompt.h"

namespace tarvo::cli {
namespace {

using app::lanmere::Control;
using app::lanmere::Field;
using app::lanmere::MediaWizardFlow;
using app::lanmere::PageModel;

constexpr int kInterrupted = 130;

// One line of standard input without its line end; nullopt at the end of input or on Ctrl-C.
std::optional<std::string> ReadAnswer() {
    std::string line;
    int c = 0;
    while ((c = std::getchar()) != EOF && c != '\n')
        line += static_cast<char>(c);
    if (InterruptScope::Interrupted() || (c == EOF && line.empty()))
        return std::nullopt;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    if (::isatty(STDIN_FILENO) == 0)
        std::cout << line << "\n";  // a script's answer, shown where a person's would be
    return line;
}

std::optional<int> Number(const std::string& text) {
    try {
        std::size_t used = 0;
        const int n = std::stoi(text, &used);
        return used == text.size() ? std::optional<int>(n) : std::nullopt;
    } catch (...) {
        return std::nullopt;
    }
}

void ShowChoices(const Field& f) {
    std::cout << f.label << "\n";
    for (std::size_t i = 0; i < f.choices.size(); ++i) {
        std::cout << (static_cast<int>(i) == f.selected ? "  * " : "    ") << i + 1 << ") "
                  << f.choices[i] << "\n";
    }
}

// A table with a chosen row is a list to choose from: its rows numbered under the columns.
void ShowRows(const Field& f) {
    std::string heading = "       ";
    for (const std::string& column : f.columns)
        heading += " " + column;
    std::cout << heading << "\n";
    for (std::size_t i = 0; i < f.rows.size(); ++i) {
        std::cout << (static_cast<int>(i) == f.selected ? "  * " : "    ") << i + 1 << ")";
        for (const std::string& cell : f.rows[i])
            std::cout << " " << cell;
        std::cout << "\n";
    }
}

// Asks for one control; false at the end of input.
bool AskField(PageModel& page, const Field& f) {
    switch (f.control) {
        case Control::Text:
            if (!f.text.empty())
                std::cout << f.text << "\n";
            return true;
        case Control::Table:
            if (f.selected >= 0) {
                ShowRows(f);
                std::cout << "choice: " << std::flush;
                break;
            }
            for (const auto& row : f.rows) {
                std::string line = "   ";
                for (const std::string& cell : row)
                    line += " " + cell;
                std::cout << line << "\n";
            }
            return true;
        case Control::Button:
        case Control::Image:  // a picture has nothing to answer on a terminal
            return true;
        case Control::Radios:
        case Control::DropList:
            ShowChoices(f);
            std::cout << "choice: " << std::flush;
            break;
        case Control::Combo:  // a line of text, with the usual ones listed to copy from
            for (const std::string& choice : f.choices)
                std::cout << "    " << choice << "\n";
            [[fallthrough]];
        case Control::Edit:
            std::cout << f.label << " [" << f.text << "]: " << std::flush;
            break;
        case Control::Check:
            std::cout << f.label << " (0 no, 1 yes) [" << f.value << "]: " << std::flush;
            break;
        case Control::Spin:
        case Control::Slider:
            std::cout << f.label << " (" << f.minimum << ".." << f.maximum << ") [" << f.value
                      << "]: " << std::flush;
            break;
    }
    const auto answer = ReadAnswer();
    if (!answer)
        return false;
    if (answer->empty())
        return true;
    if (f.control == Control::Edit || f.control == Control::Combo) {
        page.SetText(f.id, *answer);
    } else if (const auto n = Number(*answer)) {
        if (f.control == Control::Radios || f.control == Control::DropList ||
            f.control == Control::Table)
            page.Choose(f.id, *n - 1);
        else
            page.SetValue(f.id, *n);
    }
    return true;
}

struct Action {
    enum Kind { Next, Back, Finish, Press } kind;
    std::string text;
    std::string button;
};

template <typename Flow>
std::vector<Action> Actions(const Flow& flow) {
    std::vector<Action> actions;
    actions.push_back(flow.atEnd() ? Action{Action::Finish, "Finish", {}}
                                   : Action{Action::Next, "Next", {}});
    if (flow.canGoBack())
        actions.push_back({Action::Back, "Back", {}});
    for (const Field& f : flow.page().fields()) {
        if (f.control == Control::Button && f.enabled)
            actions.push_back({Action::Press, f.label, f.id});
    }
    return actions;
}

// Asks what to do on the page; nullopt at the end of input.
template <typename Flow>
std::optional<Action> AskAction(const Flow& flow) {
    const std::vector<Action> actions = Actions(flow);
    while (true) {
        for (std::size_t i = 0; i < actions.size(); ++i)
            std::cout << "  " << i + 1 << ") " << actions[i].text << "\n";
        std::cout << "action [1]: " << std::flush;
        const auto answer = ReadAnswer();
        if (!answer)
            return std::nullopt;
        const int n = answer->empty() ? 1 : Number(*answer).value_or(0);
        if (n >= 1 && n <= static_cast<int>(actions.size()))
            return actions[static_cast<std::size_t>(n - 1)];
    }
}

enum class Ending { Finished, EndOfInput };

// Walks the pages of `flow` (the Lanmere or the Brakenholm wizard) until Finish.
template <typename Flow>
Ending Walk(Flow& flow) {
    while (true) {
        PageModel& page = flow.page();
        std::cout << "\n== " << page.title() << " ==\n";
        for (std::size_t i = 0; i < page.fields().size(); ++i) {
            if (!AskField(page, page.fields()[i]))
                return Ending::EndOfInput;
        }
        while (true) {
            const auto action = AskAction(flow);
            if (!action)
                return Ending::EndOfInput;
            if (action->kind == Action::Finish)
                return Ending::Finished;
            if (action->kind == Action::Press) {
                page.Press(action->button);
                if (InterruptScope::Interrupted())
                    return Ending::EndOfInput;
                continue;
            }
            if (action->kind == Action::Back)
                flow.Back();
            else
                flow.Next();
            break;
        }
    }
}

void PrintFinish(const app::PQWFinish& finish) {
    if (finish.sent.empty())
        std::cout << "Nothing to send: the printer holds the values chosen.\n";
    for (app::BrakSetting setting : finish.sent)
        std::cout << "Sent " << app::SettingName(setting) << "\n";
    for (const std::string& failure : finish.failed)
        std::cerr << "tarvo: not sent: " << failure << "\n";
    if (!finish.sizeRestored.ok())
        std::cerr << "tarvo: the printer's media size: " << app::Describe(finish.sizeRestored)
                  << "\n";
}

// The Brakenholm wizard: the same walk over its six pages; what differs is sent at Finish, and
// the printer gets its own media size back however the walk ends.
int RunBrakQualityWizard(int ctx, const CommandLine& line) {
    BrakenholmSession s(line);
    if (!s.open(ctx))
        return 1;
    app::TerminalOptions options;
    options.out = stderr;
    options.acceptQuestions = line.options.yes;
    app::TerminalPrompt prompt(options);
    app::BrakPQWSession wizard(s.printer(), prompt, s.session().metric);
    if (!wizard.Start())
        return 1;
    InterruptScope interrupts;
    const Ending ending = Walk(wizard);
    if (InterruptScope::Interrupted() || ending == Ending::EndOfInput) {
        const app::OpResult size = wizard.Cancel();
        if (!size.ok())
            std::cerr << "tarvo: the printer's media size: " << app::Describe(size) << "\n";
        if (InterruptScope::Interrupted()) {
            std::cerr << "\ntarvo: quality wizard stopped; nothing was sent\n";
            return kInterrupted;
        }
        return Fail("the answers ended before the wizard did (at " + wizard.page().title() +
                    "); nothing was sent");
    }
    const app::PQWFinish finish = wizard.Finish();
    PrintFinish(finish);
    return finish.ok() ? 0 : 1;
}

}  // namespace

int RunQualityWizard(int ctx, const CommandLine& line) {
    if (!line.args.empty())
        return Fail("quality-wizard takes no arguments", kUsage);
    if (IsBrakenholmContext(ctx))
        return RunBrakQualityWizard(ctx, line);
    IdentifiedPrinter printer;
    if (!IdentifyLanmere(ctx, &printer))
        return 1;
    app::TerminalOptions options;
    options.out = stderr;
    options.acceptQuestions = line.options.yes;
    app::TerminalPrompt prompt(options);
    const bool metric = app::ReadSetting(app::setting::kMeasurements, "US") == "Metric";
    app::lanmere::WizardLink link(ctx, printer.model);
    MediaWizardFlow flow(link, prompt, printer.model, metric);
    if (!flow.Start())
        return 1;
    InterruptScope interrupts;
    flow.interrupted = [] { return InterruptScope::Interrupted(); };
    const Ending ending = Walk(flow);
    if (InterruptScope::Interrupted()) {
        std::cerr << "\ntarvo: quality wizard stopped; the printer keeps the settings it "
                     "held before each test label\n";
        return kInterrupted;
    }
    if (ending == Ending::EndOfInput)
        return Fail("the answers ended before the wizard did (at " + flow.page().title() + ")");
    const app::lanmere::WizardResult result = flow.Finish();
    std::cout << "Media sensitivity number: " << result.sensitivity
              << "\nPrint darkness: " << result.darkness << "\n";
    return 0;
}

}  // namespace tarvo::cli

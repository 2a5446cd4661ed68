// Commands about the printer's shell user: who is logged in, whether it has a network, and
// changing the user.
#include <iostream>
#include <string>

#include "brakenholm/brak_host.h"
#include "brakenholm/brak_login.h"
#include "brakenholm_session.h"
#include "cli_support.h"
#include "command_runs.h"
#include "shell/terminal_prompt.h"
#include "tarvo/kernel.h"

namespace tarvo::cli {
namespace {

int WhoAmI(int ctx) {
    const int rc = PCUCheckIfAdministrator(ctx);
    if (rc == 1) {
        std::cout << "admin\n";
        return 0;
    }
    if (rc == 0) {
        std::cout << "user\n";
        return 0;
    }
    return Fail("asking the printer on " + PortOf(ctx) +
                " who is logged in failed: " + ErrorText(ctx));
}

int Network(int ctx) {
    int present = 0;
    if (PCUGetNetwork(ctx, &present) != PCU_OK)
        return Fail("asking the printer on " + PortOf(ctx) +
                    " for its network failed: " + ErrorText(ctx));
    std::cout << (present ? "The printer has a network interface.\n"
                          : "The printer has no network interface.\n");
    return 0;
}

int SwitchUser(int ctx, const CommandLine& line) {
    const auto& a = line.args;
    bool fromPipe = false;
    std::string name;
    for (std::size_t i = 1; i < a.size(); ++i) {
        if (a[i] == "--password-stdin") {
            fromPipe = true;
        } else if (name.empty()) {
            name = a[i];
        } else {
            return Fail(
                "passwords are not taken from the command line: type it when asked, or "
                "pipe it with --password-stdin",
                kUsage);
        }
    }
    if (name.empty())
        return Fail("usage: tarvo user su NAME [--password-stdin]", kUsage);
    app::TerminalOptions options;
    options.passwordFromPipe = fromPipe;
    app::TerminalPrompt prompt(options);
    app::PasswordEntry entry;
    if (name == "admin") {
        entry = prompt.EnterPassword("Log in", "Password for admin");
        if (entry.outcome != app::PasswordEntry::Outcome::Entered)
            return Fail("no password was entered");
    }
    const std::string password(entry.password.View());
    const int rc = PCUChangeUser(ctx, name.c_str(), name == "admin" ? password.c_str() : "");
    if (rc == PCU_ERR_ARGUMENT)
        return Fail("the printer's shell cannot take that user name or password", kUsage);
    if (rc != 1)
        return Fail("changing the user on " + PortOf(ctx) + " failed: " + ErrorText(ctx));
    // The shell answers a wrong password only with its own text, so ask who is logged in now.
    const int admin = PCUCheckIfAdministrator(ctx);
    if ((name == "admin") != (admin == 1))
        return Fail("the printer did not switch to " + name);
    std::cout << "Logged in as " << name << ".\n";
    return 0;
}

// The administrator log-in of a Brakenholm printer, through its printer object.
int LogInBrakenholm(int ctx, const CommandLine& line) {
    BrakenholmSession s(line);
    if (!s.open(ctx))
        return 1;
    const app::OpResult r = app::LogInAsAdministrator(s.session(), s.prompt());
    if (!r.ok())
        return Fail("logging in as admin failed: " + app::Describe(r));
    std::cout << "Logged in as admin.\n";
    return 0;
}

// `su user` or `su admin` on a Brakenholm printer: its shell takes no other users.
int SwitchUserBrakenholm(int ctx, const CommandLine& line, const std::string& name) {
    if (name == "admin")
        return LogInBrakenholm(ctx, line);
    if (name != "user")
        return Fail("a Brakenholm printer's shell has the users admin and user only", kUsage);
    BrakenholmSession s(line);
    if (!s.open(ctx))
        return 1;
    const app::TxResult r = s.printer().SwitchUser(app::PrinterUser::User, {});
    if (!r.ok())
        return Fail("changing the user on " + PortOf(ctx) + " failed: " + app::DescribeTx(r));
    std::cout << "Logged in as user.\n";
    return 0;
}

int WhoAmIBrakenholm(int ctx, const CommandLine& line) {
    BrakenholmSession s(line);
    if (!s.open(ctx))
        return 1;
    std::cout << (s.printer().WhoAmI() ? "admin\n" : "user\n");
    return 0;
}

}  // namespace

int RunUser(int ctx, const CommandLine& line) {
    const auto& a = line.args;
    const std::string verb = a.empty() ? "" : a[0];
    const bool brakenholm = IsBrakenholmContext(ctx);
    if (verb == "whoami" && a.size() == 1)
        return brakenholm ? WhoAmIBrakenholm(ctx, line) : WhoAmI(ctx);
    const bool pipe = a.size() == 2 && a[1] == "--password-stdin";
    if (verb == "login" && (a.size() == 1 || pipe)) {
        if (brakenholm)
            return LogInBrakenholm(ctx, line);
        CommandLine su = line;
        su.args = {"su", "admin"};
        if (pipe)
            su.args.push_back("--password-stdin");
        return SwitchUser(ctx, su);
    }
    if (verb == "network" && a.size() == 1)
        return Network(ctx);
    if (verb == "su" && brakenholm) {
        const bool named = a.size() == 2 || (a.size() == 3 && a[2] == "--password-stdin");
        if (!named)
            return Fail("usage: tarvo user su NAME [--password-stdin]", kUsage);
        return SwitchUserBrakenholm(ctx, line, a[1]);
    }
    if (verb == "su")
        return SwitchUser(ctx, line);
    return Fail("usage: tarvo user whoami | login | network | su NAME", kUsage);
}

}  // namespace tarvo::cli

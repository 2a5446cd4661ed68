#include "commands.h"

#include "cli_support.h"
#include "command_runs.h"

namespace tarvo::cli {

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"ping", "", "ask whether the printer answers",
         "Sends the printer an identification request and prints whether it answered.\n"
         "Exit status 0 when it answered, 1 when it did not.\n",
         RunPing, true},
        {"ports", "", "list the logical ports and the serial devices found",
         "Lists COM1..COM4 and LPT1..LPT3 with the devices they are mapped to (profile values\n"
         "Device.COM1 .. Device.LPT3), then the serial devices present on this machine.\n",
         RunPorts, false},
        {"profile", "get KEY | set KEY VALUE", "read or change a profile value",
         "Reads or writes one value of the profile. Keys compare without regard to case.\n"
         "Exit status 1 when the value is missing.\n",
         RunProfile, false},
        {"send", "TEXT", "send one framed message and print the reply",
         "Sends TEXT as one framed message; control characters are written as <ESC>, <STX>,\n"
         "<SI> and so on (<<ESC> for a literal <ESC>). Prints the printer's reply with control\n"
         "characters spelled the same way. Asks first when standard input is a terminal\n"
         "(--yes does not ask).\n",
         RunSend, true},
        {"models", "", "list the printer models Tarvo knows",
         "Lists the 42 models with their family, resolution and print speeds.\n", RunModels, false},
        {"identify", "", "tell which printer is attached",
         "Asks the printer which model it is and prints its model, program number and\n"
         "firmware. Exit status 0 when it was identified.\n",
         RunIdentify, true},
        {"autoconnect", "", "search ports and line settings for a printer",
         "Tries the parallel ports, then every serial port at every rate, data bits, parity\n"
         "and protocol until a known printer answers, printing each trial. The settings found\n"
         "are stored in the profile. Ctrl-C cancels and leaves the profile unchanged.\n"
         "Exit status 0 when a printer was found, 1 when none answered, 130 when cancelled.\n",
         RunAutoConnect, true},
        {"config", "show [--json] | set NAME=VALUE... | pull FILE.tcf | push FILE.tcf",
         "show, change, save and send the printer's configuration",
         "show     every setting the printer's model offers, lengths in inches or centimetres\n"
         "         by the profile's Measurements value (--json for scripts)\n"
         "set      changes settings (NAME=VALUE; lengths also take in, cm or mm, the emulation\n"
         "         its dpi or mil), checks them against the model, sends the configuration,\n"
         "         reads it back and prints what changed\n"
         "pull     saves the printer's configuration to a configuration file\n"
         "push     shows what a configuration file would change and sends it\n"
         "Asks before changing a printer when standard input is a terminal (--yes does not).\n",
         RunConfig, true},
        {"objects", "list [fonts|graphics|formats|pages]", "list what the printer stores",
         "Reads the printer's listings and prints each object's number, description and size.\n",
         RunObjects, true},
        {"setup",
         "show [--json] | set NAME=VALUE... | send | save FILE | load FILE [--send] | "
         "restore-defaults",
         "a Brakenholm printer's setup",
         "show              every setting as the printer states it (--json for scripts)\n"
         "set               changes settings, checked against the printer's tables, sends\n"
         "                  them and reads them back\n"
         "send              sends the whole setup again\n"
         "save FILE         saves the setup to a text file\n"
         "load FILE         loads a setup file and shows it; with --send, sends it\n"
         "restore-defaults  restores the printer's factory setup (where the model can)\n"
         "Asks before changing a printer when standard input is a terminal (--yes does not).\n",
         RunSetup, true},
        {"user", "whoami | login [--password-stdin] | network | su NAME [--password-stdin]",
         "the printer's shell user and network",
         "whoami   prints admin or user\n"
         "login    logs in as the administrator (the password is asked for)\n"
         "network  tells whether the printer has a network interface\n"
         "su       changes the shell user; the admin password is read from the terminal without\n"
         "         echo (or one line from standard input with --password-stdin), never from\n"
         "         the command line or the environment\n",
         RunUser, true},
    };
    return commands;
}

const Command* FindCommand(const std::string& name) {
    for (const Command& c : Commands()) {
        if (name == c.name)
            return &c;
    }
    return nullptr;
}

}  // namespace tarvo::cli

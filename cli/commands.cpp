#include "commands.h"

#include <algorithm>

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
        {"line", "set [baud=N] [parity=N|E|O] [data=7|8] [stop=1|2] [protocol=standard|xonxoff]",
         "move the printer and this computer to other line settings",
         "Tells the printer its new line settings, moves this computer to them and waits for\n"
         "the printer to answer there (Ctrl-C stops the wait); only then does the profile\n"
         "name the new line. Settings not given stay. When the printer does not answer, this\n"
         "computer goes back to the old line and says whether the printer answers there.\n"
         "Rates below 1200 and other stop bits cannot be told to a printer: only this\n"
         "computer moves, so set the printer to them first. Asks first at a terminal (--yes\n"
         "does not ask). Exit status 0 when the printer answers on the new line, 1 when not,\n"
         "130 when cancelled.\n",
         RunLine, true, true},
        {"models", "", "list the printer models Tarvo knows",
         "Lists the 42 models with their family, resolution and print speeds.\n", RunModels, false},
        {"identify", "", "tell which printer is attached",
         "Asks the printer which model it is and prints its model, program number and\n"
         "firmware. Exit status 0 when it was identified.\n",
         RunIdentify, true},
        {"autoconnect", "[--quiet]", "search ports and line settings for a printer",
         "Tries the parallel ports, then every serial port at every rate, data bits, parity\n"
         "and protocol until a known printer answers, printing each trial (--quiet does not).\n"
         "Serial devices no COM port names (a USB-serial adapter, say) are searched through\n"
         "the COM ports that have nothing behind them; a port where the printer answered keeps\n"
         "its device. The settings found are stored in the profile. Ctrl-C cancels and leaves\n"
         "the profile unchanged.\n"
         "Exit status 0 when a printer was found, 1 when none answered, 130 when cancelled.\n",
         RunAutoConnect, true, false, true},
        {"config",
         "show [--json] | diff A.tcf [B.tcf] [--json] | set NAME=VALUE... | "
         "pull FILE.tcf|- [--with-objects] | "
         "push FILE.tcf|- [--devices D1,D2,...|--ports P1,P2,...] [--force] | undo",
         "show, change, save and send the printer's configuration",
         "show     every setting the printer's model offers, lengths in inches or centimetres\n"
         "         by the profile's Measurements value (--json for scripts)\n"
         "diff     what differs between two configuration files (their object downloads and\n"
         "         deletions too), or between a file and the printer; exit status 0 when they\n"
         "         are the same, 1 when they differ, 2 for trouble\n"
         "set      changes settings (NAME=VALUE; lengths also take in, cm or mm, the emulation\n"
         "         its dpi or mil), checks them against the model, prints what will change,\n"
         "         sends the configuration and reads it back\n"
         "pull     saves the printer's configuration to a configuration file; with\n"
         "         --with-objects the object downloads and deletions the file already carries\n"
         "         (see `objects ... --to`) are kept behind it\n"
         "push     shows what a configuration file would change and sends it, then the\n"
         "         object downloads and deletions the file carries. With --devices D1,D2,... or\n"
         "         --ports P1,P2,... it goes to all of them at once, one process each, with a\n"
         "         line per printer and a table at the end (exit status 0 only when every\n"
         "         printer took it); a printer of another model than the file's is skipped\n"
         "         unless --force\n"
         "A file named - is standard output for pull and standard input for push.\n"
         "undo     sends back what the printer on this port held before the last set, push or\n"
         "         undo from this computer (kept in the data directory); prints what changes\n"
         "Asks before changing a printer when standard input is a terminal (--yes does not).\n",
         RunConfig, true, false, false, ConfigRunsOffline},
        {"objects", "list [KIND] | CHANGE... [--to FILE.tcf]",
         "list, download and delete fonts, graphics, formats and pages",
         "list [fonts|graphics|formats|pages]\n"
         "    reads the printer's listings and prints each object's number, name and size\n"
         "CHANGE is one of the following; several may follow each other and are committed\n"
         "together (deletions first), with a progress line:\n"
         "add-font (--face NAME | --file PATH) --id N --name NAME\n"
         "         (--points P | --size WxH | --outline)\n"
         "         [--chars letters|digits|printable|all|cp932|cp950|cp936|cp949]\n"
         "         [--lead RANGES --trail RANGES]\n"
         "    a host font (see `tarvo fonts`) or font file, converted character by character\n"
         "    at P points or WxH inches, or with --outline sent as its TrueType file; a file\n"
         "    ending in .ibf is sent as it is. The double-byte sets take their usual lead and\n"
         "    trail byte ranges unless given as hexadecimal ranges (e.g. --lead 88-89)\n"
         "add-graphic FILE --id N --name NAME (--scale S | --size WxH) [--rotate 0|90|180|270]\n"
         "    a .bmp file (uncompressed) or raw device bitmap, scaled by S or to WxH inches\n"
         "add-format FILE [--id N] [--name NAME]\n"
         "    a label-format or page command file; the number and name come from its header\n"
         "delete KIND ID\n"
         "    deletes font, graphic, format or page ID from the printer (asks first at a\n"
         "    terminal; elsewhere only with --yes)\n"
         "The printer's listings are read again afterwards: an object missing from them, or a\n"
         "printer that no longer answers, fails the command.\n"
         "With --to FILE.tcf nothing is sent: the printer's configuration and the changes are\n"
         "saved to FILE.tcf, which `config push` sends later.\n",
         RunObjects, true, true},
        {"fonts", "", "list the host's fonts that can be downloaded",
         "Lists the TrueType faces installed on this computer, as `objects add-font --face`\n"
         "takes them; a face that covers another character set is listed again with the set's\n"
         "name in parentheses.\n",
         RunFonts, false},
        {"graphic",
         "preview FILE [--scale S | --size WxH] [--rotate 0|90|180|270] "
         "[--emulation N] --out PNG",
         "show what a graphic download would print",
         "Converts FILE as `objects add-graphic` would (rotation, scaling to printer dots, the\n"
         "printed-pixel rule) and writes the result as a black-and-white PNG image. The\n"
         "emulation code (0..4, default 0) selects the dot size for --size; without --scale or\n"
         "--size the scale is 1.\n",
         RunGraphic, false},
        {"testprint",
         "(label hardware|quality|software|pitch | font ID [--points P] | graphic ID | "
         "barcode NAME | format N | page N) [--large]",
         "print a test label",
         "label     prints one of the printer's own test labels\n"
         "font, graphic, barcode\n"
         "          print a label composed for that object as a temporary format (the\n"
         "          profile's FormatLoc when free, else the lowest free format number), erased\n"
         "          again after printing\n"
         "format, page\n"
         "          print a stored format or page\n"
         "NAME is a sample name (case, blanks and underscores ignored: code128, QR_Code) or its\n"
         "index 0..19. --large composes a 4 x 6 in label instead of 2 x 3 in.\n"
         "Brakenholm printers: testprint label | font NAME | image NAME | symbology NAME\n"
         "prints at a sample size that fits the printer's head and puts the printer's own size\n"
         "back afterwards. Font and image names come from the printer's FONTS and IMAGES\n"
         "listings; symbology names as the printer names them (CODE128, PDF417), any case.\n"
         "Exit status 0 when printed.\n",
         RunTestPrint, true},
        {"quality-wizard", "", "find the media sensitivity and darkness with test labels",
         "Walks the print quality wizard's pages: the media type and speed, the media\n"
         "sensitivity number from what you know of the media and ribbon, test labels for the\n"
         "candidates, and the chosen number and darkness sent to the printer. Choices are\n"
         "numbered lists; an empty line keeps what is shown. Answers may come from a script\n"
         "on standard input, one line each (the wizard's own questions then take their\n"
         "default). Ctrl-C stops; a test label under way first gives the printer its\n"
         "settings back. Exit status 0 when finished, 1 when the answers ended first, 130\n"
         "when stopped.\n"
         "Brakenholm printers (setup tree 7.12): the paper type (a ribbon is checked for),\n"
         "a ribbon or label from the media tables BrakTTRMedia.txt and BrakDTMedia.txt\n"
         "($TARVO_HOME, else $XDG_DATA_HOME/tarvo, then tarvo/ under each $XDG_DATA_DIRS\n"
         "entry), the print speed, the contrast, and samples on the way, printed at a known\n"
         "size that the printer gets back at the end. Finish sends the values that changed;\n"
         "exit status 1 also when one of them was not sent.\n",
         RunQualityWizard, true},
        {"service", "[ITEM ...]", "read the printer's test-and-service values",
         "Puts the printer in test-and-service mode, reads the items and returns it to print\n"
         "mode. ITEM is G, L, M, P, S1, S2, S3, T, U or V (or 0..9; default all). An item the\n"
         "model does not offer shows 'not supported'. Exit status 1 when a reply was missing.\n",
         RunService, true, true},
        {"memory-check", "[--graphic FILE (--scale S | --size WxH)]...",
         "check that downloads fit the printer's memory",
         "Estimates the bytes the graphics would take, checks each against the model's size\n"
         "limit, and compares the total with the printer's free memory. Without graphics it\n"
         "shows the free memory. A file that cannot be read is named and not counted.\n"
         "Exit status 1 when it does not fit or a graphic is too large.\n",
         RunMemoryCheck, true, true},
        {"reset", "", "reset the printer's communication settings to factory values",
         "Resets the printer's line and stores the same settings in the profile, then prints\n"
         "them. Asks first at a terminal (--yes does not ask).\n",
         RunReset, true, true},
        {"diagnostics", "[--watch SECONDS] [--dot N] [--json]", "run the printer's diagnostics",
         "Lanmere printers: reads the diagnostics report (gap, mark, label taken, print-head\n"
         "temperature, label path, supplies and the print-head test) from the printer's\n"
         "test-and-service mode; a value the model does not measure is blank (null in JSON).\n"
         "--watch SECONDS reads it again every SECONDS until Ctrl-C, stopping at the first\n"
         "reading that fails.\n"
         "Brakenholm printers: the printer's status, its function tests (card, head, RAM,\n"
         "kernel, ROM), the whole print-head check and the mean resistance; --dot N also\n"
         "checks dot N against the mean (within 15 %). A silent printer shows \"No answer\".\n"
         "Exit status 0 when every test answered and passed, 1 otherwise, 2 for bad input.\n",
         RunDiagnostics, true},
        {"firmware",
         "verify DIR | download DIR [--yes] [--boot-mode] [--ignore-mismatch] [--port N] | "
         "download FILE.bin [--yes]",
         "check and download printer firmware",
         "verify    checks DIR (listfile.txt, flashldr.bin and the image it names) against the\n"
         "          printer: the image's checksum, its version texts and its program number\n"
         "download  verifies, asks before invalidating the running firmware (--yes does not\n"
         "          ask; off a terminal it refuses without --yes), invalidates it, downloads\n"
         "          through the boot loader with a progress\n"
         "          line, then identifies the printer and reports its new firmware. The files\n"
         "          are deleted after a good download and kept after any error.\n"
         "--boot-mode        the printer is already in its boot ROM: no identification, no\n"
         "                   invalidation\n"
         "--ignore-mismatch  download even when the image is for another printer (code 30)\n"
         "--port N           boot-loader port COM1..COM4 (default: the context's serial port)\n"
         "Errors print the firmware messages of the desktop program.\n"
         "Brakenholm printers: download FILE.bin compares the file's firmware with the\n"
         "printer's and asks (formatting \"c:\" and sending twice where the change needs it),\n"
         "sends it over Zmodem with a progress line, then offers the reboot that runs it.\n"
         "Escape-language printers on script hardware (G3-QEL .. TQ8e-QEL and the like):\n"
         "download FILE takes the firmware FILE itself (not a directory), asks (--yes does\n"
         "not ask; off a terminal it refuses without --yes), sends it over Zmodem on the line\n"
         "as it is with a progress line, then says to switch the printer off and on, since\n"
         "it has no reboot command. --boot-mode, --ignore-mismatch and --port do not apply.\n",
         RunFirmware, true},
        {"report", "[--sections comm,config,fonts,graphics,formats] (--log FILE | --print)",
         "write the configuration report to a log file or the printer",
         "Identifies the printer and reads its configuration and the object listings the chosen\n"
         "sections need, then writes the configuration report: pages of 60 lines of 80 characters\n"
         "with the communication settings, the configuration parameters and the font, graphic and\n"
         "format directories (all unless --sections names some).\n"
         "--log FILE  writes the report to FILE, replacing it whole; - writes it to standard\n"
         "            output\n"
         "--print     sends it as one plain-text job to the default print queue\n"
         "Lengths are in centimetres when the profile's Measurements value is Metric.\n"
         "Brakenholm printers: the sections are comm, config, fonts and images; the log file\n"
         "has CR LF line ends, the printed job is \"Tarvo Report Log\".\n"
         "Exit status 0 when the report was written, 1 when it failed, 2 for a usage error.\n",
         RunReport, true},
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
        {"files",
         "list [DEVICE] [--system] | put FILE [--as NAME] [--yes] | delete NAME... [--yes]",
         "a Brakenholm printer's files",
         "list    shows the files on DEVICE (c:, ram:, rom:, tmp:, card1:, card2:), by default\n"
         "        on \"c:\" and \"ram:\", with the bytes free; --system lists system files too;\n"
         "        --json gives name, extension and size of each file. A listing cut short or\n"
         "        without its closing line is said on stderr (exit status 1).\n"
         "delete  deletes files (NAME on the main device, or DEVICE/NAME) and lists the device\n"
         "        again: a file still there is reported (exit status 1). System files and names\n"
         "        with quotes, blanks or control characters are refused before anything is\n"
         "        sent (exit status 2). Asks at a terminal; off a terminal only with --yes.\n"
         "put   stores FILE on the printer (\"c:\", \"ram:\" on the oldest models) under its own\n"
         "      name or NAME: fonts and other files over Zmodem, .pcx and .bmp images with\n"
         "      IMAGE LOAD. The printer's room is checked first; its line settings are\n"
         "      restored afterwards. Exit status 0 when the file was stored.\n",
         RunFiles, true},
        {"clock", "get | set (--from-host | YYYY-MM-DD HH:MM:SS) [--yes]",
         "a Brakenholm printer's date and time",
         "get  prints the printer's date and time (\"2031-02-03 14:07:09\")\n"
         "set  sets them, from this computer's clock (--from-host) or as given, reads the\n"
         "     clock back and prints it. Asks first at a terminal (--yes does not ask).\n",
         RunClock, true},
        {"startup-program",
         "get | set tallyscript|swiftlane|windows-driver|labelkit|APPLICATION [--yes]",
         "a Brakenholm printer's command mode and resident program",
         "get  prints the current application mode (the printer's version 0)\n"
         "set  tallyscript or swiftlane switches the command mode and reads it back;\n"
         "     windows-driver, labelkit or a stored APPLICATION (NAME or c:/NAME.PRG) is started\n"
         "     with RUN, after which the printer no longer answers Tarvo. Starting a program\n"
         "     asks at a terminal, and off a terminal goes ahead only with --yes.\n",
         RunStartupProgram, true},
        {"reboot", "[--yes]", "reboot a Brakenholm printer and wait until it answers",
         "Sends reboot and asks the printer every 5 s, at most 24 times, whether it is back.\n"
         "Asks first at a terminal (--yes does not ask).\n",
         RunReboot, true},
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

bool WritesJson(const Command& command) {
    static const std::vector<std::string> kShowing = {
        "models",       "ports", "identify", "config", "objects",    "service",
        "memory-check", "setup", "fonts",    "files",  "diagnostics"};
    return std::find(kShowing.begin(), kShowing.end(), command.name) != kShowing.end();
}

bool NeedsPrinter(const Command& command, const CommandLine& line) {
    if (!command.needsContext || command.searchesPorts)
        return false;
    return command.runsOffline == nullptr || !command.runsOffline(line);
}

const Command* FindCommand(const std::string& name) {
    for (const Command& c : Commands()) {
        if (name == c.name)
            return &c;
    }
    return nullptr;
}

}  // namespace tarvo::cli

#include "command_line.h"

#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <map>
#include <string_view>

#include "printer_state.h"
#include "state_file.h"
#include "tarvo/base/fs.h"
#include "tarvo/base/notation.h"

namespace tarvo::sim {

const char* const kUsage =
    "Usage: tarvo-printersim [OPTION]...\n"
    "Plays a label printer on a pseudo-terminal until interrupted.\n"
    "\n"
    "  --family F           lanmere (QEL frames) or brakenholm (Tallyscript lines); follows\n"
    "                       the model when not given (default lanmere)\n"
    "  --model NAME|N       model name (\"6220E\", \"5200E (200dpi)\", \"TQ8e\") or number 0..24\n"
    "                       or 26..40 (default 6220E, or TQ8e for --family brakenholm)\n"
    "  --baud N             line speed (default 9600)\n"
    "  --data-bits 7|8      (default 7)\n"
    "  --parity E|O|N|M|S   (default E)\n"
    "  --stop-bits 1|2      (default 1)\n"
    "  --protocol P         xonxoff, standard or rtscts (default xonxoff)\n"
    "  --preamble C         character sent before every reply, e.g. '#' or '<SOH>' (lanmere)\n"
    "  --postamble C        character sent after every reply (lanmere)\n"
    "  --firmware TEXT      firmware version of a new printer (default 1.13)\n"
    "  --program-number T   program number answered in place of the model's own\n"
    "  --ident-reply TEXT   identification answer exactly as given (notation allowed): the\n"
    "                       answer to <ESC>M1, or to PRINT VERSION$(1) on a brakenholm printer\n"
    "  --options N          installed option answered to <ESC>O, 0 (none) to 4 (default 0)\n"
    "  --network NAME|none  network interface a shell model reports (default eth0)\n"
    "  --admin-password PW  password of the shell's admin user on a new printer\n"
    "                       (default admin)\n"
    "  --objects-from FILE  store the objects FILE lists, one per line in the state file's\n"
    "                       form: \"font.30 = Logo font,400,2048\" (kinds font, graphic,\n"
    "                       format, page; description, type, size in bytes)\n"
    "  --link PATH          also make PATH a symbolic link to the device\n"
    "  --state FILE         keep the printer's state in FILE between runs: firmware, memory,\n"
    "                       and for lanmere its configuration, objects and shell user; for\n"
    "                       brakenholm its setup tree, files, clock and shell user\n"
    "  --transcript FILE    append every byte exchanged to FILE\n"
    "  --pace               hold both directions to the line's real byte rate\n"
    "  --instant            answer at once, without the model's processing delay before\n"
    "                       each reply (docs/PERFORMANCE.md lists the delays)\n"
    "Test firmware:\n"
    "  --make-firmware DIR  write listfile.txt, flashldr.bin and a firmware image into DIR\n"
    "                       (with --family brakenholm: write the firmware file DIR, whose\n"
    "                       version text is \"Tallyscript\" and the --firmware-version)\n"
    "                       and exit; --model and --program-number choose the image's\n"
    "                       program number (default: the model's)\n"
    "  --firmware-version TEXT\n"
    "                       the image's firmware version, 1..8 characters (default 2.00);\n"
    "                       --version TEXT after --make-firmware means the same\n"
    "  --size BYTES         the image's size (default 262144)\n"
    "Faults:\n"
    "  --busy N             answer busy to the next N messages or enquiries (standard)\n"
    "  --lose-acks N        do not acknowledge the next N messages (standard)\n"
    "  --garbage TEXT       send TEXT (notation allowed) before the next reply\n"
    "  --silent             hear everything, answer nothing\n"
    "  --silent-after MSG   answer nothing more once the message MSG (a frame's body or a\n"
    "                       script line, notation allowed) has been heard\n"
    "  --split N            send replies in pieces of N bytes\n"
    "  --close-after N      cut the line after N reply bytes\n"
    "  --flood N            answer the next message with N bytes of noise\n"
    "  --nak-frames N       boot loader: answer NAK to the next N good frames\n"
    "  --cut-at-flash-write N\n"
    "                       boot loader: cut the line when the Nth flash write arrives\n"
    "  --cut-after-transfer N\n"
    "                       Brakenholm: cut the line once the Zmodem receiver took N bytes\n"
    "  --status N           Brakenholm: answer PRINT PRSTAT with the status bits N\n"
    "  --bad-dot N          Brakenholm: print-head dot N measures far out of tolerance\n"
    "  --clock-broken       answer PRINT DATE$ and PRINT TIME$ with \"Hardware error\"\n"
    "                       (brakenholm)\n"
    "  --refuse-kill PATH   refuse to KILL the file PATH (\"c:/NAME\") (brakenholm)\n"
    "  --help               show this help\n"
    "  --version            show the program's version\n";

namespace {

using Handler = std::function<std::string(const std::string& value, CommandLine*)>;

template <typename Number>
bool ParseNumber(const std::string& text, Number min, Number max, Number* value) {
    Number parsed{};
    const char* end = text.data() + text.size();
    const auto [rest, error] = std::from_chars(text.data(), end, parsed);
    if (text.empty() || error != std::errc() || rest != end || parsed < min || parsed > max) {
        return false;
    }
    *value = parsed;
    return true;
}

template <typename Number>
Handler NumberOption(const char* name, Number min, Number max,
                     std::function<void(Options&, Number)> store) {
    return [=](const std::string& value, CommandLine* line) -> std::string {
        Number number{};
        if (!ParseNumber(value, min, max, &number)) {
            return std::string("--") + name + " wants a number from " + std::to_string(min) +
                   " to " + std::to_string(max) + ", not \"" + value + "\"";
        }
        store(line->options, number);
        return {};
    };
}

std::string ParseFrameCharacter(const char* name, const std::string& value, char* character) {
    std::string bytes = value;
    if (!ExpandMnemonics(bytes) || bytes.size() != 1 || bytes[0] == '\0') {
        return std::string("--") + name + " wants one character, not \"" + value + "\"";
    }
    *character = bytes[0];
    return {};
}

std::string ParseProtocol(const std::string& value, CommandLine* line) {
    static const std::map<std::string, Protocol> kProtocols = {{"xonxoff", Protocol::XonXoff},
                                                               {"standard", Protocol::Standard},
                                                               {"rtscts", Protocol::RtsCts}};
    const auto it = kProtocols.find(value);
    if (it == kProtocols.end()) {
        return "--protocol wants xonxoff, standard or rtscts, not \"" + value + "\"";
    }
    line->options.line.protocol = it->second;
    return {};
}

std::string ParseParity(const std::string& value, CommandLine* line) {
    const char letter = value.size() == 1 ? static_cast<char>(std::toupper(value[0])) : 0;
    if (letter == 0 || std::string_view("EONMS").find(letter) == std::string_view::npos) {
        return "--parity wants E, O, N, M or S, not \"" + value + "\"";
    }
    line->options.line.parity = letter;
    return {};
}

std::string ParseModel(const std::string& value, CommandLine* line) {
    const int model = ModelIndexByName(value);
    if (model < 0)
        return "unknown model \"" + value + "\" (names, or numbers 0..24 and 26..40)";
    line->options.model = model;
    line->modelGiven = true;
    return {};
}

const char* FamilyName(Family family) {
    return family == Family::Brakenholm ? "brakenholm" : "lanmere";
}

std::string ParseFamily(const std::string& value, CommandLine* line) {
    for (Family family : {Family::Lanmere, Family::Brakenholm}) {
        if (value == FamilyName(family)) {
            line->options.family = family;
            line->familyGiven = true;
            return {};
        }
    }
    return "--family wants lanmere or brakenholm, not \"" + value + "\"";
}

std::string ParseProgramNumber(const std::string& value, CommandLine* line) {
    if (!ValidFirmware(value)) {
        return "--program-number wants 1 to 32 printable characters without a comma";
    }
    line->options.programNumber = value;
    return {};
}

std::string ParseIdentReply(const std::string& value, CommandLine* line) {
    std::string bytes = value;
    if (!ExpandMnemonics(bytes) || bytes.empty())
        return "--ident-reply wants 1 to 65535 characters";
    line->options.identReply = bytes;
    return {};
}

// The family and the model each follow the other when only one is named.
std::string MatchFamilyAndModel(CommandLine* line) {
    Options& options = line->options;
    if (line->modelGiven) {
        const Family family = FamilyOfModel(options.model).value_or(Family::Lanmere);
        if (line->familyGiven && family != options.family) {
            return "--model " + ModelName(options.model) + " is a " + FamilyName(family) +
                   " model, not " + FamilyName(options.family);
        }
        options.family = family;
    } else if (options.family == Family::Brakenholm) {
        options.model = ModelIndexByName("TQ8e");
    }
    return {};
}

std::string ParseFirmware(const std::string& value, CommandLine* line) {
    if (!ValidFirmware(value)) {
        return "--firmware wants 1 to 32 printable characters without a comma";
    }
    line->options.firmware = value;
    return {};
}

std::string ParseNetwork(const std::string& value, CommandLine* line) {
    if (value == "none") {
        line->options.networkInterface = "";
    } else if (ValidPassword(value)) {
        line->options.networkInterface = value;
    } else {
        return "--network wants an interface name of 1 to 32 printable characters, or none";
    }
    return {};
}

std::string ParseAdminPassword(const std::string& value, CommandLine* line) {
    if (!ValidPassword(value))
        return "--admin-password wants 1 to 32 printable characters without blanks";
    line->options.adminPassword = value;
    return {};
}

std::string ParseObjectsFrom(const std::string& path, CommandLine* line) {
    constexpr std::size_t kMaxListBytes = 1 << 20;
    std::string text;
    if (const int rc = platform::ReadSmallFile(path, kMaxListBytes, &text); rc != 0)
        return "--objects-from " + path + ": " + std::strerror(rc);
    std::string reason;
    if (!ParseObjectList(text, &line->options.objects, &reason))
        return "--objects-from " + path + ", " + reason;
    return {};
}

std::string StoreText(std::string Options::*field, const std::string& value, CommandLine* line) {
    line->options.*field = value;
    return {};
}

const std::map<std::string, Handler>& OptionsWithValue() {
    constexpr std::size_t kMaxBytes = std::numeric_limits<std::uint32_t>::max();
    static const std::map<std::string, Handler> kHandlers = {
        {"--family", ParseFamily},
        {"--model", ParseModel},
        {"--baud", NumberOption<unsigned>("baud", 50, 4000000,
                                          [](Options& o, unsigned v) { o.line.baud = v; })},
        {"--data-bits",
         NumberOption<int>("data-bits", 7, 8, [](Options& o, int v) { o.line.dataBits = v; })},
        {"--parity", ParseParity},
        {"--stop-bits",
         NumberOption<int>("stop-bits", 1, 2, [](Options& o, int v) { o.line.stopBits = v; })},
        {"--protocol", ParseProtocol},
        {"--preamble",
         [](const std::string& v, CommandLine* l) {
             return ParseFrameCharacter("preamble", v, &l->options.preamble);
         }},
        {"--postamble",
         [](const std::string& v, CommandLine* l) {
             return ParseFrameCharacter("postamble", v, &l->options.postamble);
         }},
        {"--firmware", ParseFirmware},
        {"--program-number", ParseProgramNumber},
        {"--ident-reply", ParseIdentReply},
        {"--options",
         NumberOption<int>("options", 0, 4, [](Options& o, int v) { o.installedOption = v; })},
        {"--network", ParseNetwork},
        {"--admin-password", ParseAdminPassword},
        {"--objects-from", ParseObjectsFrom},
        {"--link",
         [](const std::string& v, CommandLine* l) { return StoreText(&Options::linkPath, v, l); }},
        {"--state",
         [](const std::string& v, CommandLine* l) { return StoreText(&Options::statePath, v, l); }},
        {"--transcript", [](const std::string& v,
                            CommandLine* l) { return StoreText(&Options::transcriptPath, v, l); }},
        {"--nak-frames", NumberOption<int>("nak-frames", 0, 1000000,
                                           [](Options& o, int v) { o.faults.nakFrames = v; })},
        {"--cut-at-flash-write",
         NumberOption<int>("cut-at-flash-write", 0, 1000000,
                           [](Options& o, int v) { o.faults.cutLineDuringFlashWrite = v; })},
        {"--make-firmware",
         [](const std::string& v, CommandLine* l) {
             l->makeFirmwareDir = v;
             return v.empty() ? std::string("--make-firmware wants a directory") : std::string();
         }},
        {"--firmware-version",
         [](const std::string& v, CommandLine* l) {
             l->firmware.version = v;
             l->firmwareOptionGiven = true;
             return std::string();
         }},
        {"--size",
         [](const std::string& v, CommandLine* l) {
             l->firmwareOptionGiven = true;
             return ParseNumber<std::size_t>(v, kMinImageBytes, kMaxImageBytes, &l->firmware.size)
                        ? std::string()
                        : "--size wants a number from " + std::to_string(kMinImageBytes) + " to " +
                              std::to_string(kMaxImageBytes) + ", not \"" + v + "\"";
         }},
        {"--busy",
         NumberOption<int>("busy", 0, 1000000, [](Options& o, int v) { o.faults.busyCount = v; })},
        {"--lose-acks", NumberOption<int>("lose-acks", 0, 1000000,
                                          [](Options& o, int v) { o.faults.lostAcks = v; })},
        {"--silent-after",
         [](const std::string& v, CommandLine* l) {
             std::string message = v;
             ExpandMnemonics(message);
             l->options.faults.silentAfterMessage = message;
             return std::string();
         }},
        {"--garbage",
         [](const std::string& v, CommandLine* l) {
             l->options.faults.garbage = v;  // the printer expands the notation itself
             return std::string();
         }},
        {"--split",
         NumberOption<std::size_t>("split", 1, kMaxBytes,
                                   [](Options& o, std::size_t v) { o.faults.splitReplyAt = v; })},
        {"--close-after", NumberOption<std::size_t>("close-after", 1, kMaxBytes,
                                                    [](Options& o, std::size_t v) {
                                                        o.faults.closeAfterReplyBytes = v;
                                                    })},
        {"--cut-after-transfer",
         NumberOption<std::size_t>(
             "cut-after-transfer", 1, kMaxBytes,
             [](Options& o, std::size_t v) { o.faults.cutAfterTransferBytes = v; })},
        {"--refuse-kill",
         [](const std::string& v, CommandLine* l) {
             l->options.faults.refuseKill = v;
             return std::string();
         }},
        {"--status", NumberOption<int>("status", 0, 255,
                                       [](Options& o, int v) { o.faults.printerStatus = v; })},
        {"--bad-dot", NumberOption<int>("bad-dot", 0, 100000,
                                        [](Options& o, int v) { o.faults.badDot = v; })},
        {"--flood",
         NumberOption<std::size_t>("flood", 1, kMaxBytes,
                                   [](Options& o, std::size_t v) { o.faults.floodBytes = v; })},
    };
    return kHandlers;
}

// Switches without a value.
std::string ApplyFlag(const std::string& name, CommandLine* line) {
    if (name == "--pace") {
        line->options.pace = true;
    } else if (name == "--instant") {
        line->options.processingDelays = false;
    } else if (name == "--silent") {
        line->options.faults.silent = true;
    } else if (name == "--clock-broken") {
        line->options.faults.clockHardwareError = true;
    } else if (name == "--help") {
        line->help = true;
    } else if (name == "--version") {
        line->version = true;
    } else {
        return "unknown option " + name + " (see --help)";
    }
    return {};
}

}  // namespace

bool ParseCommandLine(const std::vector<std::string>& arguments, CommandLine* commandLine,
                      std::string* error) {
    CommandLine parsed;
    parsed.options.processingDelays = true;  // a printer takes its time unless told otherwise
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        std::string value;
        bool valueGiven = false;
        if (const auto equals = name.find('=');
            name.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
            valueGiven = true;
        }
        // "--version TEXT" once meant the test image's version; after --make-firmware it still
        // does, so that scripts written for it keep working. Anywhere else --version asks for
        // the program's version.
        if (name == "--version" &&
            (valueGiven || (!parsed.makeFirmwareDir.empty() && i + 1 < arguments.size() &&
                            arguments[i + 1].rfind("--", 0) != 0)))
            name = "--firmware-version";
        std::string problem;
        const auto& handlers = OptionsWithValue();
        if (const auto it = handlers.find(name); it != handlers.end()) {
            if (!valueGiven && i + 1 >= arguments.size()) {
                problem = name + " wants a value";
            } else {
                problem = it->second(valueGiven ? value : arguments[++i], &parsed);
            }
        } else if (name.rfind("--", 0) != 0) {
            problem = "unexpected argument \"" + name + "\" (see --help)";
        } else if (valueGiven) {
            problem = name + " takes no value";
        } else {
            problem = ApplyFlag(name, &parsed);
        }
        if (!problem.empty()) {
            *error = problem;
            return false;
        }
    }
    if (std::string problem = MatchFamilyAndModel(&parsed); !problem.empty()) {
        *error = problem;
        return false;
    }
    if (parsed.firmwareOptionGiven && parsed.makeFirmwareDir.empty()) {
        *error = "--firmware-version and --size belong to --make-firmware";
        return false;
    }
    parsed.firmware.model = parsed.options.model;
    parsed.firmware.programNumber = parsed.options.programNumber;
    *commandLine = parsed;
    return true;
}

}  // namespace tarvo::sim

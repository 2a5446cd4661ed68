#include "commands.h"

#include <signal.h>
#include <unistd.h>

#include <csignal>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>

#include "platform/paths.h"
#include "port/notation.h"
#include "port/port_names.h"
#include "tarvo/kernel.h"

namespace tarvo::cli {
namespace {

constexpr int kUsage = 2;

int FindErrorCode(int ctx) {
    return PCUErrInfo(ctx, nullptr, nullptr, nullptr);
}

std::string PortOf(int ctx) {
    commState comm{};
    PCUGetCommState(ctx, &comm);
    const std::string name = PortName(comm.port);
    return name.empty() ? "?" : name;
}

// Asks before changing a printer, but only a person at a terminal; scripts are never held up.
bool Confirm(const CommandLine& line, const std::string& question) {
    if (line.options.yes || !::isatty(STDIN_FILENO))
        return true;
    std::cerr << question << " [y/N] " << std::flush;
    std::string answer;
    if (!std::getline(std::cin, answer))
        return false;
    return answer == "y" || answer == "Y" || answer == "yes";
}

int RunPing(int ctx, const CommandLine& line) {
    if (!line.args.empty())
        return Fail("ping takes no arguments", kUsage);
    const std::string port = PortOf(ctx);
    if (PCUPing(ctx) == 1) {
        std::cout << "The printer on " << port << " answered.\n";
        return 0;
    }
    std::cout << "The printer on " << port << " did not answer.\n";
    return 1;
}

std::string ProfileString(const char* key, const char* fallback) {
    char value[4096];
    PCUGetProfileString("Communications", key, fallback, value, sizeof value, 0);
    return value;
}

int RunPorts(int /*ctx*/, const CommandLine& line) {
    if (!line.args.empty())
        return Fail("ports takes no arguments", kUsage);
    std::cout << "Logical ports (profile " << platform::ProfilePath() << "):\n";
    for (int i = 0; i < PCU_PORT_COUNT; ++i) {
        const std::string device =
            ProfileString(PortDeviceKey(i).c_str(), DefaultPortDevice(i).c_str());
        const bool mapped = device != kNoPortDevice;
        const bool present = mapped && std::filesystem::exists(device);
        std::printf("  %-5s %-40s %s\n", PortName(i).c_str(), device.c_str(),
                    !mapped   ? "(not mapped)"
                    : present ? ""
                              : "(missing)");
    }
    std::cout << "Serial devices on this machine:\n";
    int found = 0;
    for (const char* dir : {"/dev/serial/by-id", "/dev"}) {
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
            const std::string name = entry.path().filename().string();
            const bool serial = std::string(dir) != "/dev" || name.starts_with("ttyUSB") ||
                                name.starts_with("ttyACM") ||
                                (name.starts_with("ttyS") && name.size() <= 6);
            if (!serial)
                continue;
            std::cout << "  " << entry.path().string() << "\n";
            ++found;
        }
    }
    if (found == 0)
        std::cout << "  (none)\n";
    return 0;
}

int RunProfile(int /*ctx*/, const CommandLine& line) {
    const auto& a = line.args;
    if (a.size() == 2 && a[0] == "get") {
        char value[65536];
        const int rc =
            PCUGetProfileString("Communications", a[1].c_str(), "", value, sizeof value, 0);
        if (rc == PCU_ERR_PROFILE_OPEN) {
            return Fail("no profile at " + platform::ProfilePath());
        }
        if (rc == PCU_ERR_PROFILE_READ)
            return Fail("no value '" + a[1] + "' in the profile");
        if (rc != PCU_OK)
            return Fail("cannot read '" + a[1] + "' from the profile");
        std::cout << value << "\n";
        return 0;
    }
    if (a.size() == 3 && a[0] == "set") {
        if (PCUCreateProfile() != PCU_OK) {
            return Fail("cannot create the profile " + platform::ProfilePath());
        }
        const int rc = PCUWriteProfileString("Communications", a[1].c_str(), a[2].c_str(), 0);
        if (rc == PCU_ERR_ARGUMENT)
            return Fail("'" + a[1] + "' is not a valid key", kUsage);
        if (rc != PCU_OK)
            return Fail("cannot write '" + a[1] + "' to " + platform::ProfilePath());
        return 0;
    }
    return Fail("usage: tarvo profile get KEY | tarvo profile set KEY VALUE", kUsage);
}

int RunSend(int ctx, const CommandLine& line) {
    if (line.args.size() != 1)
        return Fail("usage: tarvo send TEXT", kUsage);
    const std::string& text = line.args[0];
    const std::string port = PortOf(ctx);
    if (!Confirm(line, "Send " + text + " to the printer on " + port + "?")) {
        return Fail("not sent");
    }
    if (PCUOpenPrinter(ctx) != 1)
        return Fail("cannot open the printer on " + port);
    if (PCUWritePrinter(ctx, text.c_str()) != 1) {
        PCUClosePrinter(ctx);
        return Fail("the printer on " + port + " did not take the message");
    }
    PCUWait(300);
    char reply[PCU_READ_BUFFER_SIZE];
    int count = 0;
    const int read = PCUReadPrinter(ctx, reply, &count);
    PCUClosePrinter(ctx);
    if (read != 1)
        return Fail("reading the reply from " + port + " failed");
    if (count == 0) {
        std::cout << "(no reply)\n";
    } else {
        std::cout << RenderMnemonics(std::string_view(reply, static_cast<std::size_t>(count)))
                  << "\n";
    }
    return 0;
}

std::string DescribeLine(const commState& c) {
    static constexpr const char* kParity[] = {"Even", "Odd", "None", "Mark", "Space"};
    static constexpr const char* kProtocol[] = {"XON/XOFF", "Standard", "RTS/CTS", "Parallel"};
    const bool known = c.parity >= 0 && c.parity <= 4 && c.protocol >= 0 && c.protocol <= 3;
    if (!known)
        return PortName(c.port) + " (unknown settings)";
    if (c.protocol == PCU_PROTOCOL_PARALLEL)
        return PortName(c.port) + " (parallel)";
    return PortName(c.port) + " " + std::to_string(c.baud) + " baud, " +
           std::to_string(c.dataBits) + " data bits, " + kParity[c.parity] + " parity, " +
           std::to_string(c.stopBits) + " stop bit" + (c.stopBits == 1 ? "" : "s") + ", " +
           kProtocol[c.protocol];
}

const char* FamilyOf(int model) {
    if (model < PROP_DEFAULT_MODEL)
        return "Lanmere";
    if (model == PROP_DEFAULT_MODEL)
        return "Lanmere (generic)";
    if (model < PROP_UNKNOWN_MODEL)
        return "Brakenholm";
    return "-";
}

int RunModels(int /*ctx*/, const CommandLine& line) {
    if (!line.args.empty())
        return Fail("models takes no arguments", kUsage);
    std::printf("%-3s %-16s %-18s %-5s %s\n", "#", "Model", "Family", "dpi", "Speeds (in/s)");
    for (int model = 0; model < propGetPrinterCount(); ++model) {
        char name[PROP_NAME_SIZE];
        propGetPrinterStr(model, name);
        std::string dpi = "-";
        std::string speeds;
        if (model < PROP_TABLE_MODELS) {
            dpi = std::to_string(static_cast<int>(25.4 / propGetMMPerDot(model) + 0.5));
            int cursor = 0;
            char text[PROP_SPEED_TEXT_SIZE];
            while (propEnumPrintSpeedStr(model, 0, &cursor, text) == 1) {
                speeds += (speeds.empty() ? "" : " ") + std::string(text);
            }
        }
        std::printf("%-3d %-16s %-18s %-5s %s\n", model, name, FamilyOf(model), dpi.c_str(),
                    speeds.empty() ? "-" : speeds.c_str());
    }
    return 0;
}

int RunIdentify(int ctx, const CommandLine& line) {
    if (!line.args.empty())
        return Fail("identify takes no arguments", kUsage);
    char model[PCU_ID_MODEL_SIZE] = "";
    char number[PCU_ID_NUMBER_SIZE] = "";
    char firmware[PCU_ID_FIRMWARE_SIZE] = "";
    const int rc = PCUGetPrinterID(ctx, model, number, firmware, 1);
    if (rc != PCU_OK) {
        return Fail("the printer on " + PortOf(ctx) + " was not identified: " + PCUErrStr(ctx) +
                    " (code " + std::to_string(rc) + ")");
    }
    std::cout << "Model:          " << model << "\n"
              << "Program number: " << number << "\n"
              << "Firmware:       " << firmware << "\n";
    return 0;
}

volatile std::sig_atomic_t gInterrupted = 0;

void OnInterrupt(int) {
    gInterrupted = 1;
}

void ReportTrial(void* /*user*/, unsigned message, int /*wParam*/, commState* trial) {
    if (message == PCU_MSG_AUTOCONNECT_TRIAL) {
        if (gInterrupted) {
            trial->cancelRequest = 1;
            return;
        }
        std::cout << "Trying " << DescribeLine(*trial) << std::endl;
    }
}

int RunAutoConnect(int ctx, const CommandLine& line) {
    if (!line.args.empty())
        return Fail("autoconnect takes no arguments", kUsage);
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    struct sigaction previous {};
    ::sigaction(SIGINT, &action, &previous);
    const PCUNotify notify{nullptr, ReportTrial};
    const int found = PCUAutoConnect(ctx, &notify);
    ::sigaction(SIGINT, &previous, nullptr);
    if (gInterrupted) {
        std::cout << "Cancelled; the profile is unchanged.\n";
        return 130;
    }
    commState c{};
    PCUGetCommState(ctx, &c);
    if (found == 1) {
        std::cout << "Found a printer on " << DescribeLine(c) << ".\n"
                  << "Stored in " << platform::ProfilePath() << ".\n";
        return 0;
    }
    const int error = FindErrorCode(ctx);
    if (error == PCU_ERR_PROFILE_OPEN || error == PCU_ERR_PROFILE_WRITE) {
        return Fail("found a printer on " + DescribeLine(c) + ", but could not store it in " +
                    platform::ProfilePath());
    }
    std::cout << "No printer answered.\n";
    return 1;
}

}  // namespace

int Fail(const std::string& message, int status) {
    std::cerr << "tarvo: error: " << message << "\n";
    return status;
}

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

#include "cli_support.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "shell/terminal_prompt.h"
#include "tarvo/base/port_names.h"
#include "tarvo/kernel.h"

namespace tarvo::cli {

int Fail(const std::string& message, int status) {
    std::cerr << "tarvo: error: " << message << "\n";
    return status;
}

int LastErrorCode(int ctx) {
    return PCUErrInfo(ctx, nullptr, nullptr, nullptr);
}

std::string PortOf(int ctx) {
    commState comm{};
    PCUGetCommState(ctx, &comm);
    const std::string name = PortName(comm.port);
    return name.empty() ? "?" : name;
}

namespace {

volatile std::sig_atomic_t gInterrupted = 0;

void OnInterrupt(int) {
    gInterrupted = 1;
}

}  // namespace

InterruptScope::InterruptScope() {
    gInterrupted = 0;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, &previous_);
}

InterruptScope::~InterruptScope() {
    ::sigaction(SIGINT, &previous_, nullptr);
}

bool InterruptScope::Interrupted() {
    return gInterrupted != 0;
}

bool IdentifyPrinter(int ctx, IdentifiedPrinter* printer) {
    char model[PCU_ID_MODEL_SIZE] = "";
    char number[PCU_ID_NUMBER_SIZE] = "";
    char firmware[PCU_ID_FIRMWARE_SIZE] = "";
    if (const int rc = PCUGetPrinterID(ctx, model, number, firmware, 1); rc != PCU_OK) {
        Fail("the printer on " + PortOf(ctx) + " was not identified: " + ErrorText(ctx, rc));
        return false;
    }
    printer->name = model;
    printer->model = propGetPrinterID(model);
    printer->number = number;
    printer->firmware = firmware;
    return true;
}

bool IdentifyLanmere(int ctx, IdentifiedPrinter* printer) {
    if (!IdentifyPrinter(ctx, printer))
        return false;
    if (printer->model < 0 || printer->model > PROP_DEFAULT_MODEL) {
        Fail("the printer on " + PortOf(ctx) + " (" + printer->name +
             ") is not configured with these commands");
        return false;
    }
    return true;
}

bool ReadPrinterConfiguration(int ctx) {
    if (const int rc = PCUGetCfg(ctx); rc != PCU_OK && rc != PCU_ERR_CLOSE) {
        Fail("reading the configuration from " + PortOf(ctx) + " failed: " + ErrorText(ctx, rc));
        return false;
    }
    return true;
}

namespace {

// The device the context's port maps to in the profile ("/dev/ttyUSB0"); "none" when it maps
// to none.
std::string DeviceOf(int ctx) {
    commState comm{};
    PCUGetCommState(ctx, &comm);
    return ProfileString(PortDeviceKey(comm.port).c_str(), DefaultPortDevice(comm.port).c_str());
}

// What stops a device from opening, in the user's words, with the fix when the user lacks
// permission. `error` is an errno value.
std::string DescribeOpenFailure(const std::string& port, const std::string& device, int error) {
    std::string text = "cannot open " + port + " (" + device + "): " + std::strerror(error);
    if (error == EACCES || error == EPERM) {
        text +=
            "; serial devices belong to the dialout group: join it with `sudo usermod -aG "
            "dialout $USER`, then log in again";
    }
    return text;
}

}  // namespace

int CheckPortOpens(int ctx) {
    const std::string port = PortOf(ctx);
    const std::string device = DeviceOf(ctx);
    if (device.empty() || device == kNoPortDevice)
        return Fail(port + " maps to no device; set one with `tarvo profile set Device." + port +
                    " /dev/ttyUSB0` (see `tarvo ports`)");
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return Fail(DescribeOpenFailure(port, device, errno));
    ::close(fd);
    return 0;
}

namespace {

// What a code means where the kernel's own text is only the generic one.
std::string CodeMeaning(int code) {
    switch (code) {
        case PCU_ERR_NO_ANSWER:
            return "the printer gave no usable answer";
        case PCU_ERR_CLOSE:
            return "closing the printer connection failed";
        case PCU_ERR_OPEN:
            return "the printer connection could not be opened";
        case PCU_ERR_NO_MEMORY:
            return "out of memory";
        case PCU_ERR_READ_CONFIG:
            return "the configuration could not be read from the printer";
        case PCU_ERR_UNKNOWN_DEVICE:
            return "no known printer answered";
        case PCU_ERR_PARSE_CONFIG:
            return "the printer's configuration reply could not be parsed";
        case PCU_ERR_PROFILE_OPEN:
            return "the profile does not exist or cannot be opened";
        case PCU_ERR_PROFILE_WRITE:
            return "a profile value cannot be written";
        case PCU_ERR_BUSY:
            return "another printer operation is still in progress";
        default:
            return "error";
    }
}

bool IsGeneric(const std::string& text) {
    return text.rfind("Error occurred in ", 0) == 0;
}

}  // namespace

std::string ErrorText(int ctx, int status) {
    const char* text = nullptr;
    const char* detail = nullptr;
    const int last = PCUErrInfo(ctx, &text, nullptr, &detail);
    const int code = status != 0 ? status : last;
    std::string message =
        code == last && text != nullptr && !IsGeneric(text) ? std::string(text) : CodeMeaning(code);
    if (code == last && detail != nullptr && *detail != '\0')
        message += " (" + std::string(detail) + ")";
    return message + " [code " + std::to_string(code) + "]";
}

std::string DescribeFileFailure(int ctx, int status, const std::string& path) {
    int sysError = 0;
    const char* detail = nullptr;
    PCUErrInfo(ctx, nullptr, &sysError, &detail);
    // The kernel names the failing line first ("line 4 of fleet.tcf", cut short); the path is
    // the caller's own.
    const std::string text = detail != nullptr ? detail : "";
    const std::string where =
        text.rfind("line ", 0) == 0 ? path + ", " + text.substr(0, text.find(" of ")) : path;
    std::string what;
    switch (status) {
        case PCU_ERR_FILE_WRITE:
            what = "cannot open " + path + ": " + std::strerror(sysError);
            break;
        case PCU_ERR_FILE_READ:
            what = "reading " + path + " failed: " + std::strerror(sysError);
            break;
        case PCU_ERR_FILE_MODEL:
            what = where +
                   ": not a configuration file: it must start with a line naming a Lanmere "
                   "printer model and firmware, then an R line";
            break;
        case PCU_ERR_FILE_PARSE:
            what = where +
                   ": a configuration command does not parse, a line is longer than 256 "
                   "characters, or the configuration part is longer than 4096 bytes";
            break;
        default:
            what = "loading " + path + " failed: " + PCUErrStr(ctx);
    }
    return what + " [code " + std::to_string(status) + "]";
}

std::string ProfileString(const char* key, const char* fallback) {
    char value[4096];
    PCUGetProfileString("Communications", key, fallback, value, sizeof value, 0);
    return value;
}

Consent Confirm(const CommandLine& line, const std::string& question, Stakes stakes) {
    if (line.options.yes)
        return Consent::Given;
    if (!::isatty(STDIN_FILENO)) {
        if (stakes == Stakes::Change)
            return Consent::Given;
        std::cerr << "tarvo: " << question << "\n"
                  << "tarvo: this cannot be undone and there is no terminal to ask; add --yes to "
                     "go ahead\n";
        return Consent::Refused;
    }
    app::TerminalPrompt prompt;
    const app::Question ask{"Tarvo", question, app::PromptButtons::YesNo, app::PromptIcon::Question,
                            app::PromptAnswer::No};
    return prompt.Ask(ask) == app::PromptAnswer::Yes ? Consent::Given : Consent::Declined;
}

int Declined(Consent consent, const std::string& message) {
    return Fail(message, consent == Consent::Refused ? kUsage : 1);
}

}  // namespace tarvo::cli

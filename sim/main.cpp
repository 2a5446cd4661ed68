// tarvo-printersim: a simulated label printer on a pseudo-terminal, for trying the programs
// without a printer and for testing them by hand.
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "command_line.h"
#include "firmware_image.h"
#include "tarvo/base/completion.h"
#include "tarvo/base/unique_fd.h"
#include "tarvo/base/version.h"
#include "tarvo/sim/printer_sim.h"

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitFailure = 1;

int Fail(int status, const std::string& message) {
    std::fprintf(stderr, "tarvo-printersim: %s\n", message.c_str());
    return status;
}

// Blocks the stop signals (before the line thread starts, so that it inherits the mask) and
// returns a descriptor that reads them.
tarvo::platform::UniqueFd OpenStopSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    if (::sigprocmask(SIG_BLOCK, &signals, nullptr) != 0)
        return {};
    return tarvo::platform::UniqueFd(::signalfd(-1, &signals, SFD_CLOEXEC));
}

void WaitForStopSignal(int signalFd) {
    signalfd_siginfo info{};
    while (::read(signalFd, &info, sizeof info) < 0 && errno == EINTR) {
    }
}

// `--complete`: the options, and the values of those that take a few known ones.
int CompleteOption(const tarvo::CompletionRequest& request) {
    const std::string option = request.previous();
    std::vector<std::string> values;
    if (option == "--model") {
        values = tarvo::ModelNames();
    } else if (option == "--family") {
        values = {"lanmere", "brakenholm"};
    } else if (option == "--parity") {
        values = {"E", "O", "N", "M", "S"};
    } else if (option == "--protocol") {
        values = {"xonxoff", "standard", "rtscts"};
    } else if (request.current().starts_with("-")) {
        values = tarvo::OptionsInText(tarvo::sim::kUsage);
    }
    tarvo::PrintCompletions(values, request.current());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (const auto request = tarvo::ReadCompletionRequest(argc, argv))
        return CompleteOption(*request);
    using namespace tarvo::sim;
    CommandLine commandLine;
    std::string error;
    if (!ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), &commandLine, &error)) {
        return Fail(kExitUsage, error);
    }
    if (commandLine.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (commandLine.version) {
        std::printf("tarvo-printersim %s\n", tarvo::kVersionText);
        return 0;
    }
    if (!commandLine.makeFirmwareDir.empty() &&
        commandLine.options.family == tarvo::sim::Family::Brakenholm) {
        if (!WriteScriptFirmware(commandLine.makeFirmwareDir, commandLine.firmware, &error))
            return Fail(kExitFailure, error);
        std::printf("tarvo-printersim: firmware written to %s\n",
                    commandLine.makeFirmwareDir.c_str());
        return 0;
    }
    if (!commandLine.makeFirmwareDir.empty()) {
        if (!WriteTestFirmware(commandLine.makeFirmwareDir, commandLine.firmware, &error))
            return Fail(kExitFailure, error);
        std::printf("tarvo-printersim: firmware %s written to %s\n",
                    TestFirmwareFileName(commandLine.firmware).c_str(),
                    commandLine.makeFirmwareDir.c_str());
        return 0;
    }
    const tarvo::platform::UniqueFd signals = OpenStopSignals();
    if (!signals) {
        return Fail(kExitFailure, std::string("cannot watch for signals: ") + std::strerror(errno));
    }
    PrinterSim printer(commandLine.options);
    if (!printer.start(&error)) {
        return Fail(kExitFailure, error);
    }
    std::printf("tarvo-printersim: %s on %s\n", ModelName(commandLine.options.model).c_str(),
                printer.devicePath().c_str());
    std::fflush(stdout);
    WaitForStopSignal(signals.get());
    printer.stop();
    return 0;
}

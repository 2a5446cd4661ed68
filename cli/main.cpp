// tarvo: the command-line front end, for scripts and fleets.
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>

#include "brakenholm_session.h"
#include "cli_support.h"
#include "command_line.h"
#include "commands.h"
#include "completion.h"
#include "tarvo/base/paths.h"
#include "tarvo/base/port_names.h"
#include "tarvo/base/version.h"
#include "tarvo/kernel.h"
#include "tarvo/sim/private_profile.h"
#include "tarvo/sim/simulation.h"

namespace {

using namespace tarvo::cli;

void PrintUsage() {
    std::cout << "usage: tarvo [OPTIONS] COMMAND [ARGS]\n\n"
                 "Configures thermal label printers on serial and parallel ports.\n\n"
                 "Options:\n"
                 "  --profile PATH      use this profile instead of the user's\n"
                 "  --port NAME         talk to the printer on NAME (COM1..COM4, LPT1..LPT3)\n"
                 "  --device PATH       talk to the printer on the device PATH (for example\n"
                 "                      /dev/ttyUSB0 or /dev/serial/by-id/...) with the\n"
                 "                      profile's line settings; the profile is not changed\n"
                 "  --family NAME       the printer family, lanmere or brakenholm; stored in the\n"
                 "                      profile as the selected family\n"
                 "  --simulate MODEL    talk to a simulated printer of MODEL (e.g. 6220E); it\n"
                 "                      remembers its state between runs. It runs in a private\n"
                 "                      profile (a copy of --profile's when one is given), so\n"
                 "                      no profile of yours is changed\n"
                 "  --simulate-fresh    start the simulated printer from its factory state\n"
                 "  --prescribed-timing wait the full prescribed time before every reply, for\n"
                 "                      printers that need it (the profile's Timing=Prescribed)\n"
                 "  --yes               do not ask before changing a printer; off a terminal,\n"
                 "                      commands that erase firmware, stored objects or factory\n"
                 "                      settings refuse without it (exit status 2)\n"
                 "  --help              show this help (after a command: the command's help)\n"
                 "  --version           show the program's version\n"
                 "  --json              write what the command shows or lists as JSON (models,\n"
                 "                      ports, identify, config show|diff, objects list, service,\n"
                 "                      memory-check, setup show, fonts, files list,\n"
                 "                      diagnostics)\n\n"
                 "Commands:\n";
    int width = 0;
    for (const Command& c : Commands())
        width = std::max(width, static_cast<int>(std::strlen(c.name)));
    for (const Command& c : Commands())
        std::printf("  %-*s  %s\n", width, c.name, c.summary);
    std::printf("  %-*s  %s\n", width, "help", "show a command's help: tarvo help COMMAND");
    std::cout << "\nEnvironment: TARVO_PROFILE (profile path), TARVO_TRACE=1 or FILE (log every\n"
                 "byte sent and received).\n";
}

void PrintCommandHelp(const Command& c) {
    std::cout << "usage: tarvo [OPTIONS] " << c.name << (c.synopsis[0] ? " " : "") << c.synopsis
              << "\n\n"
              << c.help;
}

// Moves the context to another port; a parallel port brings its own protocol.
void MoveToPort(int ctx, int port) {
    commState comm{};
    PCUGetCommState(ctx, &comm);
    comm.port = port;
    if (port >= PCU_PORT_LPT1)
        comm.protocol = PCU_PROTOCOL_PARALLEL;
    PCUSetCommState(ctx, &comm);
}

// Maps the context's port to `device` in this run's private profile; the port layer reads the
// mapping when it opens the port.
void PointPortAt(int ctx, const std::string& device) {
    commState comm{};
    PCUGetCommState(ctx, &comm);
    PCUWriteProfileString("Communications", tarvo::PortDeviceKey(comm.port).c_str(), device.c_str(),
                          0);
}

int Run(const CommandLine& line) {
    const GlobalOptions& o = line.options;
    if (o.version) {
        std::cout << "tarvo " << tarvo::kVersionText << "\n";
        return 0;
    }
    if (line.command == "help") {
        if (line.args.empty()) {
            PrintUsage();
            return 0;
        }
        const Command* command = FindCommand(line.args.front());
        if (command == nullptr)
            return Fail("unknown command '" + line.args.front() + "' (see tarvo --help)", 2);
        PrintCommandHelp(*command);
        return 0;
    }
    if (line.command.empty()) {
        PrintUsage();
        return o.help ? 0 : 2;
    }
    const Command* command = FindCommand(line.command);
    if (command == nullptr)
        return Fail("unknown command '" + line.command + "'", 2);
    if (line.commandHelp || o.help) {
        PrintCommandHelp(*command);
        return 0;
    }
    if (o.json && !WritesJson(*command))
        return Fail(std::string(command->name) + " shows nothing to write as JSON", 2);
    if (!o.port.empty() && tarvo::PortIndexOf(o.port) < 0)
        return Fail("unknown port '" + o.port + "' (COM1..COM4, LPT1..LPT3)", 2);
    if (!o.profile.empty())
        ::setenv("TARVO_PROFILE", o.profile.c_str(), 1);
    if (o.prescribedTiming)
        PCUSetTiming(PCU_TIMING_PRESCRIBED);

    tarvo::sim::Simulation simulation;
    std::string error;
    if (!o.simulate.empty() && !simulation.makePrivateProfile(o.profile, &error))
        return Fail(error);
    tarvo::sim::PrivateProfile deviceProfile;
    if (!o.device.empty() && !deviceProfile.make(tarvo::platform::ProfilePath(), &error))
        return Fail(error);
    if (!o.family.empty()) {
        const char* family = o.family == "brakenholm" ? "Brakenholm" : "Lanmere";
        if (PCUCreateProfile() != PCU_OK ||
            PCUWriteProfileString("Communications", "Family", family, 0) != PCU_OK)
            return Fail("cannot store the family in the profile");
    }
    int ctx = 0;
    if (command->needsContext || !o.simulate.empty()) {
        ctx = PCUCfgInit();
        if (ctx == 0)
            return Fail("cannot create a printer context");
    }
    if (!o.simulate.empty()) {
        commState comm{};
        PCUGetCommState(ctx, &comm);
        if (!simulation.start(o.simulate, comm, o.simulateFresh, &error))
            return Fail(error);
        PCUInitCommParm(ctx);  // the profile now names the printer's family
    }
    if (!o.port.empty() && ctx != 0)
        MoveToPort(ctx, tarvo::PortIndexOf(o.port));
    if (!o.device.empty() && ctx != 0)
        PointPortAt(ctx, o.device);
    if (command->lanmereOnly && IsBrakenholmContext(ctx))
        return Fail(
            std::string(command->name) + " serves Lanmere-family (escape-language) printers only",
            2);
    if (NeedsPrinter(*command, line)) {
        if (const int status = CheckPortOpens(ctx); status != 0)
            return status;
    }
    return command->run(ctx, line);
}

}  // namespace

int main(int argc, char** argv) {
    if (const auto request = tarvo::ReadCompletionRequest(argc, argv))
        return Complete(*request);
    std::string error;
    const auto line = ParseCommandLine(argc, argv, &error);
    if (!line)
        return Fail(error + " (see tarvo --help)", 2);
    return Run(*line);
}

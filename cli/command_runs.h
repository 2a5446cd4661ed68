// The commands of `tarvo`, one function each: run with the context (0 for commands that need
// none) and the command line; return the exit status.
#pragma once

#include "command_line.h"

namespace tarvo::cli {

int RunPing(int ctx, const CommandLine& line);
int RunPorts(int ctx, const CommandLine& line);
int RunProfile(int ctx, const CommandLine& line);
int RunSend(int ctx, const CommandLine& line);
int RunModels(int ctx, const CommandLine& line);
int RunIdentify(int ctx, const CommandLine& line);
int RunAutoConnect(int ctx, const CommandLine& line);
int RunObjects(int ctx, const CommandLine& line);
int RunConfig(int ctx, const CommandLine& line);
int RunUser(int ctx, const CommandLine& line);
int RunSetup(int ctx, const CommandLine& line);

}  // namespace tarvo::cli

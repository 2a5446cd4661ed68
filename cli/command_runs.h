// The commands of `tarvo`, one function each: run with the context (0 for commands that need
// none) and the command line; return the exit status.
#pragma once

#include "command_line.h"

namespace tarvo::cli {

int RunPing(int ctx, const CommandLine& line);
int RunPorts(int ctx, const CommandLine& line);
int RunProfile(int ctx, const CommandLine& line);
int RunSend(int ctx, const CommandLine& line);
int RunLine(int ctx, const CommandLine& line);
int RunModels(int ctx, const CommandLine& line);
int RunIdentify(int ctx, const CommandLine& line);
int RunAutoConnect(int ctx, const CommandLine& line);
int RunObjects(int ctx, const CommandLine& line);
// `objects add-font|add-graphic|add-format|delete ...`, reached through RunObjects.
int RunObjectChanges(int ctx, const CommandLine& line);
// The kinds of object a command works on.
struct ObjectKinds {
    bool fonts = false, graphics = false, formats = false, pages = false;
};
// Replaces the context's lists of the chosen kinds by the printer's listings. False, after
// saying why, when one could not be read (a printer that stopped answering among them).
bool ReadObjectLists(int ctx, const ObjectKinds& kinds);
// Prints the context's lists of the chosen kinds as they stand.
void PrintObjectLists(int ctx, const ObjectKinds& kinds);
int RunFonts(int ctx, const CommandLine& line);
int RunGraphic(int ctx, const CommandLine& line);
int RunTestPrint(int ctx, const CommandLine& line);
int RunQualityWizard(int ctx, const CommandLine& line);
int RunService(int ctx, const CommandLine& line);
int RunMemoryCheck(int ctx, const CommandLine& line);
int RunReset(int ctx, const CommandLine& line);
int RunDiagnostics(int ctx, const CommandLine& line);
int RunReport(int ctx, const CommandLine& line);
int RunFirmware(int ctx, const CommandLine& line);
int RunConfig(int ctx, const CommandLine& line);
// True for the `config` runs that need no printer on the port: `diff A B`, and `push` to the
// devices or ports it names.
bool ConfigRunsOffline(const CommandLine& line);
// `config diff ...`, reached through RunConfig.
int RunConfigDiff(int ctx, const CommandLine& line);
int RunUser(int ctx, const CommandLine& line);
int RunSetup(int ctx, const CommandLine& line);
int RunFiles(int ctx, const CommandLine& line);
int RunReboot(int ctx, const CommandLine& line);
// `files list` and `files delete`, reached through RunFiles.
int RunFileListing(int ctx, const CommandLine& line);
int RunFileDeletion(int ctx, const CommandLine& line);
int RunClock(int ctx, const CommandLine& line);
int RunStartupProgram(int ctx, const CommandLine& line);
// The Brakenholm road of `tarvo firmware`.
int RunBrakFirmware(int ctx, const CommandLine& line);
// `tarvo firmware download FILE` for an escape-language printer on script hardware: the file
// over Zmodem on the line as it is, after which the printer is switched off and on by hand.
int RunEscapeZmodemFirmware(int ctx, const CommandLine& line, const std::string& path);
// `report` and `testprint` for a Brakenholm printer, reached through RunReport and RunTestPrint.
int RunBrakReport(int ctx, const CommandLine& line);
int RunBrakTestPrint(int ctx, const CommandLine& line);

}  // namespace tarvo::cli

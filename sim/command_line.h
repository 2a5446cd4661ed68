// The options of tarvo-printersim.
#pragma once

#include <string>
#include <vector>

#include "firmware_image.h"
#include "tarvo/sim/printer_sim.h"

namespace tarvo::sim {

struct CommandLine {
    Options options;
    bool help = false;
    bool version = false;  // a bare --version: print the program's version
    // Whether the family and the model were named; each follows the other when not.
    bool familyGiven = false;
    bool modelGiven = false;
    // --make-firmware DIR: write a test firmware directory there instead of playing a printer.
    // --model and --program-number then choose the image's program number.
    std::string makeFirmwareDir;
    TestFirmwareOptions firmware;
    bool firmwareOptionGiven = false;  // --firmware-version or --size
};

// Parses the arguments after the program name. Returns false with a one-line message in
// *error for a usage error.
bool ParseCommandLine(const std::vector<std::string>& arguments, CommandLine* commandLine,
                      std::string* error);

extern const char* const kUsage;

}  // namespace tarvo::sim

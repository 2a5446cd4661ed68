// The simulated printer of a benchmark and the profile values that point the kernel at it.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tarvo/context.h"
#include "tarvo/sim/printer_sim.h"

namespace tarvo::bench {

// Stores `value` under `key` in the (sandbox's) profile.
inline void SetProfile(const std::string& key, const std::string& value) {
    PCUWriteProfileString("Communications", key.c_str(), value.c_str(), 0);
}

// Starts `printer` and maps COM1 to it; a printer that cannot start ends the benchmark.
inline void StartOnCom1(sim::PrinterSim& printer) {
    std::string error;
    if (!printer.start(&error)) {
        std::fprintf(stderr, "bench: %s\n", error.c_str());
        std::exit(1);
    }
    SetProfile("Device.COM1", printer.devicePath());
}

}  // namespace tarvo::bench

// Helpers for asserting on what crossed the line.
#pragma once

#include <string>

#include "tarvo/sim/printer_sim.h"

namespace tarvo::test {

// Every byte that went one way, in order, spelled in the control-character notation.
std::string HostSent(const sim::PrinterSim& printer);
std::string PrinterSent(const sim::PrinterSim& printer);

}  // namespace tarvo::test

// The configuration values as they cross between the program and the kernel, and the model's
// own defaults and resident fonts.
//
// Three rules hold at the boundary: value 0 carries the selected model; value 2 (the emulation)
// is kept in the program's order and translated both ways; values 28 and 29 (the status
// preamble and postamble characters) follow the settings "Preamble" and "Postamble".
#pragma once

#include "desk/desk.h"

namespace tarvo::app {

// The program's order of a kernel emulation value (and back); -1 for a value outside 0..4. The
// orders themselves are the shared emulation table's (EmulationToProgramOrder).
int EmulationFromKernel(int kernelValue);
int EmulationToKernel(int programValue);

// The 43 values with value 2 translated to the kernel's order (and back); a value 2 that has no
// translation stays as it is.
using ConfigArray = std::array<int, PROP_SETTING_COUNT>;
ConfigArray ValuesInKernelOrder(const ConfigArray& programValues);
ConfigArray ValuesInProgramOrder(const ConfigArray& kernelValues);

// Copies the kernel context's 43 values into desk.config.values (value 2 translated; an
// untranslatable value 2 is kept as the kernel gave it). Returns the kernel's result (PCU_OK
// or its error); on failure the values are unchanged.
int FetchValues(Desk& desk);

// As FetchValues, then puts the first characters of "Preamble" and "Postamble" (0 when empty)
// into values 28 and 29: what follows every read from the printer. The result is also kept as
// the printer's values (desk.config.printerValues).
int FetchPrinterValues(Desk& desk);

// Puts the 43 values into the kernel context, value 0 set to the selected model and value 2
// translated (desk.config.values itself is not changed). Returns the kernel's result.
int StoreValues(Desk& desk);

// Writes "Preamble" and "Postamble" as one-character texts of values 28 and 29 ("" for 0).
void WriteAmbles(const Desk& desk);

// The model's defaults for all 43 values; sets the configuration-not-retrieved flag.
void LoadModelDefaults(Desk& desk, int model);

// Registers the model's resident fonts with the kernel context (font number, 12-character
// name and font kind from each resident-font text). Returns how many were registered.
int RegisterResidentFonts(Desk& desk);

// Whether the line rate `baud` suits `model`: within the model's slowest and fastest rate.
bool BaudAllowed(int baud, int model);

// Reads the printer's object counts (and, when asked, its network record) when the model has
// a directory command; otherwise registers the resident fonts. Results of the directory reads are
// returned: PCU_OK or the first failure (the counts read so far stay).
int ReadPrinterObjects(Desk& desk, bool withNetwork, bool withPages);

}  // namespace tarvo::app

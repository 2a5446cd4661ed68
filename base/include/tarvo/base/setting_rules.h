// Rules over the model tables for the configuration settings: whether a change can reach a
// printer, which start and end characters the configuration text can carry, the two orders of
// the printer emulation, and the units of the length settings. Shared by the kernel, the
// programs and the simulated printer, so what the tools offer and what the kernel sends agree.
#pragma once

#include <string>
#include <string_view>

namespace tarvo {

// True when a change to `setting` reaches a printer of `model` with `firmware`: the
// configuration text carries it. Settings derived or reported by the printer (7, 8, 16), the
// serial flag (39) and the second speed (40) never do; the take-up adjustment (21) is sent only
// to models 6220 and 6240 although the tables offer it on 6220E and 6240E as well; the others
// follow the model and firmware conditions of the configuration text. A printer may still
// ignore a value its model does not offer (SettingSupported / propCfgSupport), so a tool that
// refuses what cannot take effect checks both. When false, *why (may be null) receives a
// sentence for the user.
bool SettingReachesPrinter(int model, std::string_view firmware, int setting, std::string* why);

// Start and end characters that the configuration text can carry: a `;` would end the command
// early and a `<` would be read as the start of a control-character name. When false, *why (may
// be null) receives a sentence for the user.
bool FrameCharacterCarried(int value, std::string* why);

// Printer emulation has two orders. The record, PCUGetParms and PCUPutParms use the kernel's:
// the index into the dots-per-inch table (0 100, 1 200, 2 66, 3 400, 4 300). The model tables'
// mask and default for setting 2 use the program's: 0 "2.5 mil", 1 "3.3 mil", 2 "5 mil",
// 3 "10 mil", 4 "15 mil". Both conversions give -1 outside 0..4.
int EmulationToProgramOrder(int kernelValue);
int EmulationToKernelOrder(int programValue);

// "2.5 mil" .. "15 mil" for a kernel-order emulation; empty outside 0..4.
std::string_view EmulationMilText(int kernelValue);

// True when the model tables allow the kernel-order emulation on `model`.
bool EmulationAllowed(int model, int kernelValue);

// The model's default emulation in kernel order; -1 for a model without table rows.
int DefaultEmulation(int model);

// Millimetres per unit of a length setting on `model`: label length (15) counts eighths of a
// millimetre; label width (31), top of form (18) and trail margin (19) count dots of the model's
// pitch. 0 for any other setting or a model without table rows.
double SettingMillimetresPerUnit(int model, int setting);

}  // namespace tarvo

// The configuration record by setting index: which field a setting is tied to, its width and
// kind, whether a change to it can reach the printer, and the units and orders the program
// shows it in. The exports PCUGetParms / PCUPutParms and the command-line tool both go through
// here, so what the tool offers and what the kernel sends can never disagree.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "config/config_record.h"

namespace tarvo {

inline constexpr int kConfigSettingCount = 43;

// Kinds PCUGetParms reports.
enum ParmKind : int {
    kParmByte = 0,     // 8-bit field, zero-extended
    kParmSigned = 1,   // signed 32-bit field
    kParmWord = 2,     // 16-bit field (top of form sign-extended, the rest zero-extended), and
                       // the print speed
    kParmNoField = 5,  // the index is tied to no field; the value is 0
};

// Width in bytes (1, 2 or 4) of the field behind `setting`; 0 when the index has no field.
int SettingFieldWidth(int setting);

// The kind PCUGetParms reports for `setting` (kParmNoField outside 0..42 and for setting 1).
int SettingParmKind(int setting);

// The field's value, extended to int as PCUGetParms reports it; 0 for an index without a field.
int ReadSetting(const ConfigRecord& record, int setting);

// Stores the first SettingFieldWidth(setting) bytes of the 4-byte `slot` in the field (an 8-bit
// field takes the slot's first byte, a 16-bit field its first two, a 32-bit field all four).
// Returns false, changing nothing, for an index without a field.
bool WriteSetting(ConfigRecord& record, int setting, const unsigned char (&slot)[4]);

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

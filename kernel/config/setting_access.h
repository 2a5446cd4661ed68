// The configuration record by setting index: which field a setting is tied to, its width and
// kind, whether a change to it can reach the printer, and the units and orders the program
// shows it in. The exports PCUGetParms / PCUPutParms and the command-line tool both go through
// here, so what the tool offers and what the kernel sends can never disagree.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "session/config_record.h"

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

}  // namespace tarvo

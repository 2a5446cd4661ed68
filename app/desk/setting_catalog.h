// The Lanmere configuration settings as both programs name and show them: a name per setting
// index, how its value reads for people (lengths in inches or centimetres, speeds, the printer
// emulation by dots per inch and mil, flags, characters), and the list of what a send changes.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tarvo/models.h"

namespace tarvo::app {

enum class Shown { Number, Flag, Length, Speed, Emulation, CharSet, Character, Milliseconds };

struct LanSetting {
    int index;
    const char* name;
    Shown shown;
};

// Every setting that has a name, in display order.
const std::vector<LanSetting>& LanSettings();

// The entry for `name` (exact), or null.
const LanSetting* FindLanSetting(const std::string& name);

// How lengths are shown: the profile's Measurements value ("English" means inches).
enum class Units { Inches, Centimetres };
Units ProfileUnits();

// The 43 values as the kernel moves them (PCUGetParms / PCUPutParms order and meaning).
using LanValues = std::array<int, PROP_SETTING_COUNT>;

// The kernel's 43 values of context `ctx` (zeros for a context that does not exist).
LanValues ReadKernelValues(int ctx);

// True when `model` with `firmware` offers `setting` and a change to it reaches the printer:
// what a send can change and what a change list shows.
bool SettingSendable(int model, std::string_view firmware, int setting);

// One line of a change list: the setting and its two values as people read them.
struct SettingChange {
    const LanSetting* setting;
    std::string before;
    std::string after;
};

// The settings whose values differ between `before` (what the printer holds) and `after` (what
// a send gives it), in display order, among those SettingSendable allows.
std::vector<SettingChange> ListChanges(int model, std::string_view firmware,
                                       const LanValues& before, const LanValues& after,
                                       Units units);

// "  print-speed            6.0 in/s -> 8.0 in/s" for each change, one per line; "  (none)" for
// an empty list.
std::string ChangesText(const std::vector<SettingChange>& changes);

// `value` of `setting` on `model` as people read it ("2.54 in (203 dots)", "6.0 in/s",
// "200 dpi (5 mil)").
std::string ShowValue(const LanSetting& setting, int model, int value, Units units);

// Parses what a person typed for `setting` on `model` into the record's value: a plain number
// is taken in the printer's own units; lengths also accept "in", "cm" and "mm"; speeds their
// text in inches per second; the emulation "200dpi" or "5mil"; flags on/off/yes/no. nullopt with
// *why set when the text cannot be read.
std::optional<int> ParseValue(const LanSetting& setting, int model, const std::string& text,
                              std::string* why);

// Whether `value` lies in the model's domain for the setting; when not, *why names the allowed
// values.
bool InDomain(const LanSetting& setting, int model, int value, Units units, std::string* why);

}  // namespace tarvo::app

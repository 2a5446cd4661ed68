// The configuration settings as the command-line tool names and shows them: a name per setting
// index, and how its value reads for people (lengths in inches or centimetres, speeds, the
// printer emulation by dots per inch and mil, flags, characters).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tarvo::cli {

enum class Shown { Number, Flag, Length, Speed, Emulation, CharSet, Character, Milliseconds };

struct SettingName {
    int index;
    const char* name;
    Shown shown;
};

// Every setting that has a name, in display order.
const std::vector<SettingName>& SettingNames();

// The entry for `name` (exact), or null.
const SettingName* FindSettingName(const std::string& name);

// How lengths are shown: the profile's Measurements value ("English" means inches).
enum class Units { Inches, Centimetres };
Units ProfileUnits();

// `value` of `setting` on `model` as people read it ("2.54 in (203 dots)", "6.0 in/s",
// "200 dpi (5 mil)").
std::string ShowValue(const SettingName& setting, int model, int value, Units units);

// Parses what a person typed for `setting` on `model` into the record's value: a plain number
// is taken in the printer's own units; lengths also accept "in", "cm" and "mm"; speeds their
// text in inches per second; the emulation "200dpi" or "5mil"; flags on/off/yes/no. nullopt with
// *why set when the text cannot be read.
std::optional<int> ParseValue(const SettingName& setting, int model, const std::string& text,
                              std::string* why);

// Whether `value` lies in the model's domain for the setting; when not, *why names the allowed
// values.
bool InDomain(const SettingName& setting, int model, int value, Units units, std::string* why);

}  // namespace tarvo::cli

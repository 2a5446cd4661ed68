// Settings as text, for `setup show` and `setup set` of the command-line tool: the value a
// field holds, and a typed value checked and stored into the record.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "brakenholm/brak_setup.h"

namespace tarvo::app {

// The value of `setting` as the printer writes it ("19200", "ENABLE", "LABEL (w GAPS)", "-20"),
// or "(not read)" when the record holds none.
std::string SettingValueText(BrakSetting setting, const BrakSetup& setup, int generation);

// Stores `text` as the value of `setting` for a printer of `generation`. Table values are
// matched without regard to case; numbers must be plain decimals within the field's range.
// Returns why the value was refused (the record is then unchanged), or nullopt.
std::optional<std::string> SetSettingFromText(BrakSetting setting, std::string_view text,
                                              int generation, BrakSetup& setup);

}  // namespace tarvo::app

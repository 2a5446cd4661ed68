// The configuration a Lanmere printer keeps: the values its <SI> commands and the few other
// configuration commands carry, numbered by the host's setting indices, and the values of the
// commands its reply carries that no host reads (<SI>H, r, s, U, Z).
#pragma once

#include <array>
#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "tarvo/sim/printer_sim.h"

namespace tarvo::sim {

inline constexpr int kSettingCount = 43;

// Settings of the host's numbering that a printer holds no value for: the model, a setting tied
// to no field, free memory and the image buffer (asked separately), paper handling (derived by
// the host) and the second speed (never sent).
bool KeepsSetting(int setting);

// The name of a kept setting in the state file ("darkness"); empty for other indices.
std::string_view SettingName(int setting);

// The kept setting of that name, or -1.
int SettingByName(std::string_view name);

// Letters of the reply commands whose values no host reads, and how many numbers each takes.
inline constexpr std::string_view kExtraLetters = "HUZrs";
bool ExtraCountFits(char letter, std::size_t count);

struct PrinterConfig {
    std::array<ConfigValue, kSettingCount> settings{};  // kept settings only
    std::map<char, std::vector<ConfigValue>> extras;    // by letter of kExtraLetters

    bool operator==(const PrinterConfig&) const = default;
};

// A new printer's configuration: the model's defaults from the host's tables, which also hold
// a plausible value for settings the model does not offer.
PrinterConfig DefaultConfig(int model);

// Empty when `model` can hold `value` for kept `setting` (the model's default always can);
// otherwise why not.
std::string CheckSettingValue(int model, int setting, int value);

// Whether the commands of `setting` can say that a value is unknown: the status flags and the
// frame characters cannot.
bool CanBeUnknown(int setting);

// Whether the printer takes `setting` from a host: the model offers it from this firmware on.
// Commands for settings it does not offer leave their fixed values alone.
bool TakesSetting(int model, const std::string& firmware, int setting);

}  // namespace tarvo::sim

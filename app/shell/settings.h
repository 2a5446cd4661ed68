// The program's persisted settings: named text values in the per-user profile that the kernel
// keeps (PCUGetProfileString / PCUWriteProfileString). The kernel reads the line settings from
// the same values when it loads a context (PCUInitCommParm).
#pragma once

#include <string>
#include <string_view>

namespace tarvo::app {

// Where the values belong; the kernel's profile keeps a single section, so this only documents.
inline constexpr const char* kSettingsSection = "Version 2.1";

namespace setting {
inline constexpr std::string_view kPort = "Port";
inline constexpr std::string_view kPrinter = "Printer";
inline constexpr std::string_view kBaud = "Baud";
inline constexpr std::string_view kParity = "Parity";
inline constexpr std::string_view kDataBits = "DataBits";
inline constexpr std::string_view kStopBits = "StopBits";
inline constexpr std::string_view kProtocol = "Protocol";
inline constexpr std::string_view kDefaultEnabled = "DefaultEnabled";
inline constexpr std::string_view kMeasurements = "Measurements";
inline constexpr std::string_view kPreamble = "Preamble";
inline constexpr std::string_view kPostamble = "Postamble";
inline constexpr std::string_view kFamily = "Family";
inline constexpr std::string_view kLanguage = "Language";
inline constexpr std::string_view kSettings = "Settings";
inline constexpr std::string_view kViewStartup = "ViewStartup";
inline constexpr std::string_view kTiming = "Timing";  // Adaptive, or Prescribed
}  // namespace setting

// The value of `key`, or `fallback` when it is missing, empty or unreadable.
std::string ReadSetting(std::string_view key, std::string_view fallback);

// Stores `value` under `key`. Returns false when the profile could not be written.
bool WriteSetting(std::string_view key, std::string_view value);

}  // namespace tarvo::app

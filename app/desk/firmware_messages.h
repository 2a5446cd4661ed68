// The texts with which the firmware download reports its results, shared by the desktop
// program's firmware page and the command-line tool.
#pragma once

#include <string>

namespace tarvo::app {

// Results of the firmware road that are not kernel codes: the printer did not answer before
// the download (and the boot-mode choice was clear), and the invalidation failed.
inline constexpr int kFirmwareNoAnswer = 33;
inline constexpr int kFirmwareInvalidationFailed = 32;
// The operator declined the version question.
inline constexpr int kFirmwareDeclined = 4;

// String-table numbers of the firmware texts.
inline constexpr int kStrFirmwareMismatch = 61239;
inline constexpr int kStrFirmwareCorrupted = 61240;
inline constexpr int kStrFirmwareProceed = 61241;
inline constexpr int kStrFirmwareFilesMissing = 61242;
inline constexpr int kStrFirmwareNoAnswer = 61243;
inline constexpr int kStrFirmwareLoader = 61244;
inline constexpr int kStrFirmwareBaud = 61245;
inline constexpr int kStrFirmwareSyntax = 61246;
inline constexpr int kStrFirmwareSequence = 61247;
inline constexpr int kStrFirmwareInvalidate = 61248;
inline constexpr int kStrFirmwareSending = 61238;
inline constexpr int kStrFirmwareAborting = 61340;

// The string-table number that reports firmware result `code`, or 0 for a result that shows
// nothing (success, the operator's own refusal, codes without a text).
int FirmwareResultString(int code);

// The text of FirmwareResultString(code); empty when it is 0.
std::string FirmwareResultMessage(int code);

// The text of firmware string `id` (the numbers above); empty for any other number.
std::string FirmwareStringText(int id);

// The model a firmware image's program number belongs to, for the mismatch message; the number
// itself when no model has it.
std::string FirmwareModelName(const char* programNumber);

}  // namespace tarvo::app

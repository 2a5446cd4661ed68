// The file store of a Brakenholm printer: its devices, the files on them, and the listing that
// FILES prints. Files on "rom:" come with the firmware and are not kept in the state.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "printer_state.h"

namespace tarvo::sim {

using ScriptFile = PrinterFile;

// Where FILES without a device looks: "c:" on the models with a flash drive, else "ram:".
std::string_view MainDevice(int model);
bool HasDevice(int model, std::string_view device);
std::uint64_t DeviceCapacity(const PrinterState& state, std::string_view device);

// The files of a device in name order, the firmware's own on "rom:" included; names beginning
// with a point are system files, listed only when asked for.
std::vector<ScriptFile> FilesOn(const PrinterState& state, std::string_view device,
                                bool withSystemFiles);

// The FILES listing: a line per file ("HELLO.PRG            1234") and then the summary
// "   1 File(s)        1234 bytes used     1047342 bytes free", each ended by CR LF.
std::string FilesListing(const PrinterState& state, std::string_view device, bool withSystemFiles);

// "c:/HELLO.PRG" or "c:HELLO.PRG" into device and name; nullopt when the path names no
// device of the model or no valid file name.
std::optional<ScriptFile> ParseFilePath(int model, std::string_view path);

// Stores a file (replacing one of the same name) when it fits. Returns empty or the reason.
std::string StoreFile(PrinterState* state, const ScriptFile& file);
bool DeleteFile(PrinterState* state, const ScriptFile& file);
// Removes every file of a device; "rom:" cannot be formatted. Returns empty or the reason.
std::string FormatDevice(PrinterState* state, std::string_view device);

// The key under which PrinterState::files keeps a file, and back.
std::string FileKey(const ScriptFile& file);
std::optional<ScriptFile> FileOfKey(int model, std::string_view key);

}  // namespace tarvo::sim

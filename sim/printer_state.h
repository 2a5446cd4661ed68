// What the simulated printer remembers between runs, and its text file: "key = value" lines,
// '#' comments, so that a person can read and edit it.
#pragma once

#include <string>
#include <string_view>

namespace tarvo::sim {

struct PrinterState {
    int model = 18;
    std::string firmware = "1.13";
    unsigned memoryTotalKb = 1024;
    unsigned memoryFreeKb = 987;

    bool operator==(const PrinterState&) const = default;
};

// The firmware text goes into the identification reply between commas, so it must stay one
// printable field of at most 32 characters.
bool ValidFirmware(std::string_view text);

std::string FormatState(const PrinterState& state);

// Parses the text of a state file over *state (keys that are missing keep their values).
// On failure returns false with "line N: reason" in *error and leaves *state unchanged.
bool ParseState(const std::string& text, PrinterState* state, std::string* error);

enum class LoadResult { Loaded, Missing, Failed };

// Reads `path` into *state. Failed comes with a message naming the file (and line) in *error.
LoadResult LoadStateFile(const std::string& path, PrinterState* state, std::string* error);

// Replaces `path` atomically. Returns false with a message in *error.
bool SaveStateFile(const std::string& path, const PrinterState& state, std::string* error);

}  // namespace tarvo::sim

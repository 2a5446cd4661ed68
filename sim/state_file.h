// The printer's state file: "key = value" lines and '#' comments, so that a person can read and
// edit it. Old files without the configuration, object and shell keys load with defaults.
#pragma once

#include <string>
#include <vector>

#include "printer_state.h"

namespace tarvo::sim {

std::string FormatState(const PrinterState& state);

// Parses the text of a state file over *state (keys that are missing keep their values).
// On failure returns false with "line N: reason" in *error and leaves *state unchanged.
bool ParseState(const std::string& text, PrinterState* state, std::string* error);

enum class LoadResult { Loaded, Missing, Failed };

// Reads `path` into *state. Failed comes with a message naming the file (and line) in *error.
LoadResult LoadStateFile(const std::string& path, PrinterState* state, std::string* error);

// Reads a list of objects in the state file's form ("font.30 = Logo font,400,2048" lines, '#'
// comments) into *objects. Whether the printer can store them is checked when it starts.
// Returns false with "line N: reason" in *error.
bool ParseObjectList(const std::string& text, std::vector<ObjectEntry>* objects,
                     std::string* error);

// Replaces `path` atomically. Returns false with a message in *error.
bool SaveStateFile(const std::string& path, const PrinterState& state, std::string* error);

}  // namespace tarvo::sim

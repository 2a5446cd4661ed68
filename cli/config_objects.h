// The object sections of a configuration file (the lines from the first <ESC>P on: deletions
// and downloads of fonts, graphics, formats and pages), as `config pull` keeps them and
// `config push` sends them.
#pragma once

#include <string>
#include <vector>

namespace tarvo::cli {

// The object-section lines of a configuration file's text, each without its line end; empty
// when it has none.
std::vector<std::string> ObjectSectionLines(const std::string& fileText);

// Reads the object sections of the file at `path` (none when it does not exist). False with
// *error set when it exists but cannot be read.
bool ReadObjectSections(const std::string& path, std::vector<std::string>* lines,
                        std::string* error);

// Appends `lines` to the file at `path`, replacing it atomically. False with *error set.
bool AppendObjectSections(const std::string& path, const std::vector<std::string>& lines,
                          std::string* error);

// Sends each line's command as one framed message, with a progress line. Returns 0 or 1
// (after printing the error).
int SendObjectSections(int ctx, const std::vector<std::string>& lines);

}  // namespace tarvo::cli

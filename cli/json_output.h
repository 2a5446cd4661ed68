// `--json`: what a command shows or lists, as one JSON document on standard output.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace tarvo::cli {

// Keys keep the order they were added in, as the text output lists them.
using Json = nlohmann::ordered_json;

// `bytes` from a printer or a file as UTF-8: valid UTF-8 sequences stay as they are, any other
// byte above 127 (the printer's own code page) is taken as Latin-1, so that the text stays
// readable and the document valid whatever a printer sent. Control bytes stay; the JSON writer
// escapes them.
std::string Utf8Text(const std::string& bytes);

// Writes `document` to standard output, indented, with a final newline. Everything beyond ASCII
// is escaped, so a terminal or a script meets no raw byte a printer sent.
void PrintJson(const Json& document);

}  // namespace tarvo::cli

// Shell completion answered by the programs themselves: the completion script runs
// `PROGRAM --complete INDEX -- WORD...` (the words of the command line being typed, INDEX the
// one under the cursor) and offers the lines the program prints. Each program knows its own
// options, commands and names; these helpers are what the three share.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

struct CompletionRequest {
    std::vector<std::string> words;  // the command line, the program's name first
    std::size_t index = 0;           // the word being completed (may be one past the last)

    // The word being completed, empty when the cursor starts a new word.
    std::string current() const;
    // The word before it, empty when there is none.
    std::string previous() const;
};

// Reads `--complete INDEX -- WORD...` from argv. Returns nullopt when argv[1] is not
// --complete, or when INDEX is not a number (the caller then completes nothing).
std::optional<CompletionRequest> ReadCompletionRequest(int argc, char** argv);

// Every long option ("--name") a help text mentions, once each, in order of appearance.
std::vector<std::string> OptionsInText(std::string_view helpText);

// The names of the printer models, for --simulate and --model.
std::vector<std::string> ModelNames();

// Prints the candidates, one per line, that start with `prefix`.
void PrintCompletions(const std::vector<std::string>& candidates, std::string_view prefix);

}  // namespace tarvo

// Fuzzes the Brakenholm setup-listing parser, the reader of every listing a printer sends and of
// every setup file an operator loads. The first input byte picks the setup generation; the rest
// is the listing. Beyond not crashing, what the parser accepts must survive the setup file: the
// lines built from a parsed record parse back into records that build the same lines.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "brakenholm/brak_commands.h"
#include "brakenholm/brak_listing.h"
#include "fuzz_check.h"

namespace {

using tarvo::app::BuildSetupLines;
using tarvo::app::ParseListing;

std::string AsListing(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

// Generation 0 files its supplies by pairs, and a pair read in the other order reads back as a
// single: those lines are left out of the comparison.
std::vector<std::string> Comparable(std::vector<std::string> lines, int generation) {
    if (generation == 0) {
        std::erase_if(lines, [](const std::string& line) {
            return line.find("NEW SUPPLIES") != std::string::npos;
        });
    }
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const int generation = data[0] % 4;
    const std::string_view listing(reinterpret_cast<const char*>(data) + 1, size - 1);
    const auto first = ParseListing(listing, generation, 3);
    if (!first.ok)
        return 0;
    Check(first.setup.charLength != 0 && first.setup.stopBits != 0, "serial values were found");
    Check(first.setup.portIndex == 3, "port index is the session's");

    const std::vector<std::string> lines = BuildSetupLines(first.setup, generation);
    const auto second = ParseListing(AsListing(lines), generation, 3);
    Check(second.ok, "a built setup file parses");
    const std::vector<std::string> again = BuildSetupLines(second.setup, generation);
    Check(Comparable(again, generation) == Comparable(lines, generation),
          "a built setup file reloads to the same lines");
    return 0;
}

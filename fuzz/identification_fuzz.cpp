// Fuzzes what identification reads from outside: a printer's identification reply (with the
// preamble search over it) and the lines of the site's program-number file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "models/identify_internal.h"
#include "models/program_numbers.h"

namespace {

void FuzzReply(std::string_view reply) {
    if (const auto parsed = tarvo::ParseIdentificationReply(reply)) {
        Check(parsed->fields.size() >= 2, "a reply with a comma has two fields");
        Check(parsed->firmware == parsed->fields[1], "firmware is the second field");
        bool second = false;
        const int model = tarvo::ModelForProgramNumber(parsed->candidate, &second);
        Check(model >= -1 && model <= 25, "a reply names a model 0..25 or none");
    }
    tarvo::DetectPreamble(reply);
}

void FuzzFileLines(std::string_view text) {
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = text.size();
        if (const auto entry = tarvo::ParseProgramNumberLine(text.substr(start, end - start))) {
            Check(!entry->number.empty() && !entry->model.empty(), "entries have both parts");
            Check(entry->number.size() + entry->model.size() < 80, "entries fit in a line");
        }
        start = end + 1;
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // No site file: the preamble search falls back to it, and it must not depend on the machine.
    ::setenv("TARVO_HOME", "/nonexistent/tarvo-fuzz", 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    FuzzReply(input);
    FuzzFileLines(input);
    return 0;
}

// The simulated printer's program mode over arbitrary message bodies: download headers, font,
// graphic and format commands in any order and shape must be refused or stored, never crash
// or grow without bound. Messages are split at newlines so that downloads span messages.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "commands.h"
#include "printer_state.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvo::sim;
    const Identity identity;
    CommandInterpreter interpreter(identity);
    PrinterState state;
    const LineSettings line;
    std::vector<Reply> replies;
    interpreter.run("\x1bP", &state, line, &replies);
    std::string_view input(reinterpret_cast<const char*>(data), size);
    while (!input.empty()) {
        const std::size_t end = input.find('\n');
        const std::string_view body = input.substr(0, end);
        interpreter.run(body, &state, line, &replies);
        input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
    }
    interpreter.run("R", &state, line, &replies);
    return 0;
}

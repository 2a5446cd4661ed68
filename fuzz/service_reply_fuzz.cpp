// Fuzzes the reading of test-and-service replies: whatever a printer answers, a number read from
// it must be the number the reply begins with, and the three sensor numbers must be read only
// from a reply that holds them.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "services/service_reply.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view reply(reinterpret_cast<const char*>(data), size);
    const std::string_view text = tarvo::SkipAcknowledges(reply);
    Check(text.size() <= reply.size(), "skipping grew the reply");
    Check(text.empty() || (text.front() != '\x11' && text.front() != '\x12'),
          "an acknowledge stayed in front");
    if (const auto n = tarvo::ServiceNumber(text)) {
        // Printing the number again finds it where the reply has it.
        const std::string digits = std::to_string(*n < 0 ? -static_cast<std::int64_t>(*n) : *n);
        Check(text.find(digits) != std::string_view::npos ||
                  digits.find_first_not_of('0') == std::string::npos,
              "number not in the reply");
    }
    if (const auto numbers = tarvo::SensorNumbers(text))
        Check(tarvo::ServiceNumber(text.substr(text.find_first_not_of(" ,\r"))) == (*numbers)[0],
              "first sensor number differs from the leading number");
    return 0;
}

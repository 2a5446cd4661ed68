// How long a printer works on a request before its answer starts. The simulated printers wait
// this long before they answer, so that a host cannot look fast by meeting an instant answer,
// and the benchmarks count it in the floor they measure against.
#pragma once

#include <span>
#include <string_view>

namespace tarvo {

struct ProcessingDelay {
    std::string_view request;  // the start of the request (a frame's body, or a script line)
    int ms;
};

// The table of one family, most specific requests first; the last row (an empty request)
// stands for every other request.
std::span<const ProcessingDelay> ProcessingDelays(bool scriptLanguage);

// The delay before the answer to `request`: the first row whose request starts it.
int ProcessingDelayMs(bool scriptLanguage, std::string_view request);

}  // namespace tarvo

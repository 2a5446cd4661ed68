// The configuration values of a context, as the printer reports and takes them.
#pragma once

#include <string>

namespace tarvo {

struct ConfigRecord {
    int model = 0;
    std::string firmware;  // as the printer last reported it
};

}  // namespace tarvo

// What the last successful identification found on a port, kept in the profile, so that the
// next identification on that port can start with it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "tarvo/types.h"

namespace tarvo {

struct KnownPrinter {
    int port = -1;      // port index
    int protocol = -1;  // PCU_PROTOCOL_*
    int model = -1;     // model index 0..24
};

// The profile's IdentifiedPort, IdentifiedProtocol and IdentifiedModel; nullopt when any of
// them is missing or names nothing known.
std::optional<KnownPrinter> RecallKnownPrinter();

// Stores the line and model of a successful identification (only when they changed).
void RememberKnownPrinter(const commState& line, int model);

// The type field that ends the identification reply of `model` ("6220E"); empty for a model
// whose reply carries none.
std::string_view ReplyTypeOfModel(int model);

}  // namespace tarvo

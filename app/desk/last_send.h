// The configuration a Lanmere printer held before the last send from this host, one record per
// port, kept in the data directory so that the send can be undone after a restart too.
#pragma once

#include <optional>
#include <string>

#include "desk/setting_catalog.h"

namespace tarvo::app {

struct LastSend {
    int port = 0;          // port index 0..6 the printer was on
    int model = 0;         // its model index
    std::string firmware;  // its firmware, as it stated it
    LanValues values{};    // what it held, in the kernel's order
};

// Where the record for port index `port` lives: <data directory>/last-send-COM1.txt.
std::string LastSendPath(int port);

// Replaces the record of `record.port` atomically. Returns false, with *error (may be null)
// naming the file and the system's reason, when it could not be written.
bool SaveLastSend(const LastSend& record, std::string* error);

// Removes the record of port index `port`; a missing record is not an error.
void ForgetLastSend(int port);

// The record for port index `port`; nullopt with *error (may be null) set when there is none
// ("no send from this host to COM1 was recorded") or the file is damaged (its path and line).
std::optional<LastSend> LoadLastSend(int port, std::string* error);

}  // namespace tarvo::app

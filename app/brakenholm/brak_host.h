// How the host's settings name what a Brakenholm record states.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "brakenholm/brak_printer.h"
#include "brakenholm/brak_setup.h"

namespace tarvo::app {

// "Even", "Odd", "Mark", "Space"; any other parity position "None".
std::string_view HostParityName(std::uint16_t parity);

// "XON/XOFF" when the printer takes XON/XOFF from the host, else "RTS/CTS".
std::string_view HostProtocolName(const BrakSetup& setup);

// A transaction failure in words: "the port did not open (No such file or directory)".
std::string DescribeTx(const TxResult& result);

}  // namespace tarvo::app

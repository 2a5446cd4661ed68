#include "brakenholm/brak_host.h"

#include <cstring>

namespace tarvo::app {

std::string_view HostParityName(std::uint16_t parity) {
    switch (parity) {
        case 0:
            return "Even";
        case 1:
            return "Odd";
        case 3:
            return "Mark";
        case 4:
            return "Space";
        default:
            return "None";
    }
}

std::string_view HostProtocolName(const BrakSetup& setup) {
    return setup.xonXoffFromHost ? "XON/XOFF" : "RTS/CTS";
}

std::string DescribeTx(const TxResult& result) {
    const std::string reason =
        result.error != 0 ? std::string(" (") + std::strerror(result.error) + ")" : "";
    switch (result.status) {
        case TxStatus::Ok:
            return "sent";
        case TxStatus::OpenFailed:
            return "the port did not open" + reason;
        case TxStatus::WriteFailed:
            return "writing to the printer failed" + reason;
        case TxStatus::ReadFailed:
            return "reading from the printer failed" + reason;
        case TxStatus::NotApplicable:
            return "the printer has no such setting";
        case TxStatus::Refused:
            return "the value cannot be sent";
    }
    return "failed";
}

}  // namespace tarvo::app

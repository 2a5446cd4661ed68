#include "line_check.h"

namespace tarvo::sim {
namespace {

bool FlowSuitsProtocol(platform::FlowControl flow, Protocol protocol) {
    using platform::FlowControl;
    switch (protocol) {
        case Protocol::XonXoff:
            return flow == FlowControl::XonXoff;
        case Protocol::Standard:
            return flow == FlowControl::None;
        case Protocol::RtsCts:
            // The handshake lines are not part of what the printer hears, so a host that does
            // not use them still gets through.
            return flow == FlowControl::None || flow == FlowControl::RtsCts;
    }
    return false;
}

}  // namespace

bool HostLineMatches(const std::optional<platform::LineFormat>& host, const LineSettings& printer,
                     Family family) {
    if (!host)
        return true;
    return host->baud == printer.baud && host->dataBits == printer.dataBits &&
           host->parity == printer.parity && host->stopBits == printer.stopBits &&
           (family == Family::Brakenholm || FlowSuitsProtocol(host->flow, printer.protocol));
}

int BitsPerCharacter(const LineSettings& line) {
    const int parityBits = line.parity == 'N' ? 0 : 1;
    return 1 + line.dataBits + parityBits + line.stopBits;
}

double BytesPerSecond(const LineSettings& line) {
    return static_cast<double>(line.baud) / BitsPerCharacter(line);
}

}  // namespace tarvo::sim

#include "support/wire.h"

#include "tarvo/base/notation.h"

namespace tarvo::test {
namespace {

std::string Collect(const sim::PrinterSim& printer, sim::Direction direction) {
    std::string bytes;
    for (const sim::TranscriptEntry& e : printer.transcript()) {
        if (e.direction == direction)
            bytes += e.bytes;
    }
    return RenderMnemonics(bytes);
}

}  // namespace

std::string HostSent(const sim::PrinterSim& printer) {
    return Collect(printer, sim::Direction::HostToPrinter);
}

std::string PrinterSent(const sim::PrinterSim& printer) {
    return Collect(printer, sim::Direction::PrinterToHost);
}

}  // namespace tarvo::test

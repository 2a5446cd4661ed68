#include "printer_engine.h"

#include "protocol_engine.h"
#include "script_engine.h"

namespace tarvo::sim {

void PrinterEngine::setLine(const LineSettings& line) {
    line_ = line;
    // Only XON/XOFF lets the host hold the printer's output.
    if (line.protocol != Protocol::XonXoff)
        outputPaused_ = false;
}

std::unique_ptr<PrinterEngine> MakeEngine(Family family, const PrinterState& state,
                                          Identity identity) {
    if (family == Family::Brakenholm)
        return std::make_unique<ScriptEngine>(state, std::move(identity));
    return std::make_unique<ProtocolEngine>(state, std::move(identity));
}

void PrinterEngine::silenceIfTold(std::size_t firstNew) {
    Faults& faults = replies_.faults();
    if (faults.silentAfterMessage.empty())
        return;
    for (std::size_t i = firstNew; i < messages_.size(); ++i) {
        if (messages_[i] == faults.silentAfterMessage) {
            faults.silent = true;
            faults.silentAfterMessage.clear();
            return;
        }
    }
}

}  // namespace tarvo::sim

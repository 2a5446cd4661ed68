#include "printer_engine.h"

#include "protocol_engine.h"
#include "script_engine.h"
#include "tarvo/base/processing_delay.h"

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

void PrinterEngine::takeMessage(const std::string& message) {
    messages_.push_back(message);
    Faults& faults = replies_.faults();
    if (!faults.silentAfterMessage.empty() && message == faults.silentAfterMessage) {
        faults.silent = true;
        faults.silentAfterMessage.clear();
    }
}

std::chrono::milliseconds PrinterEngine::processingDelay(bool scriptLanguage,
                                                         std::string_view request) const {
    if (!identity_.processingDelays)
        return {};
    return std::chrono::milliseconds{ProcessingDelayMs(scriptLanguage, request)};
}

}  // namespace tarvo::sim

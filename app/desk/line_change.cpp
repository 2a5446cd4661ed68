#include "desk/line_change.h"

#include <algorithm>
#include <array>

#include "shell/settings.h"
#include "tarvo/base/port_names.h"
#include "tarvo/config.h"
#include "tarvo/context.h"
#include "tarvo/port.h"
#include "tarvo/session.h"

namespace tarvo::app {
namespace {

constexpr std::array<int, 11> kRates = {110,  300,   600,   1200,  2400,  4800,
                                        9600, 19200, 38400, 57600, 115200};
constexpr int kLowestCommandRate = 1200;
constexpr std::array<const char*, 5> kParityNames = {"Even", "Odd", "None", "Mark", "Space"};
constexpr std::array<const char*, 4> kProtocolNames = {"XON/XOFF", "Standard", "RTS/CTS",
                                                       "Parallel"};

void Tell(const LineMoveHooks& hooks, const std::string& text) {
    if (hooks.progress)
        hooks.progress(text);
}

bool Cancelled(const LineMoveHooks& hooks) {
    return hooks.cancelled && hooks.cancelled();
}

commState WithLine(commState comm, const SerialLine& line) {
    comm.baud = line.baud;
    comm.parity = line.parity;
    comm.dataBits = line.dataBits;
    comm.stopBits = line.stopBits;
    comm.protocol = line.protocol;
    return comm;
}

// Asks the printer on the context's line to identify itself, up to kLinePolls times.
LineMove AwaitAnswer(int ctx, const LineMoveHooks& hooks) {
    for (int poll = 0; poll < kLinePolls; ++poll) {
        if (poll > 0)
            PCUWait(kLinePollWaitUnits);
        if (Cancelled(hooks))
            return LineMove::Cancelled;
        if (PCUPing(ctx) == 1)
            return LineMove::Moved;
    }
    return LineMove::NoAnswer;
}

bool StoreLineValues(const SerialLine& line) {
    bool stored = WriteSetting(setting::kBaud, std::to_string(line.baud));
    stored = WriteSetting(setting::kParity, kParityNames[static_cast<std::size_t>(line.parity)]) &&
             stored;
    stored = WriteSetting(setting::kDataBits, std::to_string(line.dataBits)) && stored;
    stored = WriteSetting(setting::kStopBits, std::to_string(line.stopBits)) && stored;
    stored =
        WriteSetting(setting::kProtocol, kProtocolNames[static_cast<std::size_t>(line.protocol)]) &&
        stored;
    return WriteSetting(setting::kDefaultEnabled, "OFF") && stored;
}

// Sends the printer its new line. True when the command went out; a failure is kept in *detail,
// since a printer may have switched before the failure (its acknowledgement then arrives on
// the new line, which this computer is not on yet).
bool TellPrinter(int ctx, const SerialLine& from, const SerialLine& to, int pin1, int pin2,
                 std::string* detail) {
    commState wanted{};
    PCUGetCommState(ctx, &wanted);
    wanted = WithLine(wanted, to);
    wanted.serialOption1 = pin1;
    wanted.serialOption2 = pin2;
    const int reset = from.protocol != to.protocol ? 1 : 0;
    if (PCUSendCommParm(ctx, &wanted, reset) == PCU_OK)
        return true;
    *detail = std::string("the printer's serial command failed: ") + PCUErrStr(ctx);
    return false;
}

}  // namespace

SerialLine SerialLineOf(const commState& comm) {
    return {comm.baud, comm.parity, comm.dataBits, comm.stopBits, comm.protocol};
}

std::string DescribeLine(const commState& c) {
    const bool known = c.parity >= 0 && c.parity <= 4 && c.protocol >= 0 && c.protocol <= 3;
    if (!known)
        return tarvo::PortName(c.port) + " (unknown settings)";
    if (c.protocol == PCU_PROTOCOL_PARALLEL)
        return tarvo::PortName(c.port) + " (parallel)";
    return tarvo::PortName(c.port) + " " + std::to_string(c.baud) + " baud, " +
           std::to_string(c.dataBits) + " data bits, " +
           kParityNames[static_cast<std::size_t>(c.parity)] + " parity, " +
           std::to_string(c.stopBits) + " stop bit" + (c.stopBits == 1 ? "" : "s") + ", " +
           kProtocolNames[static_cast<std::size_t>(c.protocol)];
}

std::string SerialLineProblem(const SerialLine& line) {
    if (std::find(kRates.begin(), kRates.end(), line.baud) == kRates.end())
        return "no rate " + std::to_string(line.baud) + " (110, 300, 600, 1200 .. 115200)";
    if (line.parity != PCU_PARITY_EVEN && line.parity != PCU_PARITY_ODD &&
        line.parity != PCU_PARITY_NONE)
        return "the parity must be Even, Odd or None";
    if (line.dataBits != 7 && line.dataBits != 8)
        return "the data bits must be 7 or 8";
    if (line.stopBits != 1 && line.stopBits != 2)
        return "the stop bits must be 1 or 2";
    if (line.protocol != PCU_PROTOCOL_XONXOFF && line.protocol != PCU_PROTOCOL_STANDARD)
        return "the protocol must be XON/XOFF or Standard";
    return {};
}

bool StoreSerialLine(const SerialLine& line) {
    return SerialLineProblem(line).empty() && StoreLineValues(line);
}

bool PrinterCommandCarries(const SerialLine& from, const SerialLine& to) {
    return to.baud >= kLowestCommandRate && to.stopBits == from.stopBits;
}

LineMoveResult MoveLine(int ctx, const SerialLine& to, int pin1, int pin2,
                        const LineMoveHooks& hooks) {
    commState old{};
    PCUGetCommState(ctx, &old);
    const SerialLine from = SerialLineOf(old);
    if (old.port >= PCU_PORT_LPT1)
        return {LineMove::Refused, false, false,
                tarvo::PortName(old.port) + " has no line settings"};
    if (std::string problem = SerialLineProblem(to); !problem.empty())
        return {LineMove::Refused, false, false, problem};
    if (to == from)
        return {};
    LineMoveResult result;
    if (PrinterCommandCarries(from, to)) {
        Tell(hooks, "Sending the printer its new line settings");
        result.printerTold = TellPrinter(ctx, from, to, pin1, pin2, &result.detail);
    }
    const commState moved = WithLine(old, to);
    PCUSetCommState(ctx, &moved);
    Tell(hooks, "Waiting for the printer on " + DescribeLine(moved));
    result.outcome = AwaitAnswer(ctx, hooks);
    if (result.outcome == LineMove::Moved) {
        if (StoreSerialLine(to)) {
            PCUInitCommParm(ctx);
        } else {
            // The context stays on the line the printer answers at.
            result.outcome = LineMove::Failed;
            result.detail =
                "the printer answers on the new line, but the profile could not "
                "store it";
        }
        return result;
    }
    PCUSetCommState(ctx, &old);
    Tell(hooks, "Going back to " + DescribeLine(old));
    result.oldLineAnswers = PCUPing(ctx) == 1;
    return result;
}

}  // namespace tarvo::app

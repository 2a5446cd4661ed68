// Searching ports and line settings for a printer that answers with a known program number.
#include <sys/stat.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "models/identify_internal.h"
#include "port/port.h"
#include "port/profile.h"
#include "session/exchange.h"
#include "session/export_boundary.h"
#include "tarvo/context.h"
#include "tarvo/identify.h"
#include "tarvo/port.h"

namespace tarvo {
namespace {

constexpr std::size_t kReplySize = 30;
constexpr int kRates[] = {9600, 19200, 38400, 57600, 115200};
constexpr int kDataBits[] = {7, 8};
constexpr int kParities[] = {PCU_PARITY_EVEN, PCU_PARITY_ODD, PCU_PARITY_NONE};
constexpr int kProtocols[] = {PCU_PROTOCOL_STANDARD, PCU_PROTOCOL_XONXOFF};

class Observer {
  public:
    explicit Observer(const PCUNotify* notify) : notify_(notify) {}

    // Reports a trial; returns false when the observer asked to stop.
    bool trial(int wParam, const commState& settings) {
        const int cancel = record_.cancelRequest;
        record_ = settings;
        record_.cancelRequest = cancel;
        send(PCU_MSG_AUTOCONNECT_TRIAL, wParam);
        return record_.cancelRequest == 0;
    }
    void found(const commState& settings) {
        record_ = settings;
        send(PCU_MSG_AUTOCONNECT_FOUND, 0);
    }
    void none() { send(PCU_MSG_AUTOCONNECT_NONE, 0); }

  private:
    void send(unsigned message, int wParam) {
        if (notify_ != nullptr && notify_->notify != nullptr) {
            notify_->notify(notify_->user, message, wParam, &record_);
        }
    }
    const PCUNotify* notify_;
    commState record_{};
};

commState Settings(int port, int baud, int parity, int dataBits, int stopBits, int protocol) {
    commState s{};
    s.port = port;
    s.baud = baud;
    s.parity = parity;
    s.dataBits = dataBits;
    s.stopBits = stopBits;
    s.protocol = protocol;
    return s;
}

bool DeviceExists(int port) {
    const std::string path = PortDevicePath(port);
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

// A parallel printer answers <ENQ> with anything at all.
bool ProbeParallel(Context& context, int port) {
    Exchange exchange(context, port, 9600, PCU_PARITY_NONE, 8, 1, PCU_PROTOCOL_PARALLEL);
    return exchange.ok() && !exchange.ask("<ENQ>", 1, 25, kReplySize, 1, 50).empty();
}

// Whether a serial port can be opened and written at all.
bool SerialPortUsable(Context& context, int port) {
    if (!DeviceExists(port))
        return false;
    Exchange exchange(context, port, 9600, PCU_PARITY_NONE, 8, 1, PCU_PROTOCOL_XONXOFF);
    if (!exchange.ok() || exchange.send("<ENQ>", 1) != 0)
        return false;
    std::string reply;
    exchange.read(&reply, kReplySize, 1, 50);
    return true;
}

const char* ParityName(int parity) {
    switch (parity) {
        case PCU_PARITY_ODD:
            return "Odd";
        case PCU_PARITY_NONE:
            return "None";
        default:
            return "Even";
    }
}

const char* ProtocolName(int protocol) {
    switch (protocol) {
        case PCU_PROTOCOL_XONXOFF:
            return "XON/XOFF";
        case PCU_PROTOCOL_PARALLEL:
            return "Parallel";
        default:
            return "Standard";
    }
}

std::string FrameText(char c) {
    return c != '\0' ? std::string(1, c) : std::string();
}

// Writes what was found to the profile in one replacement of the file, so that a crash or a
// reader never sees half of it. Returns PCU_OK or the profile's code.
int StoreFound(const commState& c) {
    if (const int created = PCUCreateProfile(); created != PCU_OK)
        return created;
    return WriteProfileValues({
        {"Family", "Lanmere"},
        {"Port", PortName(c.port)},
        {"Baud", std::to_string(c.baud)},
        {"Parity", ParityName(c.parity)},
        {"DataBits", std::to_string(c.dataBits)},
        {"StopBits", std::to_string(c.stopBits)},
        {"Protocol", ProtocolName(c.protocol)},
        {"Preamble", FrameText(c.preamble)},
        {"Postamble", FrameText(c.postamble)},
    });
}

enum class Search { Found, NotFound, Cancelled };

Search SearchParallel(Context& context, Observer& observer, commState* found) {
    for (int port = PCU_PORT_LPT1; port <= PCU_PORT_LPT3; ++port) {
        const commState trial = Settings(port, 9600, PCU_PARITY_NONE, 8, 1, PCU_PROTOCOL_PARALLEL);
        if (!observer.trial(1, trial))
            return Search::Cancelled;
        // A missing device is passed over at once rather than after the open's retries.
        if (!DeviceExists(port) || !ProbeParallel(context, port))
            continue;
        *found = trial;
        return Search::Found;
    }
    return Search::NotFound;
}

// Asks for the identification on one line setting; 1 and the setting stored in the context
// when a printer of a known model answers.
int SerialConnect(int ctx, Context& context, int port, int baud, int parity, int dataBits,
                  int stopBits, int protocol) {
    Exchange exchange(context, port, baud, parity, dataBits, stopBits, protocol);
    if (!exchange.ok())
        return 0;
    // Frame characters are unknown until detected, so replies are taken as they come.
    exchange.clearFrameCharacters();
    exchange.ask("<ESC>M", 1, 100, kReplySize, 1, 100);
    if (exchange.lastSendStatus() != 0)
        return 0;
    // Only the second answer counts: the first may still carry what the line held before.
    const std::string reply = exchange.ask("<ESC>M", 1, 100, kReplySize, 1, 100);
    std::string_view text = SkipFlowBytes(reply);
    const std::size_t comma = text.find(',');
    if (text.empty() || comma == std::string_view::npos)
        return 0;
    std::string modelReply(text.substr(0, comma));
    // A detection that got no answer shows nothing: the stored characters stay in force, and
    // only a reply that shows others replaces them.
    const FrameCharacters frame = DetectFrameCharacters(exchange);
    const char preamble = frame.preamble.value_or(context.comm.preamble);
    const char postamble = frame.postamble.value_or(context.comm.postamble);
    const bool dropPreamble = frame.preamble ? *frame.preamble != '\0'
                                             : preamble != '\0' && modelReply.starts_with(preamble);
    if (dropPreamble)
        modelReply.erase(0, 1);
    bool second = false;
    if (ModelForProgramNumber(modelReply, &second) < 0)
        return 0;
    commState found = Settings(port, baud, parity, dataBits, stopBits, protocol);
    found.preamble = preamble;
    found.postamble = postamble;
    PCUSetCommState(ctx, &found);
    return 1;
}

Search SearchSerial(int ctx, Context& context, Observer& observer, commState* found) {
    for (int port = PCU_PORT_COM1; port <= PCU_PORT_COM4; ++port) {
        if (!SerialPortUsable(context, port))
            continue;
        for (const int baud : kRates) {
            for (const int dataBits : kDataBits) {
                for (const int parity : kParities) {
                    for (const int protocol : kProtocols) {
                        const commState trial = Settings(port, baud, parity, dataBits, 1, protocol);
                        if (!observer.trial(0, trial))
                            return Search::Cancelled;
                        if (SerialConnect(ctx, context, port, baud, parity, dataBits, 1,
                                          protocol) == 1) {
                            *found = trial;
                            return Search::Found;
                        }
                    }
                }
            }
        }
    }
    return Search::NotFound;
}

}  // namespace
}  // namespace tarvo

using namespace tarvo;

TARVO_API int PCUSerialConnect(int ctx, int port, int baud, int parity, int dataBits, int stopBits,
                               int protocol) {
    return RunExportOr(0, ctx, [&](Context& context) {
        return SerialConnect(ctx, context, port, baud, parity, dataBits, stopBits, protocol);
    });
}

TARVO_API int PCUAutoConnect(int ctx, const PCUNotify* notify) {
    return RunExportOr(0, ctx, [&](Context& context) {
        Observer observer(notify);
        commState found{};
        Search result = SearchParallel(context, observer, &found);
        if (result == Search::NotFound)
            result = SearchSerial(ctx, context, observer, &found);
        if (result == Search::Cancelled)
            return 0;
        if (result == Search::NotFound) {
            observer.none();
            return 0;
        }
        found.preamble = context.comm.preamble;
        found.postamble = context.comm.postamble;
        PCUSetCommState(ctx, &found);
        context.comm.family = PCU_FAMILY_LANMERE;
        observer.found(found);
        if (const int stored = StoreFound(found); stored != PCU_OK) {
            // The printer was found; the context keeps its settings even though the profile
            // could not, and the caller learns why.
            context.recordError(
                stored == PCU_ERR_PROFILE_OPEN ? PCU_ERR_PROFILE_OPEN : PCU_ERR_PROFILE_WRITE, 0);
            return 0;
        }
        PCUInitCommParm(ctx);
        return 1;
    });
}

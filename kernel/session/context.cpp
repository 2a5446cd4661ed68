// The context table and the communication parameters kept in it.
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "port/port.h"
#include "port/profile.h"
#include "session/export_boundary.h"
#include "tarvo/context.h"

namespace tarvo {
namespace {

// Fills `comm` from the profile; texts that name nothing leave a field as it was.
void LoadCommParameters(commState& comm) {
    const std::string family = ProfileValue("Family", "Lanmere");
    if (family == "Lanmere")
        comm.family = PCU_FAMILY_LANMERE;
    if (family == "Brakenholm")
        comm.family = PCU_FAMILY_BRAKENHOLM;

    const int port = PortIndexOf(ProfileValue("Port", "COM1"));
    if (port >= 0)
        comm.port = port;
    if (comm.port >= PCU_PORT_LPT1) {
        comm.protocol = PCU_PROTOCOL_PARALLEL;
        return;
    }

    const std::string protocol = ProfileValue("Protocol", "XON/XOFF");
    if (protocol == "XON/XOFF") {
        comm.protocol = PCU_PROTOCOL_XONXOFF;
    } else if (protocol == "RTS/CTS") {
        comm.protocol = PCU_PROTOCOL_RTSCTS;
    } else {
        comm.protocol = PCU_PROTOCOL_STANDARD;
    }

    const std::string preamble = ProfileValue("Preamble", "NULL");
    const std::string postamble = ProfileValue("Postamble", "NULL");
    comm.preamble = preamble != "NULL" ? preamble[0] : '\0';
    comm.postamble = postamble != "NULL" ? postamble[0] : '\0';

    comm.baud = std::atoi(ProfileValue("Baud", "9600").c_str());
    switch (std::toupper(static_cast<unsigned char>(ProfileValue("Parity", "Even")[0]))) {
        case 'E':
            comm.parity = PCU_PARITY_EVEN;
            break;
        case 'O':
            comm.parity = PCU_PARITY_ODD;
            break;
        case 'M':
            comm.parity = PCU_PARITY_MARK;
            break;
        case 'S':
            comm.parity = PCU_PARITY_SPACE;
            break;
        default:
            comm.parity = PCU_PARITY_NONE;
            break;
    }
    comm.dataBits = std::atoi(ProfileValue("DataBits", "7").c_str());
    comm.stopBits = std::atoi(ProfileValue("StopBits", "1").c_str());
}

void CopyLineFields(const commState& from, commState& to) {
    to.port = from.port;
    to.baud = from.baud;
    to.parity = from.parity;
    to.dataBits = from.dataBits;
    to.stopBits = from.stopBits;
    to.protocol = from.protocol;
    to.preamble = from.preamble;
    to.postamble = from.postamble;
}

}  // namespace
}  // namespace tarvo

using namespace tarvo;

TARVO_API int PCUCfgInit(void) {
    auto& contexts = State().contexts;
    for (std::size_t i = 0; i < contexts.size(); ++i) {
        if (contexts[i])
            continue;
        try {
            auto context = std::make_unique<Context>();
            LoadCommParameters(context->comm);
            contexts[i] = std::move(context);
        } catch (const std::bad_alloc&) {
            return 0;
        }
        return static_cast<int>(i + 1);
    }
    return 0;
}

TARVO_API int PCUInitCommParm(int ctx) {
    return RunExport(
        ctx,
        [](Context& context) {
            LoadCommParameters(context.comm);
            return PCU_OK;
        },
        WhileBusy::Run);
}

TARVO_API void PCUGetCommState(int ctx, commState* out) {
    RunExportOr(
        0, ctx,
        [&](Context& context) {
            if (out != nullptr)
                CopyLineFields(context.comm, *out);
            return 0;
        },
        WhileBusy::Run);
}

TARVO_API void PCUSetCommState(int ctx, const commState* in) {
    RunExportOr(
        0, ctx,
        [&](Context& context) {
            if (in != nullptr)
                CopyLineFields(*in, context.comm);
            return 0;
        },
        WhileBusy::Run);
}

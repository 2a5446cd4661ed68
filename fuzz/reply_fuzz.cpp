// Fuzzes the checks a framed read applies to what a printer sends: frame characters, data-link
// escapes and the split of a long reply between the caller's buffer and the kept remainder.
// The first input byte picks the protocol and whether to unescape, the next two the preamble
// and postamble; the rest is the reply as it came off the line.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz_check.h"
#include "port/framing.h"
#include "session/kernel_state.h"
#include "tarvo/kernel.h"

namespace {

int Context() {
    static const int ctx = [] {
        ::setenv("TARVO_PROFILE", "/nonexistent/tarvo-fuzz.ini", 1);
        return PCUCfgInit();
    }();
    return ctx;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3)
        return 0;
    const int ctx = Context();
    commState comm{};
    comm.port = PCU_PORT_COM1;
    comm.baud = 9600;
    comm.protocol = data[0] % 4;
    comm.preamble = static_cast<char>(data[1]);
    comm.postamble = static_cast<char>(data[2]);
    PCUSetCommState(ctx, &comm);
    tarvo::Connection conn;
    tarvo::Context* context = tarvo::FindContext(ctx);
    if (context == nullptr)
        return 0;
    tarvo::ConnOpen(*context, conn);

    const bool unescape = (data[0] & 0x10) != 0;
    std::string reply(reinterpret_cast<const char*>(data + 3), size - 3);
    const std::size_t before = reply.size();
    if (tarvo::CleanReply(conn, reply, unescape)) {
        // Stripping and unescaping only ever remove bytes.
        Check(reply.size() <= before, "a cleaned reply grew");
        if (!unescape && conn.table != tarvo::ProtocolTable::RtsCtsParallel) {
            const std::size_t ambles = (comm.preamble != 0) + (comm.postamble != 0);
            Check(reply.size() + ambles == before, "more than the frame characters removed");
        }
    }
    tarvo::ConnClose(conn);
    return 0;
}

// Reading and writing the configuration of a printer, its installed option and its serial port.
#include "config/transfer.h"

#include <cstdio>
#include <new>
#include <string_view>

#include "config/command_letters.h"
#include "config/command_writer.h"
#include "config/reply_parser.h"
#include "port/scoped_connection.h"
#include "port/wait.h"
#include "session/exchange.h"
#include "session/export_boundary.h"
#include "tarvo/base/model_capabilities.h"
#include "tarvo/base/model_tables.h"
#include "tarvo/config.h"
#include "tarvo/port.h"

namespace tarvo {
namespace {

constexpr int kRetries = 5;
constexpr int kQuestionAttempts = 5;
constexpr int kAnswerWaitUnits = 250;
constexpr int kReplyTimeoutMs = 500;
constexpr int kSettleAfterConfigMs = 100;
constexpr int kSerialSettleUnits = 1500;
constexpr int kResetSettleMs = 100;

// Sends `question`, waits for the printer to answer and reads the reply (data-link escapes
// removed). Asks up to `attempts` times until a reply comes; empty when none did. A reply
// longer than a receive buffer is cut, and the rest dropped so that it cannot pass for the
// answer to the next question.
std::string Ask(Connection& conn, std::string_view question, int attempts, unsigned* sysErr,
                const ReplyComplete& complete) {
    std::string reply(kReceiveSize, '\0');
    for (int attempt = 0; attempt < attempts; ++attempt) {
        if (FramedWrite(conn, question.data(), question.size(), kRetries, sysErr) != 0)
            continue;
        std::size_t count = 0;
        FramedReadReply(conn, PCUWaitMs(kAnswerWaitUnits), complete, reply.data(), reply.size(),
                        kRetries, kReplyTimeoutMs, true, &count, sysErr);
        conn.pending.clear();
        if (count > 0) {
            reply.resize(count);
            return reply;
        }
    }
    return {};
}

// The configuration closes with <ETX>; the memory figures are one frame of text.
bool ConfigurationComplete(const Connection& conn, std::string_view received) {
    return EndsWithFrameEnd(conn, received, '\x03');
}

ReplyComplete OneFrame(const Connection& conn) {
    return [&conn](std::string_view received) { return OneFrameComplete(conn, received); };
}

// Memory size and free memory, the image buffer and paper handling, after the configuration.
void ReadMemory(Connection& conn, ConfigRecord& record) {
    unsigned sysErr = 0;
    const std::string memory = Ask(conn, "<ESC>m", kQuestionAttempts, &sysErr, OneFrame(conn));
    const auto report = ParseMemoryReply(memory);
    if (!report)
        return;
    record.memorySize = report->total;
    record.memoryFree = report->free;
    const ModelRow* row = FindModelRow(record.model);
    if (row != nullptr && row->imageSizeKb != kImageSizeAsked) {
        record.imageSize = static_cast<std::uint16_t>(row->imageSizeKb);
    } else if (const auto size =
                   ParseSecondNumber(Ask(conn, "<ESC>m1", 1, &sysErr, OneFrame(conn)))) {
        record.imageSize = *size;
    }
    DerivePaperHandling(record);
}

int ReadConfiguration(Context& context) {
    ScopedConnection link(context);
    unsigned sysErr = 0;
    const std::string reply =
        Ask(link.conn(), "<ESC>p", kQuestionAttempts, &sysErr, [&link](std::string_view received) {
            return ConfigurationComplete(link.conn(), received);
        });
    if (reply.empty()) {
        link.close();
        context.recordError(PCU_ERR_READ_CONFIG, static_cast<int>(sysErr));
        return PCU_ERR_READ_CONFIG;
    }
    ConfigRecord record = context.settings;
    record.valueV = kValueVNotSent;
    if (!ParseConfigurationReply(reply, record)) {
        link.close();
        context.recordError(PCU_ERR_PARSE_CONFIG, 0);
        return PCU_ERR_PARSE_CONFIG;
    }
    ReadMemory(link.conn(), record);
    context.settings = record;
    return link.close();
}

int SendConfiguration(Context& context, const ConfigRecord& record) {
    ScopedConnection link(context);
    if (const int status = WriteConfiguration(&link.conn(), nullptr, record); status != 0)
        return status;
    WaitMs(kSettleAfterConfigMs);
    const int closed = link.close();
    // Every wait from now on allows for the delays the printer was just told to take.
    State().extraDelayMs = record.messageDelay + record.interCharDelay;
    return closed;
}

int OptionsFrom(std::string_view reply, int* opt1, int* opt2, int* opt3) {
    switch (ParseLeadingNumber(reply).value_or(0)) {
        case 1:
            *opt1 = 1;
            break;
        case 2:
            *opt2 = 1;
            break;
        case 3:
        case 4:
            *opt3 = 1;
            break;
        default:
            break;
    }
    return PCU_OK;
}

int ReadOptions(Context& context, int* opt1, int* opt2, int* opt3) {
    ScopedConnection link(context);
    unsigned sysErr = 0;
    OptionsFrom(Ask(link.conn(), "<ESC>O", 1, &sysErr, OneFrame(link.conn())), opt1, opt2, opt3);
    return link.close();
}

int BaudCode(int baud) {
    switch (baud) {
        case 1200:
            return 0;
        case 2400:
            return 1;
        case 4800:
            return 2;
        case 19200:
            return 4;
        case 38400:
            return 5;
        case 57600:
            return 6;
        case 115200:
            return 7;
        default:
            return 3;  // 9600, and what the printer cannot take
    }
}

// The printer's parity code; -1 for Mark and Space, which its serial command has no code for.
int ParityCode(int parity) {
    switch (parity) {
        case PCU_PARITY_NONE:
            return 0;
        case PCU_PARITY_EVEN:
            return 1;
        case PCU_PARITY_ODD:
            return 2;
        default:
            return -1;
    }
}

int SendSerialSettings(Context& context, const commState& wanted, int reset) {
    ScopedConnection link(context);
    Connection* conn = &link.conn();
    char command[96];
    std::snprintf(command, sizeof command, "<SI>P%d,%d,%d,%d,%d", BaudCode(wanted.baud),
                  ParityCode(wanted.parity), wanted.dataBits - 7,
                  wanted.protocol == PCU_PROTOCOL_XONXOFF ? 0 : 2,
                  context.settings.serialFlag != 0 ? 1 : 0);
    int status = SendCommand(conn, nullptr, kCommandSingle, "R");
    if (status == 0)
        status = SendCommand(conn, nullptr, kCommandSingle, command);
    if (status == 0 && !CapabilitiesOf(context.settings.model).omitsHandshakePins) {
        std::snprintf(command, sizeof command, "<SI>p%d,%d", wanted.serialOption1,
                      wanted.serialOption2);
        status = SendCommand(conn, nullptr, kCommandSingle, command);
    }
    if (status != 0)
        return status;
    PCUWait(kSerialSettleUnits);
    if (reset != 0) {
        status = SendCommand(conn, nullptr, kCommandSingle, "<BS>");
        if (status != 0)
            return status;
        WaitMs(kResetSettleMs);
    }
    return link.close();
}

}  // namespace

int WriteConfiguration(Connection* conn, std::string* file, const ConfigRecord& record) {
    std::string text;
    if (const int status = BuildConfigurationText(record, &text); status != PCU_OK)
        return status;
    const int header = SendCommand(conn, file, kCommandHeader, ConfigurationHeader(record));
    if (header != 0 && header != kHeaderNotSent)
        return header;
    if (const int status = SendCommand(conn, file, kCommandSingle, "R"); status != 0)
        return status;
    return SendCommandList(conn, file, false, nullptr, text);
}

}  // namespace tarvo

using namespace tarvo;

TARVO_API int PCUGetCfg(int ctx) {
    return RunExport(ctx, [](Context& context) -> int { return ReadConfiguration(context); });
}

TARVO_API int PCUPutCfg(int ctx) {
    return RunExport(ctx, [](Context& context) -> int {
        // A copy: the host's message pump runs while the batch is sent.
        const ConfigRecord record = context.settings;
        return SendConfiguration(context, record);
    });
}

TARVO_API int PCUGetOptions(int ctx, int* opt1, int* opt2, int* opt3) {
    return RunExport(ctx, [&](Context& context) -> int {
        if (opt1 == nullptr || opt2 == nullptr || opt3 == nullptr)
            return PCU_ERR_ARGUMENT;
        *opt1 = *opt2 = *opt3 = 0;
        return ReadOptions(context, opt1, opt2, opt3);
    });
}

TARVO_API int PCUSendCommParm(int ctx, const commState* wanted, int reset) {
    return RunExport(ctx, [&](Context& context) -> int {
        if (wanted == nullptr || ParityCode(wanted->parity) < 0 ||
            (wanted->dataBits != 7 && wanted->dataBits != 8)) {
            return PCU_ERR_ARGUMENT;
        }
        const commState copy = *wanted;
        return SendSerialSettings(context, copy, reset);
    });
}

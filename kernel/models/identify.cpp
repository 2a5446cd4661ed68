// Identifying the attached printer: the escape-language road (<ESC>M1 and the program-number
// tables) and the script-language road (PRINT VERSION$ lines over the raw port).
#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "models/identify_internal.h"
#include "models/known_printer.h"
#include "models/program_numbers.h"
#include "port/bounded_copy.h"
#include "port/profile.h"
#include "port/wait.h"
#include "session/exchange.h"
#include "session/export_boundary.h"
#include "tarvo/identify.h"
#include "tarvo/models.h"
#include "tarvo/port.h"
#include "tarvo/strings.h"

namespace tarvo {
namespace {

constexpr std::size_t kIdentReplySize = 30;
constexpr std::size_t kScriptLineSize = 256;  // 255 characters and a terminator

// Stores detected frame characters in the context, and in the profile when they changed.
void StoreFrameCharacters(Context& context, const FrameCharacters& found) {
    const char pre = found.preamble.value_or(context.comm.preamble);
    const char post = found.postamble.value_or(context.comm.postamble);
    if (pre == context.comm.preamble && post == context.comm.postamble)
        return;
    context.comm.preamble = pre;
    context.comm.postamble = post;
    WriteProfileValues({{"Preamble", pre != '\0' ? std::string(1, pre) : std::string()},
                        {"Postamble", post != '\0' ? std::string(1, post) : std::string()}});
}

// A printer set to XON/XOFF is first greeted as a Standard-protocol printer, which wakes
// printers that have been left waiting for an acknowledge exchange. Returns false when the
// greeting could not even be sent.
bool GreetAsStandard(Context& context) {
    context.comm.protocol = PCU_PROTOCOL_STANDARD;
    bool sent = false;
    {
        Exchange exchange(context);
        exchange.send("", 2);
        const int status = exchange.send("<ESC>M1", 2);
        sent = status != kPortNotOpen && status != kPortWriteFailed && status != kPortOpenFailed;
        if (sent)
            PCUWait(200);
    }
    context.comm.protocol = PCU_PROTOCOL_XONXOFF;
    return sent;
}

// A reply that ends with the type field of the model this port last identified is whole there
// (no type is longer than another it starts with); one in a control-character postamble too.
ReplyComplete IdentificationComplete(const Connection& conn, std::string_view expectedType) {
    return [&conn, expectedType](std::string_view received) {
        if (OneFrameComplete(conn, received))
            return true;
        if (expectedType.empty() || !conn.receiveTokens[kTokPostamble].empty())
            return false;
        const std::string tail = "," + std::string(expectedType);
        return received.ends_with(tail) && std::count(received.begin(), received.end(), ',') == 2;
    };
}

// Asks <ESC>M1 on the context's line; the reply, empty for none. *opened tells whether the
// port could be used at all.
std::string AskIdentification(Context& context, bool* opened, std::string_view expectedType) {
    Exchange exchange(context);
    const std::string reply =
        exchange.ask("<ESC>M1", 5, 300, kIdentReplySize, 5, 500,
                     IdentificationComplete(exchange.connection(), expectedType));
    const int status = exchange.lastSendStatus();
    *opened = status != kPortOpenFailed && status != kPortNotOpen;
    return reply;
}

// Printers of the shared base number 071210 tell their type through their shell.
std::string RefineSharedNumber(Context& context, std::string candidate) {
    if (candidate != "071210")
        return candidate;
    Exchange exchange(context);
    std::string reply = exchange.ask("<ESC>.x,uname -p", 5, 300, kIdentReplySize, 5, 500);
    std::erase_if(reply, [](char c) { return c == '\r' || c == '\n' || c == '\0'; });
    static constexpr std::pair<std::string_view, std::string_view> kTypes[] = {
        {"TG3e", "771210"}, {"TG5e", "571210"}, {"TN5e", "671210"}, {"TQ5e", "871210"},
        {"TQ8e", "971210"}, {"G3", "271210"},   {"G5", "471210"},
    };
    for (const auto& [type, number] : kTypes) {
        if (reply == type)
            return std::string(number);
    }
    return candidate;
}

// The printer this port last identified, when adaptive timing may start with it.
std::optional<KnownPrinter> KnownOnThisPort(const Context& context) {
    if (PrescribedTiming())
        return std::nullopt;
    const auto known = RecallKnownPrinter();
    if (!known || known->port != context.comm.port)
        return std::nullopt;
    return known;
}

// One identification: frame characters, the Standard greeting when `greet` asks for it (a
// serial XON/XOFF line only), <ESC>M1 and the model its answer names.
int IdentifyOnce(Context& context, bool greet, std::string_view expectedType, char* modelName,
                 char* programNumber, char* firmware) {
    {
        Exchange detect(context);
        detect.clearFrameCharacters();
        StoreFrameCharacters(context, DetectFrameCharacters(detect, expectedType));
    }
    context.comm.family = PCU_FAMILY_LANMERE;
    if (greet && context.comm.protocol == PCU_PROTOCOL_XONXOFF &&
        context.comm.port < PCU_PORT_LPT1 && !GreetAsStandard(context)) {
        return PCU_ERR_NO_ANSWER;
    }
    bool opened = false;
    const std::string raw = AskIdentification(context, &opened, expectedType);
    if (!opened)
        return PCU_ERR_OPEN;
    if (raw.empty())
        return PCU_ERR_NO_ANSWER;
    const auto parsed = ParseIdentificationReply(raw);
    if (!parsed) {
        context.recordError(PCU_ERR_UNKNOWN_DEVICE, 0);
        return PCU_ERR_UNKNOWN_DEVICE;
    }
    const std::string candidate = RefineSharedNumber(context, parsed->candidate);
    bool second = false;
    const int model = ModelForProgramNumber(candidate, &second);
    if (model < 0) {
        context.recordError(PCU_ERR_UNKNOWN_DEVICE, 0);
        return PCU_ERR_UNKNOWN_DEVICE;
    }
    char name[PROP_NAME_SIZE];
    propGetPrinterStr(model, name);
    CopyBounded(name, modelName, PCU_ID_MODEL_SIZE);
    CopyBounded(candidate, programNumber, PCU_ID_NUMBER_SIZE);
    CopyBounded(parsed->firmware, firmware, PCU_ID_FIRMWARE_SIZE);
    context.settings.model = model;
    CopyBounded(parsed->firmware, context.settings.firmware, sizeof context.settings.firmware);
    State().programNumberSecond = second;
    RememberKnownPrinter(context.comm, model);
    return PCU_OK;
}

// A printer this port identified before on XON/XOFF is greeted on XON/XOFF first: the greeting
// on the Standard protocol, which such a printer cannot answer, is left out.
// Whatever fails then, the whole sequence runs from its start.
int IdentifyEscapePrinter(Context& context, char* modelName, char* programNumber, char* firmware) {
    const auto known = KnownOnThisPort(context);
    const std::string_view expectedType = known ? ReplyTypeOfModel(known->model) : "";
    if (known && known->protocol == PCU_PROTOCOL_XONXOFF &&
        context.comm.protocol == PCU_PROTOCOL_XONXOFF) {
        const int rc =
            IdentifyOnce(context, false, expectedType, modelName, programNumber, firmware);
        if (rc == PCU_OK || rc == PCU_ERR_OPEN)
            return rc;
    }
    return IdentifyOnce(context, true, expectedType, modelName, programNumber, firmware);
}

// One line of a script printer's answer: up to the first CR or LF, when the answer is text.
std::string ScriptAnswer(PCUHandle handle, const char* line, bool requirePrintable) {
    unsigned written = 0;
    unsigned sysErr = 0;
    WriteToPrinterG(handle, line, static_cast<int>(std::strlen(line)), &written, &sysErr);
    if (sysErr != 0)
        return {};
    char reply[kScriptLineSize];
    unsigned count = 0;
    ReadFromPrinterG(handle, reply, kScriptLineSize - 1, &count, &sysErr);
    reply[count] = '\0';
    if (sysErr != 0 || count == 0 || (requirePrintable && !StrIsPrintable(reply)))
        return {};
    const std::string_view text(reply, count);
    return std::string(text.substr(0, text.find_first_of("\r\n")));
}

int IdentifyScriptPrinter(int ctx, char* modelName, char* programNumber, char* firmware) {
    modelName[0] = programNumber[0] = firmware[0] = '\0';
    const PCUHandle handle = OpenPrinterG(ctx, PCU_PORT_FROM_CONTEXT, nullptr);
    if (handle == PCU_INVALID_HANDLE)
        return PCU_ERR_OPEN;
    ScriptAnswer(handle, "\x11SYSVAR(18)=2\r\n", false);
    CopyBounded(ScriptAnswer(handle, "PRINT VERSION$(1)\r\n", true), modelName, PCU_ID_MODEL_SIZE);
    // The printers take these two lines ended by CR alone.
    CopyBounded(ScriptAnswer(handle, "PRINT VERSION$(0)\r", false), firmware, PCU_ID_FIRMWARE_SIZE);
    CopyBounded(ScriptAnswer(handle, "PRINT VERSION$(2)\r", false), programNumber,
                PCU_ID_NUMBER_SIZE);
    ClosePrinterG(handle);
    return modelName[0] && programNumber[0] && firmware[0] ? PCU_OK : PCU_ERR_NO_ANSWER;
}

}  // namespace

FrameCharacters DetectFrameCharacters(Exchange& exchange, std::string_view expectedType) {
    FrameCharacters found;
    const std::string reply =
        exchange.ask("<ESC>M1", 2, 100, kIdentReplySize, 2, 500,
                     IdentificationComplete(exchange.connection(), expectedType));
    if (reply.empty())
        return found;
    found.preamble = DetectPreamble(reply);
    // The status answer is one byte between the frame characters: its length tells which of
    // them the printer uses. No answer tells nothing, and the stored postamble stays.
    const std::string status = exchange.ask("<ENQ>", 2, 100, kIdentReplySize, 2, 500);
    if (status.empty())
        return found;
    if (status.size() == 2 && *found.preamble == '\0') {
        found.postamble = status[1];
    } else if (status.size() == 3) {
        found.postamble = status[2];
    } else {
        found.postamble = '\0';
    }
    return found;
}

}  // namespace tarvo

using namespace tarvo;

TARVO_API int PCUGetPrinterID(int ctx, char* modelName, char* programNumber, char* firmware,
                              int query) {
    return RunExport(ctx, [&](Context& context) -> int {
        if (modelName == nullptr || programNumber == nullptr || firmware == nullptr)
            return PCU_ERR_ARGUMENT;
        if (query == 0) {
            char name[PROP_NAME_SIZE] = "";
            propGetPrinterStr(context.settings.model, name);
            CopyBounded(name, modelName, PCU_ID_MODEL_SIZE);
            const int model = context.settings.model;
            CopyBounded(model >= 0 && model < kProgramNumberRows
                            ? ProgramNumberTable()[static_cast<std::size_t>(model)].number1
                            : std::string_view(),
                        programNumber, PCU_ID_NUMBER_SIZE);
            CopyBounded(context.settings.firmware, firmware, PCU_ID_FIRMWARE_SIZE);
            return context.settings.firmware[0] == '\0' ? PCU_ERR_NO_FIRMWARE : PCU_OK;
        }
        const bool askedAsDefault = std::strncmp(modelName, "DEFAULT", PCU_ID_MODEL_SIZE) == 0;
        if (context.comm.family == PCU_FAMILY_BRAKENHOLM && !askedAsDefault)
            return IdentifyScriptPrinter(ctx, modelName, programNumber, firmware);
        return IdentifyEscapePrinter(context, modelName, programNumber, firmware);
    });
}

TARVO_API int PCUGetRealPrinterID(int ctx, char* type, char* programNumber, char* firmware) {
    return RunExport(ctx, [&](Context& context) -> int {
        if (type == nullptr || programNumber == nullptr || firmware == nullptr)
            return PCU_ERR_ARGUMENT;
        type[0] = programNumber[0] = firmware[0] = '\0';
        bool opened = false;
        const std::string raw = AskIdentification(context, &opened, {});
        if (!opened)
            return PCU_ERR_OPEN;
        const auto parsed = ParseIdentificationReply(raw);
        if (!parsed)
            return PCU_ERR_NO_ANSWER;
        CopyBounded(parsed->fields[0], programNumber, PCU_ID_NUMBER_SIZE);
        CopyBounded(parsed->fields[1], firmware, PCU_ID_FIRMWARE_SIZE);
        CopyBounded(
            parsed->fields.size() > 2 ? std::string_view(parsed->fields[2]) : std::string_view(),
            type, PCU_ID_TYPE_SIZE);
        return PCU_OK;
    });
}

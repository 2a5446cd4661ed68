#include "models/known_printer.h"

#include "models/identify_internal.h"
#include "models/program_numbers.h"
#include "port/profile.h"
#include "tarvo/base/port_names.h"
#include "tarvo/models.h"

namespace tarvo {
namespace {

constexpr const char* kPortKey = "IdentifiedPort";
constexpr const char* kProtocolKey = "IdentifiedProtocol";
constexpr const char* kModelKey = "IdentifiedModel";

constexpr std::pair<int, std::string_view> kProtocolNames[] = {
    {PCU_PROTOCOL_XONXOFF, "XON/XOFF"},
    {PCU_PROTOCOL_STANDARD, "Standard"},
    {PCU_PROTOCOL_RTSCTS, "RTS/CTS"},
    {PCU_PROTOCOL_PARALLEL, "Parallel"},
};

std::string_view ProtocolText(int protocol) {
    for (const auto& [value, name] : kProtocolNames) {
        if (value == protocol)
            return name;
    }
    return {};
}

int ProtocolOf(std::string_view text) {
    for (const auto& [value, name] : kProtocolNames) {
        if (name == text)
            return value;
    }
    return -1;
}

std::string ModelText(int model) {
    char name[PROP_NAME_SIZE] = "";
    propGetPrinterStr(model, name);
    return name;
}

}  // namespace

std::optional<KnownPrinter> RecallKnownPrinter() {
    KnownPrinter known;
    known.port = PortIndexOf(ProfileValue(kPortKey, ""));
    known.protocol = ProtocolOf(ProfileValue(kProtocolKey, ""));
    const std::string model = ProfileValue(kModelKey, "");
    known.model = model.empty() ? -1 : propGetPrinterID(model.c_str());
    if (known.port < 0 || known.protocol < 0 || known.model < 0 ||
        known.model >= PROP_DEFAULT_MODEL)
        return std::nullopt;
    return known;
}

void RememberKnownPrinter(const commState& line, int model) {
    const std::string port = PortName(line.port);
    const std::string protocol(ProtocolText(line.protocol));
    const std::string name = ModelText(model);
    if (port.empty() || protocol.empty() || name.empty())
        return;
    if (ProfileValue(kPortKey, "") == port && ProfileValue(kProtocolKey, "") == protocol &&
        ProfileValue(kModelKey, "") == name)
        return;
    // A profile that cannot be written only costs the next identification its head start.
    WriteProfileValues({{kPortKey, port}, {kProtocolKey, protocol}, {kModelKey, name}});
}

std::string_view ReplyTypeOfModel(int model) {
    if (model < 0 || model >= kProgramNumberRows)
        return {};
    return ReplyTypeOfNumber(ProgramNumberTable()[static_cast<std::size_t>(model)].number1);
}

}  // namespace tarvo

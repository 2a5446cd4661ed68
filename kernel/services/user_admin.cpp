// Network and shell-user administration through the printer's command shell: each function
// sends one shell line with the pass-through command <ESC>.x, and reads the shell's answer.
#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "objects/printer_query.h"
#include "session/export_boundary.h"
#include "session/kernel_state.h"
#include "tarvo/network.h"

namespace tarvo {
namespace {

// The shell lines carry their own <STX>...<ETX>, which the printer takes as the frame of the
// pass-through command; the framing layer wraps them once more, and the printer restarts its
// frame at the inner <STX>.
constexpr std::string_view kNetworkQuery = "<STX><ESC>.x,echo IFNAME=$SETENV_OS{IFNAME}<ETX>";
constexpr std::string_view kWhoAmI = "<STX><ESC>.x,whoami<ETX>";
constexpr std::string_view kSwitchToUser = "<STX><ESC>.x,su user<ETX>";
constexpr std::string_view kAdministrator = "admin";

// An answer "IFNAME=" followed by an interface name is longer than this.
constexpr std::size_t kBareNetworkAnswer = 8;

bool IsUserNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '.';
}

// Printable, no blank, nothing the shell would read as syntax (quotes, ; $ | & \ > and `),
// and no `<`, which the command notation would take as the start of a control character.
bool IsPasswordChar(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte >= 0x7F)
        return false;
    return std::string_view("\"'`;<>\\$|&").find(c) == std::string_view::npos;
}

bool IsUsable(const char* text, std::size_t maxLength, bool (*allowed)(char)) {
    if (text == nullptr)
        return false;
    const std::size_t length = strnlen(text, maxLength + 1);
    return length >= 1 && length <= maxLength && std::all_of(text, text + length, allowed);
}

// Wipes a command line that held a password once it has been sent.
class WipedText {
  public:
    WipedText() = default;
    ~WipedText() { ::explicit_bzero(text.data(), text.size()); }
    WipedText(const WipedText&) = delete;
    WipedText& operator=(const WipedText&) = delete;
    std::string text;
};

// A port that would not open is also the user's to see.
QueryResult AskShell(Context& context, std::string_view line, std::string_view secret = {}) {
    QueryResult answer = QueryPrinter(context, line, secret);
    if (answer.status == PCU_ERR_OPEN)
        context.recordError(PCU_ERR_OPEN, answer.sysError);
    return answer;
}

}  // namespace
}  // namespace tarvo

using namespace tarvo;

TARVO_API int PCUGetNetwork(int ctx, int* hasNetwork) {
    return RunExport(ctx, [&](Context& context) -> int {
        if (hasNetwork == nullptr)
            return PCU_ERR_ARGUMENT;
        *hasNetwork = 0;
        const QueryResult answer = AskShell(context, kNetworkQuery);
        if (answer.status == PCU_ERR_OPEN)
            return PCU_ERR_OPEN;
        *hasNetwork = answer.reply.size() > kBareNetworkAnswer ? 1 : 0;
        return answer.status;
    });
}

TARVO_API int PCUChangeUser(int ctx, const char* userName, const char* password) {
    return RunExport(ctx, [&](Context& context) -> int {
        if (!IsUsable(userName, PCU_USER_NAME_MAX, IsUserNameChar))
            return PCU_ERR_ARGUMENT;
        const bool administrator = userName == kAdministrator;
        if (administrator && !IsUsable(password, PCU_PASSWORD_MAX, IsPasswordChar))
            return PCU_ERR_ARGUMENT;
        WipedText line;
        std::string_view secret;
        if (administrator) {
            secret = password;
            line.text.reserve(64 + secret.size());
            line.text.append("<STX><ESC>.x,su -p ").append(secret);
            line.text.append(" ").append(kAdministrator).append("<ETX>");
        } else {
            line.text = kSwitchToUser;
        }
        const QueryResult answer = AskShell(context, line.text, secret);
        return answer.status == PCU_ERR_OPEN ? PCU_ERR_OPEN : 1;
    });
}

TARVO_API int PCUCheckIfAdministrator(int ctx) {
    return RunExport(ctx, [](Context& context) -> int {
        const QueryResult answer = AskShell(context, kWhoAmI);
        if (answer.status == PCU_ERR_OPEN)
            return PCU_ERR_OPEN;
        if (answer.reply.find(kAdministrator) != std::string::npos)
            return 1;
        return answer.status;
    });
}

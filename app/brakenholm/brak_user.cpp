// Users of the printer, its saved factory setup and the parity correction.
#include <algorithm>
#include <array>
#include <string>

#include "brakenholm/brak_printer.h"
#include "brakenholm/brak_text.h"
#include "brakenholm/brak_wire.h"
#include "shell/settings.h"
#include "tarvo/context.h"
#include "tarvo/port.h"

namespace tarvo::app {
namespace {

constexpr int kAfterSlowVerboseOffMs = 500;

// Writes `lines` on one connection and reads the answer. Result Ok when every line went out.
QueryReply Exchange(ScriptPort& port, std::initializer_list<std::string_view> lines) {
    QueryReply reply;
    OpenOutcome open = port.Open({});
    if (!open.connection) {
        reply.status = TxStatus::OpenFailed;
        reply.error = open.error;
        return reply;
    }
    for (std::string_view line : lines) {
        if (const int e = open.connection->Write(line); e != 0) {
            reply.status = TxStatus::WriteFailed;
            reply.error = e;
            return reply;
        }
    }
    RawReply raw = ReadOnce(*open.connection);
    if (raw.error != 0) {
        reply.status = TxStatus::ReadFailed;
        reply.error = raw.error;
    }
    reply.text = std::move(raw.text);
    reply.truncated = raw.truncated;
    return reply;
}

// The first line of a reply, for a message.
std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find_first_of("\r\n"));
}

// Keeps a password out of the byte trace while the line that carries it is on the wire.
class HiddenFromTrace {
  public:
    explicit HiddenFromTrace(std::string_view secret) {
        std::array<char, SecretText::kCapacity + 1> text{};
        const std::size_t size = std::min(secret.size(), SecretText::kCapacity);
        std::copy_n(secret.data(), size, text.data());
        active_ = PCUTraceSecretBegin(text.data()) == 1;
        WipeMemory(text.data(), text.size());
    }
    ~HiddenFromTrace() {
        if (active_)
            PCUTraceSecretEnd();
    }
    HiddenFromTrace(const HiddenFromTrace&) = delete;
    HiddenFromTrace& operator=(const HiddenFromTrace&) = delete;

  private:
    bool active_ = false;
};

}  // namespace

bool CBrakPrinter::WhoAmI() {
    // Judged on this answer alone: an "admin" left from an earlier exchange must not count.
    const QueryReply reply = Exchange(*port_, {WithCrLf("run \"whoami")});
    return reply.ok() && reply.text.find("admin") != std::string::npos;
}

TxResult CBrakPrinter::SwitchUser(PrinterUser user, const SecretText& password) {
    std::string line;
    if (user == PrinterUser::Admin) {
        // An empty password would shift the user name into its place on the printer's command
        // line, and quotes or blanks would change the command itself.
        if (password.Size() == 0 || PasswordProblem(password.View()))
            return {TxStatus::Refused, 0};
        line.reserve(32 + password.Size());  // one buffer, wiped below
        line.append("run \"su -p ").append(password.View()).append(" admin\r\n");
    } else {
        line = "run \"su user\r\n";
    }
    QueryReply reply;
    {
        const HiddenFromTrace hidden(password.View());
        reply = Exchange(*port_, {line});
    }
    WipeMemory(line.data(), line.size());
    if (!reply.ok())
        return reply;
    if (reply.text.empty())
        return {TxStatus::ReadFailed, 0};
    return {};
}

OpResult CBrakPrinter::RestoreSavedSetup() {
    const QueryReply format = Exchange(*port_, {WithCrLf("FORMAT \"tmp:\"")});
    if (!format.ok())
        return {OpStatus::Failed, std::nullopt, "the printer could not be reached"};
    const QueryReply restore = Exchange(
        *port_, {WithCrLf("run \"setup r rom:.setup.saved\""), WithCrLf("run \"setup w\"")});
    if (!restore.ok())
        return {OpStatus::Failed, std::nullopt, "the restore commands could not be sent"};
    // The printer's shell answers each line it runs; silence means nothing was restored.
    if (restore.text.empty())
        return {OpStatus::NoAnswer, std::nullopt,
                "the printer did not answer the restore commands"};
    if (restore.text.find("Ok") == std::string::npos ||
        restore.text.find("Error") != std::string::npos)
        return {OpStatus::Failed, std::nullopt,
                "the printer refused the restore: " + FirstLine(restore.text)};
    return {};
}

ParityCheck CBrakPrinter::CheckParity() {
    if (setup_.parity != 2)
        return ParityCheck::NotNeeded;
    OpenOutcome open = port_->Open({});
    if (!open.connection)
        return ParityCheck::Failed;
    ScriptConnection& c = *open.connection;
    std::string request(1, kDc1);
    request.append(kListingRequest).append("\r\n").append(1, kDc1);
    if (c.Write(request) != 0)
        return ParityCheck::Failed;
    const RawReply reply = ReadOnce(c);
    // A printer that says nothing gives nothing to judge: its parity is left alone.
    if (reply.error != 0 || reply.text.empty())
        return ParityCheck::NoAnswer;
    if (ParseSetupListing(reply.text, ListingSource::Printer))
        return ParityCheck::Confirmed;
    prompt_.Tell("Warning",
                 "This printer does not support a parity setting of \"NONE\"\n\n"
                 "The parity will be reset to \"ODD\"\n\n"
                 "You may select a different parity setting in the Communications dialog box.",
                 PromptIcon::Exclamation);
    c.WriteSlowly(WithCrLf(kVerboseOff));
    port_->Wait(kAfterSlowVerboseOffMs);
    c.WriteSlowly(WithCrLf("SETUP \"SER-COM,UART1,PARITY,ODD\""));
    setup_.parity = 1;
    WriteSetting(setting::kParity, "Odd");
    PCUInitCommParm(PrinterHandle());
    ReadSettings(session_, prompt_);
    return ParityCheck::Rewritten;
}

}  // namespace tarvo::app

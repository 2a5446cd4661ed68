// Reboot: the command goes out only to a printer whose DSR is not known to be off, and every
// wait afterwards is bounded and can be cut short, so a printer that never comes back (or comes
// back speaking the other language) ends in a message instead of an endless wait.
#include <algorithm>
#include <functional>
#include <memory>

#include "brakenholm/brak_printer.h"
#include "brakenholm/brak_text.h"
#include "fwxfer/gf_com_port.h"
#include "shell/settings.h"
#include "tarvo/base/port_names.h"

namespace tarvo::app {
namespace {

constexpr int kDsrPollMs = 100;
constexpr int kDsrLimitMs = 30000;
constexpr int kRebootSettleMs = 10000;
constexpr int kRebootPollMs = 5000;
constexpr int kRebootReadMs = 250;
constexpr int kCancelSliceMs = 100;
constexpr std::size_t kRebootReplyBytes = 55;

OpResult NoAnswerAfterReboot() {
    return {OpStatus::NoAnswer, std::nullopt, "Printer did not answer after reboot"};
}

}  // namespace

OpResult CBrakPrinter::Reboot() {
    return Reboot(RebootControl{});
}

std::function<std::optional<bool>()> CBrakPrinter::DsrReader() {
    if (options_.readDsr)
        return options_.readDsr;
    // One descriptor for the whole reboot: closing a serial device may drop its modem lines.
    const std::string device =
        ReadSetting(PortDeviceKey(session_.port), DefaultPortDevice(session_.port));
    int error = 0;
    std::shared_ptr<fwxfer::GFComPort> port = fwxfer::GFComPort::Open(device, &error);
    return [port]() { return port ? port->dsr() : std::nullopt; };
}

bool CBrakPrinter::WaitUnlessCancelled(int ms, const RebootControl& control) {
    if (!control.cancelled) {
        port_->Wait(ms);
        return true;
    }
    for (int left = ms; left > 0; left -= kCancelSliceMs) {
        if (control.cancelled())
            return false;
        port_->Wait(std::min(left, kCancelSliceMs));
    }
    return !control.cancelled();
}

bool CBrakPrinter::RebootAnswered() {
    OpenOutcome open = port_->Open({});
    if (!open.connection || open.connection->WriteSlowly("SYSVAR(18)=2\r") != 0)
        return false;
    port_->Wait(kRebootReadMs);
    char answer[kRebootReplyBytes] = {};
    const ReadOutcome got = open.connection->Read(answer, kRebootReplyBytes);
    return got.error == 0 &&
           AsciiLower(std::string_view(answer, got.count)).find("ok") != std::string::npos;
}

OpResult CBrakPrinter::Reboot(const RebootControl& control) {
    const auto readDsr = DsrReader();
    const std::optional<bool> dsr = readDsr();
    if (dsr == false) {
        return {OpStatus::Refused, std::nullopt,
                "The printer is not ready (DSR is off); the reboot was not sent."};
    }
    {
        OpenOutcome open = port_->Open({});
        if (!open.connection)
            return {OpStatus::Failed, std::nullopt, "the port did not open"};
        if (open.connection->WriteSlowly("reboot\r") != 0)
            return {OpStatus::Failed, std::nullopt, "the reboot command could not be sent"};
    }
    if (!control.waitForAnswer)
        return {};
    const OpResult cancelled{OpStatus::Cancelled, std::nullopt, {}};
    // Only a line that reports DSR is waited on; a pseudo-terminal cannot tell, and there the
    // "ok" poll alone decides.
    if (dsr.has_value()) {
        int waited = 0;
        while (readDsr() == false) {
            if (waited >= kDsrLimitMs)
                return NoAnswerAfterReboot();
            if (!WaitUnlessCancelled(kDsrPollMs, control))
                return cancelled;
            waited += kDsrPollMs;
        }
    }
    if (!WaitUnlessCancelled(kRebootSettleMs, control))
        return cancelled;
    for (int poll = 0; poll < options_.rebootPolls; ++poll) {
        if (!WaitUnlessCancelled(kRebootPollMs, control))
            return cancelled;
        if (RebootAnswered())
            return {};
    }
    return NoAnswerAfterReboot();
}

}  // namespace tarvo::app

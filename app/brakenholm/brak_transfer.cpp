// DownloadFile: a file to the printer over Zmodem. The printer is moved to RTS/CTS and 8-bit
// characters for the transfer (the host following), its receiver is started with RUN "dlk",
// and afterwards the printer's own line settings are restored (printer first, then the host,
// then a check that it still answers), whether the transfer went well or not.
#include <filesystem>
#include <fstream>

#include "brakenholm/brak_printer.h"
#include "brakenholm/brak_text.h"
#include "brakenholm/brak_transfer.h"
#include "fwxfer/gf_com_port.h"
#include "fwxfer/gf_zmodem.h"
#include "shell/settings.h"
#include "tarvo/base/port_names.h"

namespace tarvo::app {
namespace {

constexpr int kChdirSettleMs = 2500;
constexpr int kPromptTries = 5;
constexpr int kPromptWaitMs = 500;

const std::vector<BrakSetting> kTransferLine = {BrakSetting::RtsCts, BrakSetting::XonXoffFromHost,
                                                BrakSetting::XonXoffToHost,
                                                BrakSetting::CharLength};

// The file's size when it can be read; nullopt otherwise.
std::optional<std::uintmax_t> ReadableSize(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return std::nullopt;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || !std::ifstream(path, std::ios::binary))
        return std::nullopt;
    return size;
}

char ParityLetter(int parity) {
    return parity >= 0 && parity <= 4 ? "EONMS"[parity] : 'N';
}

}  // namespace

std::string LineSettingsText(const BrakSetup& setup) {
    std::string text = std::to_string(setup.charLength) + "-bit characters, ";
    if (setup.rtsCts)
        text += "RTS/CTS";
    if (setup.xonXoffFromHost || setup.xonXoffToHost)
        text += std::string(setup.rtsCts ? " and " : "") + "XON/XOFF";
    if (!setup.rtsCts && !setup.xonXoffFromHost && !setup.xonXoffToHost)
        text += "no flow control";
    return text;
}

std::string HostLineText(const AppSession& session) {
    return std::to_string(session.baud) + " baud, " + std::to_string(session.dataBits) +
           " data bits, parity " + ParityLetter(session.parity) + ", " +
           std::to_string(session.stopBits) + " stop bit" + (session.stopBits == 1 ? "" : "s") +
           ", " + (session.protocol == PCU_PROTOCOL_RTSCTS ? "RTS/CTS" : "XON/XOFF");
}

bool CBrakPrinter::WaitForPrompt() {
    for (int attempt = 0; attempt < kPromptTries; ++attempt) {
        port_->Wait(kPromptWaitMs);
        if (AsciiLower(QueryLine("Sysvar(18)=2").text).find("ok") != std::string::npos)
            return true;
    }
    return false;
}

fwxfer::GFResult SendByZmodem(const AppSession& session, const platform::LineFormat& format,
                              std::string_view startLine, const std::string& path,
                              const std::string& remoteName, fwxfer::GFMonitor& monitor) {
    const std::string device =
        ReadSetting(PortDeviceKey(session.port), DefaultPortDevice(session.port));
    int error = 0;
    const auto port = fwxfer::GFComPort::Open(device, &error);
    if (!port)
        return fwxfer::GFResult::PortError;
    if (fwxfer::GFDataFormat(*port).Set(format) != 0)
        return fwxfer::GFResult::PortError;
    fwxfer::GFSerial serial(*port, monitor);
    if (!startLine.empty()) {
        switch (serial.PutBuffer(startLine)) {
            case fwxfer::GFIo::Ok:
                break;
            case fwxfer::GFIo::Aborted:
                return fwxfer::GFResult::Cancelled;  // before the receiver ran: nothing to end
            case fwxfer::GFIo::Stalled:
                return fwxfer::GFResult::Stalled;
            case fwxfer::GFIo::Closed:
                return fwxfer::GFResult::LineCut;
            default:
                return fwxfer::GFResult::PortError;
        }
    }
    const fwxfer::GFResult result = fwxfer::GFZmodem(serial).SendFile(path, remoteName);
    serial.TXFlush();
    serial.RXFlush();
    return result;
}

platform::LineFormat SessionLineFormat(const AppSession& session) {
    const platform::FlowControl flow = session.protocol == PCU_PROTOCOL_RTSCTS
                                           ? platform::FlowControl::RtsCts
                                           : platform::FlowControl::XonXoff;
    return {static_cast<unsigned>(session.baud), session.dataBits, ParityLetter(session.parity),
            session.stopBits, flow};
}

std::string TransferErrorText(fwxfer::GFResult result) {
    return "Error \"" + std::to_string(static_cast<int>(result)) +
           "\" occured during file transfer.\nIf this problem persists please contact\nQuorvane "
           "Customer Support.\n(" +
           fwxfer::GFResultText(result) + ")";
}

fwxfer::GFResult CBrakPrinter::SendOverZmodem(const std::string& path,
                                              const std::string& remoteName,
                                              fwxfer::GFMonitor& monitor) {
    // The printer was moved to RTS/CTS and 8-bit characters for the transfer.
    platform::LineFormat format = SessionLineFormat(session_);
    format.dataBits = 8;
    format.flow = platform::FlowControl::RtsCts;
    return SendByZmodem(session_, format, "RUN \"dlk\"\r", path, remoteName, monitor);
}

OpResult CBrakPrinter::DownloadFile(const std::string& path, TransferKind kind,
                                    const std::string& remoteName, fwxfer::GFMonitor& monitor) {
    if (auto problem = PrinterFileNameProblem(remoteName))
        return {OpStatus::Refused, std::nullopt, *problem};
    if (kind == TransferKind::Image)
        return LoadImage(path, remoteName);
    const auto size = ReadableSize(path);
    if (!size)
        return {OpStatus::Refused, std::nullopt, "cannot read " + path};
    const std::string device = generation_ == 1 ? "ram:" : "c:";
    if (!HasRoomFor(device, static_cast<long long>(*size))) {
        return {
            OpStatus::Refused, std::nullopt,
            "There is not enough memory in the \"" + device + "\" directory to store the object."};
    }
    const BrakSetup saved = setup_;
    setup_.rtsCts = true;
    setup_.xonXoffFromHost = false;
    setup_.xonXoffToHost = false;
    setup_.charLength = 8;
    SendSetupLine("sysvar(35)=1");
    OpResult result = SendSettings(kTransferLine);
    if (result.ok()) {
        SendSetupLine("chdir \"" + device + "\"");
        port_->Wait(kChdirSettleMs);
        const fwxfer::GFResult sent = SendOverZmodem(path, remoteName, monitor);
        if (sent != fwxfer::GFResult::Ok)
            result = {OpStatus::Failed, std::nullopt, TransferErrorText(sent)};
        else if (!WaitForPrompt())
            result = {OpStatus::NoAnswer, std::nullopt,
                      "the printer did not answer after the transfer"};
    }
    return RestoreLineAfterTransfer(saved, result, kTransferLine);
}

OpResult CBrakPrinter::RestoreLineAfterTransfer(const BrakSetup& saved, OpResult result,
                                                const std::vector<BrakSetting>& settings) {
    const BrakSetup during = setup_;
    setup_.rtsCts = saved.rtsCts;
    setup_.xonXoffFromHost = saved.xonXoffFromHost;
    setup_.xonXoffToHost = saved.xonXoffToHost;
    setup_.charLength = saved.charLength;
    const OpResult restored = SendSettings(settings);
    if (restored.ok())
        return result;
    std::string detail = result.ok() ? std::string() : result.detail + "\n";
    detail += "The printer's line settings could not be restored (" + restored.detail +
              "). The printer may still be on " + LineSettingsText(during) + "; it should be on " +
              LineSettingsText(saved) + ". The host is on " + HostLineText(session_) + ".";
    return {result.ok() ? restored.status : result.status, restored.setting, detail};
}

}  // namespace tarvo::app

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "brakenholm/brak_printer.h"
#include "brakenholm/brak_text.h"
#include "brakenholm/brak_transfer.h"
#include "tarvo/base/script_firmware.h"

namespace tarvo::app {
namespace {

constexpr std::size_t kMaxPrinterFileName = 30;
constexpr float kKernelChangeVersion = 7.31f;

bool IsTallyscript(std::string_view text) {
    return AsciiLower(text).find("tallyscript") != std::string::npos;
}

// The first run of digits and points, read as a decimal number; 0 without one.
float VersionNumber(std::string_view text) {
    const std::size_t start = text.find_first_of("0123456789.");
    if (start == std::string_view::npos)
        return 0;
    const std::size_t end = text.find_first_not_of("0123456789.", start);
    return std::strtof(std::string(text.substr(start, end - start)).c_str(), nullptr);
}

std::string Format(const char* pattern, std::string_view a, std::string_view b) {
    const std::string first(a), second(b);
    const int size = std::snprintf(nullptr, 0, pattern, first.c_str(), second.c_str());
    std::string text(static_cast<std::size_t>(size) + 1, '\0');
    std::snprintf(text.data(), text.size(), pattern, first.c_str(), second.c_str());
    text.pop_back();
    return text;
}

bool EndsWithExe(const std::string& path) {
    return path.size() >= 4 && AsciiLower(path.substr(path.size() - 4)) == ".exe";
}

}  // namespace

std::optional<std::string> FirmwareFileVersion(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string start(256, '\0');
    in.read(start.data(), static_cast<std::streamsize>(start.size()));
    start.resize(static_cast<std::size_t>(in.gcount()));
    return platform::ScriptFirmwareVersion(start);
}

const char* TransferTitle(TransferKind kind) {
    switch (kind) {
        case TransferKind::Firmware:
            return "Downloading Firmware";
        case TransferKind::Font:
            return "Downloading Font";
        case TransferKind::Image:
            return "Downloading Image";
    }
    return "Downloading";
}

std::optional<std::string> PrinterFileNameProblem(std::string_view name) {
    if (name.empty())
        return "a file name is needed";
    if (name.size() > kMaxPrinterFileName)
        return "a printer's file name has at most 30 characters";
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x21 || byte > 0x7E ||
            std::string_view("\"/\\,:;=").find(c) != std::string_view::npos)
            return "a printer's file name holds no blanks, quotes, control characters or / \\ , : "
                   "; =";
    }
    return std::nullopt;
}

FirmwarePlan PlanFirmwareChange(std::string_view printerText, std::string_view fileText) {
    const float printer = VersionNumber(printerText);
    const float file = VersionNumber(fileText);
    // Only whether each text names the script language matters, not where: two Tallyscript
    // firmwares are the same kind whatever else their texts say.
    if (IsTallyscript(printerText) != IsTallyscript(fileText)) {
        return {Format("Current printer firmware is\n\t%s.\n\nThe file contains\n\t%s.\n\nDo you "
                       "want to proceed?\n\n\nNOTE: If you are changing from QEL to Tallyscript "
                       "or\nTallyscript to QEL Tarvo will not be able to reconnect.\nPlease run "
                       "Autoconnect to re-establish a connection.",
                       printerText, fileText),
                false, false, true};
    }
    if (printer < kKernelChangeVersion && file >= kKernelChangeVersion) {
        return {Format("Updating firmware from version\n\t%s\n\nto version\n\t%s\n\nrequires "
                       "downloading the kernel twice and reformating the printer's \"c:\" "
                       "drive.\n\nDo you wish to proceed?",
                       printerText, fileText),
                true, true};
    }
    if (printer >= kKernelChangeVersion && file < kKernelChangeVersion) {
        return {Format("Changing firmware from version\n\t%s\n\nto version\n\t%s\n\nrequires "
                       "reformating the printer's \"c:\" drive.\n\nDo you wish to proceed?",
                       printerText, fileText),
                true, false};
    }
    return {Format("Current printer firmware is\n%s.\n\nThe file contains %s.\n\nDo you want to "
                   "proceed?",
                   printerText, fileText),
            false, false};
}

OpResult CBrakPrinter::FirmwareDownload(const std::string& path, fwxfer::GFMonitor& monitor,
                                        bool* kindChanges) {
    if (EndsWithExe(path)) {
        return {OpStatus::Refused, std::nullopt,
                "This is a self-extracting firmware package. Unpack it and choose the .bin "
                "file inside."};
    }
    if (session_.port > PCU_PORT_COM4) {
        return {OpStatus::Refused, std::nullopt,
                "You can not download firmware over the parallel port.\nPlease switch to a "
                "serial port."};
    }
    const std::optional<std::string> fileText = FirmwareFileVersion(path);
    if (!fileText)
        return {OpStatus::Refused, std::nullopt, path + " is not a firmware file for this printer"};
    // The question and the reboot depend on the language the printer runs now: a silent or
    // empty answer must not read as the other language.
    const QueryReply running = QueryLine("PRINT VERSION$(0)");
    identity_.version0 = CollapseBlanks(StripLineEnds(running.text));
    if (!running.ok() || identity_.version0.empty())
        return {OpStatus::NoAnswer, std::nullopt,
                "the printer did not tell which firmware it runs; nothing was sent"};
    const FirmwarePlan plan = PlanFirmwareChange(identity_.version0, *fileText);
    if (kindChanges != nullptr)
        *kindChanges = plan.kindChanges;
    const Question ask{"Warning", plan.question, PromptButtons::OkCancel, PromptIcon::Exclamation,
                       PromptAnswer::Cancel};
    if (prompt_.Ask(ask) != PromptAnswer::Ok)
        return {OpStatus::Cancelled, std::nullopt, {}};
    if (plan.reformat) {
        SendSetupLine("format \"c:\",a");
        if (!WaitForPrompt())
            return {OpStatus::NoAnswer, std::nullopt,
                    "the printer did not answer after the format"};
    }
    const std::string name = std::filesystem::path(path).filename().string();
    if (OpResult r = DownloadFile(path, TransferKind::Firmware, name, monitor); !r.ok())
        return r;
    if (!plan.secondTransfer)
        return {};
    prompt_.Ask({"Tarvo", "Starting the second download.", PromptButtons::Ok,
                 PromptIcon::Information, PromptAnswer::Ok});
    if (OpResult r = DownloadFile(path, TransferKind::Firmware, name, monitor); !r.ok()) {
        r.detail = "Second transfer failed.\nContact Quorvane Product Support.\n" + r.detail;
        return r;
    }
    return {};
}

}  // namespace tarvo::app

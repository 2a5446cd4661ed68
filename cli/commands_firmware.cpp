// `tarvo firmware`: checking a Lanmere-family firmware directory against the printer and
// downloading it through the printer's boot loader; the escape-language printers on script
// hardware take the firmware file over Zmodem instead (commands_transfer.cpp).
#include <cstdlib>
#include <iostream>
#include <string>

#include "brakenholm_session.h"
#include "cli_support.h"
#include "command_runs.h"
#include "console_prompt.h"
#include "desk/firmware_messages.h"
#include "desk/firmware_page.h"
#include "desk/firmware_road.h"
#include "tarvo/kernel.h"

namespace tarvo::cli {
namespace {

// The desktop program's texts; a damaged image, which the page reports at verification, and
// the boot-mode hint in the option's spelling are added here.
std::string FirmwareMessage(int code) {
    if (code == PCU_FW_CHECKSUM)
        return app::FirmwareStringText(app::kStrFirmwareCorrupted);
    std::string text = app::FirmwareResultMessage(code);
    if (code == app::kFirmwareNoAnswer)
        text += " (Here: --boot-mode.)";
    return text;
}

int FailWith(int code, const std::string& what) {
    const std::string text = FirmwareMessage(code);
    return Fail(what + " (code " + std::to_string(code) + ")" + (text.empty() ? "" : ": " + text));
}

struct Options {
    std::string dir;
    bool bootMode = false;
    bool ignoreMismatch = false;
    int port = 0;  // 0: the context's serial port
};

bool ParseOptions(const CommandLine& line, Options* o, std::string* error) {
    const auto& a = line.args;
    for (std::size_t i = 1; i < a.size(); ++i) {
        if (a[i] == "--boot-mode") {
            o->bootMode = true;
        } else if (a[i] == "--ignore-mismatch") {
            o->ignoreMismatch = true;
        } else if (a[i] == "--port" && i + 1 < a.size()) {
            char* end = nullptr;
            const long n = std::strtol(a[++i].c_str(), &end, 10);
            if (*end != '\0' || n < 1 || n > 4) {
                *error = "--port takes 1 to 4 (COM1..COM4)";
                return false;
            }
            o->port = static_cast<int>(n);
        } else if (o->dir.empty() && !a[i].starts_with("--")) {
            o->dir = a[i];
        } else {
            *error = "unexpected argument " + a[i];
            return false;
        }
    }
    if (o->dir.empty())
        *error = "a firmware directory is needed";
    return !o->dir.empty();
}

void PrintVerified(const app::FirmwareCheck& v) {
    std::cout << "Image program number: " << v.version << "\nImage version:        " << v.second
              << "\n";
    if (v.number[0] != '\0')
        std::cout << "Printer:              " << v.number << ", firmware " << v.firmware << "\n";
    else
        std::cout << "Printer:              not identified\n";
}

std::string MismatchText(const app::FirmwareCheck& v) {
    return "PROGRAM NUMBER MISMATCH: this firmware is for a \"" +
           app::FirmwareModelName(v.version) + "\"";
}

int Verify(int ctx, const Options& o) {
    const app::FirmwareCheck v = app::VerifyFirmwareDirectory(ctx, o.dir);
    if (v.result == 0 || v.result == PCU_FW_MISMATCH)
        PrintVerified(v);
    if (v.result == PCU_FW_MISMATCH)
        return Fail(MismatchText(v));
    if (v.result != 0)
        return FailWith(v.result, "the firmware in " + o.dir + " cannot be used");
    std::cout << "The firmware fits the printer.\n";
    return 0;
}

// The road's operator at the terminal: its question is the erasure question (--yes answers it;
// off a terminal without --yes nobody can), its status texts are progress lines on stdout, and
// the road's end is reported by the command.
class FirmwareConsole final : public ConsolePrompt {
  public:
    explicit FirmwareConsole(const CommandLine& line) : line_(line) {}

    app::PromptAnswer Ask(const app::Question& question) override {
        if (question.buttons == app::PromptButtons::Ok)
            return ConsolePrompt::Ask(question);
        consent_ = Confirm(line_, question.text, Stakes::Erasure);
        const bool yesNo = question.buttons == app::PromptButtons::YesNo ||
                           question.buttons == app::PromptButtons::YesNoCancel;
        if (consent_ == Consent::Given)
            return yesNo ? app::PromptAnswer::Yes : app::PromptAnswer::Ok;
        return yesNo ? app::PromptAnswer::No : app::PromptAnswer::Cancel;
    }

    // The answer to the last question.
    Consent consent() const { return consent_; }

  private:
    const CommandLine& line_;
    Consent consent_ = Consent::Declined;
};

// Says why the road ended before the firmware was in; returns the exit status.
int ReportEnd(int ctx, const app::FirmwareRun& run, const app::FirmwareJob& job,
              const FirmwareConsole& console) {
    switch (run.step) {
        case app::FirmwareStep::Ping:
            return FailWith(run.result, "the printer on " + PortOf(ctx) + " does not answer");
        case app::FirmwareStep::Verify:
            if (run.result == PCU_FW_MISMATCH)
                return Fail(MismatchText(run.check) + "; --ignore-mismatch downloads it anyway");
            return FailWith(run.result, "the firmware in " + job.dir + " cannot be used");
        case app::FirmwareStep::Question:
            return Declined(console.consent(), "Aborting download.");
        case app::FirmwareStep::Identify:
            return Fail("the printer on " + PortOf(ctx) +
                        " did not identify itself: " + ErrorText(ctx));
        case app::FirmwareStep::Invalidate:
            return FailWith(run.result, "invalidation failed");
        case app::FirmwareStep::Download:
            break;
    }
    return FailWith(run.result, "the firmware download over COM" + std::to_string(job.comPort) +
                                    " failed; the files stay in " + job.dir);
}

int Download(int ctx, const CommandLine& line, const Options& o) {
    commState comm{};
    PCUGetCommState(ctx, &comm);
    app::FirmwareJob job;
    job.ctx = ctx;
    job.dir = o.dir;
    job.bootMode = o.bootMode;
    job.comPort = o.port != 0 ? o.port : app::BootLoaderPort(comm.port);
    job.mismatch = o.ignoreMismatch ? app::MismatchChoice::Accept : app::MismatchChoice::Refuse;
    job.verified = [](const app::FirmwareCheck& v) {
        if (v.result == PCU_FW_MISMATCH)
            PrintVerified(v);
    };
    FirmwareConsole console(line);
    const app::FirmwareRun run = app::RunFirmwareRoad(job, console);
    if (run.result != 0)
        return ReportEnd(ctx, run, job, console);
    char model[PCU_ID_MODEL_SIZE] = "";
    char number[PCU_ID_NUMBER_SIZE] = "";
    char firmware[PCU_ID_FIRMWARE_SIZE] = "";
    if (PCUGetPrinterID(ctx, model, number, firmware, 1) != PCU_OK) {
        std::cout << "Firmware downloaded; the printer did not identify itself afterwards.\n";
        return 0;
    }
    std::cout << "Firmware downloaded. The printer (" << model << ") now runs firmware " << firmware
              << ".\n";
    return 0;
}

// Whether the printer on the context runs escape-language firmware on script hardware, which
// takes its firmware as one file over Zmodem. Asked only when the printer is meant to answer:
// in boot mode it cannot.
bool TakesFirmwareByZmodem(int ctx, const Options& o) {
    if (o.bootMode)
        return false;
    char model[PCU_ID_MODEL_SIZE] = "";
    char number[PCU_ID_NUMBER_SIZE] = "";
    char firmware[PCU_ID_FIRMWARE_SIZE] = "";
    if (PCUGetPrinterID(ctx, model, number, firmware, 1) != PCU_OK)
        return false;  // the boot-loader road says why the printer does not answer
    const int index = propGetPrinterID(model);
    return index >= 0 && app::UsesFileTransferRoad(index);
}

}  // namespace

int RunFirmware(int ctx, const CommandLine& line) {
    if (IsBrakenholmContext(ctx))
        return RunBrakFirmware(ctx, line);
    constexpr const char* kUsageText =
        "usage: tarvo firmware verify DIR | download DIR [--yes] [--boot-mode] "
        "[--ignore-mismatch] [--port N]\n"
        "       (G3-QEL .. TQ8e-QEL and the other escape-language printers on script hardware: "
        "download FILE [--yes], the firmware file itself over Zmodem)";
    const auto& a = line.args;
    const std::string verb = a.empty() ? "" : a[0];
    Options o;
    std::string error;
    if ((verb != "verify" && verb != "download") || !ParseOptions(line, &o, &error))
        return Fail(error.empty() ? kUsageText : error + "\n" + kUsageText, kUsage);
    if (verb == "verify") {
        if (o.bootMode || o.ignoreMismatch || o.port != 0)
            return Fail(kUsageText, kUsage);
        return Verify(ctx, o);
    }
    if (TakesFirmwareByZmodem(ctx, o)) {
        // No boot loader on these printers: its options mean nothing here.
        if (o.ignoreMismatch || o.port != 0)
            return Fail(kUsageText, kUsage);
        return RunEscapeZmodemFirmware(ctx, line, o.dir);
    }
    return Download(ctx, line, o);
}

}  // namespace tarvo::cli

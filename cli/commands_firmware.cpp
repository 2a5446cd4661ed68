// `tarvo firmware`: checking a Lanmere-family firmware directory against the printer and
// downloading it through the printer's boot loader.
#include <cstdlib>
#include <iostream>
#include <string>

#include "cli_support.h"
#include "command_runs.h"
#include "desk/firmware_messages.h"
#include "tarvo/kernel.h"

namespace tarvo::cli {
namespace {

constexpr int kNoAnswer = app::kFirmwareNoAnswer;
constexpr int kInvalidationFailed = app::kFirmwareInvalidationFailed;

// The desktop program's texts; a damaged image, which the page reports at verification, and
// the boot-mode hint in the option's spelling are added here.
std::string FirmwareMessage(int code) {
    if (code == PCU_FW_CHECKSUM)
        return app::FirmwareStringText(app::kStrFirmwareCorrupted);
    std::string text = app::FirmwareResultMessage(code);
    if (code == kNoAnswer)
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

struct Verified {
    int result = 0;
    char version[PCU_FIRMWARE_VERSION_SIZE] = "";
    char second[PCU_FIRMWARE_VERSION_SIZE] = "";
    char number[PCU_ID_NUMBER_SIZE] = "";
    char firmware[PCU_ID_FIRMWARE_SIZE] = "";
};

Verified VerifyDir(int ctx, const std::string& dir) {
    Verified v;
    v.result =
        PCUVerifyFirmwareFile(ctx, "", dir.c_str(), v.version, v.second, v.number, v.firmware);
    return v;
}

void PrintVerified(const Verified& v) {
    std::cout << "Image program number: " << v.version << "\nImage version:        " << v.second
              << "\n";
    if (v.number[0] != '\0')
        std::cout << "Printer:              " << v.number << ", firmware " << v.firmware << "\n";
    else
        std::cout << "Printer:              not identified\n";
}

int Verify(int ctx, const Options& o) {
    const Verified v = VerifyDir(ctx, o.dir);
    if (v.result == 0 || v.result == PCU_FW_MISMATCH)
        PrintVerified(v);
    if (v.result == PCU_FW_MISMATCH)
        return Fail("PROGRAM NUMBER MISMATCH: this firmware is for a \"" +
                    app::FirmwareModelName(v.version) + "\"");
    if (v.result != 0)
        return FailWith(v.result, "the firmware in " + o.dir + " cannot be used");
    std::cout << "The firmware fits the printer.\n";
    return 0;
}

// Checks the directory against the printer and asks. Returns 0 to go on, else the exit status.
int CheckBeforeDownload(int ctx, const CommandLine& line, const Options& o, Verified* v) {
    if (!o.bootMode && PCUPing(ctx) != 1)
        return FailWith(kNoAnswer, "the printer on " + PortOf(ctx) + " does not answer");
    *v = VerifyDir(ctx, o.dir);
    if (v->result == PCU_FW_MISMATCH) {
        PrintVerified(*v);
        if (!o.ignoreMismatch) {
            return Fail("PROGRAM NUMBER MISMATCH: this firmware is for a \"" +
                        app::FirmwareModelName(v->version) +
                        "\"; --ignore-mismatch downloads it anyway");
        }
    } else if (v->result != 0) {
        return FailWith(v->result, "the firmware in " + o.dir + " cannot be used");
    }
    const std::string current =
        o.bootMode ? std::string("unknown") : std::string("version ") + v->firmware;
    const Consent c =
        Confirm(line,
                "Current printer firmware is\n" + current + ".\n\nThe file contains " + v->version +
                    ".\n\nDo you want to proceed?",
                Stakes::Erasure);
    return c == Consent::Given ? 0 : Declined(c, "Aborting download.");
}

int Download(int ctx, const CommandLine& line, const Options& o) {
    Verified v;
    if (const int status = CheckBeforeDownload(ctx, line, o, &v); status != 0)
        return status;
    std::cout << "Sending firmware to printer...\n";
    if (!o.bootMode) {
        char type[PCU_ID_TYPE_SIZE] = "";
        char number[PCU_ID_NUMBER_SIZE] = "";
        char firmware[PCU_ID_FIRMWARE_SIZE] = "";
        if (const int rc = PCUGetRealPrinterID(ctx, type, number, firmware); rc != PCU_OK)
            return Fail("the printer on " + PortOf(ctx) +
                        " did not identify itself: " + ErrorText(ctx));
        const std::string text = std::string(number) + firmware;
        if (PCUInvalidateFirmware(ctx, text.c_str()) != 1)
            return FailWith(kInvalidationFailed, "invalidation failed");
    }
    commState comm{};
    PCUGetCommState(ctx, &comm);
    const int port = o.port != 0                                                ? o.port
                     : comm.port >= PCU_PORT_COM1 && comm.port <= PCU_PORT_COM4 ? comm.port + 1
                                                                                : 1;
    const int rc = PCUFirmwareDownload(ctx, port, "", o.dir.c_str());
    if (rc != 0)
        return FailWith(rc, "the firmware download over COM" + std::to_string(port) +
                                " failed; the files stay in " + o.dir);
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

}  // namespace

int RunFirmware(int ctx, const CommandLine& line) {
    constexpr const char* kUsageText =
        "usage: tarvo firmware verify DIR | download DIR [--yes] [--boot-mode] "
        "[--ignore-mismatch] [--port N]";
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
    return Download(ctx, line, o);
}

}  // namespace tarvo::cli

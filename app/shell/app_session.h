// The session record: everything the program knows about the current printer and its own
// settings, one per process, filled at start-up and kept until the end.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "shell/printer_base.h"
#include "shell/prompt.h"
#include "tarvo/models.h"
#include "tarvo/types.h"

namespace tarvo::app {

// The flags of start-up and the connection dialogs.
struct SessionFlags {
    bool identified = false;
    bool online = false;
    bool modified = false;
    bool configNotRetrieved = false;
    bool autoConnectSucceeded = false;
    bool retryRequested = false;
    bool giveUp = false;
    bool searchStopped = false;
};

struct AppSession {
    AppSession();

    int kernelHandle = 0;  // the kernel context opened at start-up (PCUCfgInit)
    int model = PROP_DEFAULT_MODEL;
    std::string modelName = "DEFAULT";

    // The line settings as the settings state them (the kernel keeps its own copy).
    int port = PCU_PORT_COM1;
    int baud = 9600;  // bits per second, one of the eleven rates
    int parity = PCU_PARITY_EVEN;
    int dataBits = 7;
    int stopBits = 1;
    int protocol = PCU_PROTOCOL_XONXOFF;  // "Standard", "RTS/CTS", anything else XON/XOFF
    bool standardProtocol() const { return protocol == PCU_PROTOCOL_STANDARD; }

    bool autoDefault = true;   // "Settings" = "AutoDefault"
    bool metric = false;       // "Measurements" = "Metric"
    bool startupGuide = true;  // "ViewStartup"

    SessionFlags flags;
    // The Brakenholm printer answered PRINT VERSION$(1) (set by its identity read and search).
    bool scriptReply = false;
    std::string firmwareVersion = "Unavailable";

    // The current printer object; never null. Replaced when the model changes.
    std::unique_ptr<CPrinterBase> printer;
};

// The settings' name of port index 0..6 ("COM1" .. "LPT3"); empty for another index.
std::string_view PortName(int port);

// ReadSettings results.
inline constexpr int kSettingsRead = 0;
inline constexpr int kSettingsMessageShown = 2;

// Reads the settings into `session` in the order Port, Printer, Baud, Measurements, Parity,
// DataBits, StopBits, Protocol, Settings, ViewStartup. Missing values read as their first-run
// defaults. A Port, Printer or Baud that names nothing is reported through `prompt` (one message
// each), takes its default, and the reading goes on; the result is then kSettingsMessageShown.
// Parity, data bits or stop bits that name nothing quietly take their defaults. The profile is
// never rewritten here.
int ReadSettings(AppSession& session, Prompt& prompt);

}  // namespace tarvo::app

#include "shell/app_session.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <string_view>

#include "shell/settings.h"

namespace tarvo::app {
namespace {

constexpr std::array<std::string_view, PCU_PORT_COUNT> kPortNames = {"COM1", "COM2", "COM3", "COM4",
                                                                     "LPT1", "LPT2", "LPT3"};
constexpr std::array<int, 11> kRates = {110,  300,   600,   1200,  2400,  4800,
                                        9600, 19200, 38400, 57600, 115200};
constexpr std::array<std::string_view, 5> kParityNames = {"EVEN", "ODD", "NONE", "MARK", "SPACE"};

std::optional<int> Decimal(std::string_view text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::string Upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

int Warn(Prompt& prompt, const char* text) {
    prompt.Tell("Warning", text, PromptIcon::Stop);
    return kSettingsMessageShown;
}

}  // namespace

std::string_view PortName(int port) {
    if (port < 0 || port >= PCU_PORT_COUNT)
        return {};
    return kPortNames[static_cast<std::size_t>(port)];
}

AppSession::AppSession() : printer(std::make_unique<CPrinterBase>(0)) {}

int ReadSettings(AppSession& s, Prompt& prompt) {
    // A value that names nothing is replaced by its first-run default and reading goes on:
    // stopping would leave every later field at whatever it held before. The profile itself is
    // left as it is, so the operator can still see (and mend) what was stored.
    int result = kSettingsRead;
    const std::string port = ReadSetting(setting::kPort, "COM1");
    const auto portIt = std::find(kPortNames.begin(), kPortNames.end(), port);
    s.port =
        portIt == kPortNames.end() ? PCU_PORT_COM1 : static_cast<int>(portIt - kPortNames.begin());
    if (portIt == kPortNames.end())
        result = Warn(prompt, "Unable to identify port selection. Please check the Tarvo profile.");

    const std::string printer = ReadSetting(setting::kPrinter, "DEFAULT");
    const int model = propGetPrinterID(printer.c_str());
    s.model = model < 0 ? PROP_DEFAULT_MODEL : model;
    s.modelName = model < 0 ? "DEFAULT" : printer;
    if (model < 0) {
        result =
            Warn(prompt, "Unable to identify selected printer. Please check the Tarvo profile.");
    }

    const auto baud = Decimal(ReadSetting(setting::kBaud, "9600"));
    const bool baudKnown = baud && std::find(kRates.begin(), kRates.end(), *baud) != kRates.end();
    s.baud = baudKnown ? *baud : 9600;
    if (!baudKnown) {
        result =
            Warn(prompt, "Unable to identify selected baud rate. Please check the Tarvo profile.");
    }

    s.metric = ReadSetting(setting::kMeasurements, "English") == "Metric";
    const std::string parity = Upper(ReadSetting(setting::kParity, "Even"));
    const auto parityIt = std::find(kParityNames.begin(), kParityNames.end(), parity);
    s.parity = parityIt == kParityNames.end() ? PCU_PARITY_EVEN
                                              : static_cast<int>(parityIt - kParityNames.begin());
    const auto dataBits = Decimal(ReadSetting(setting::kDataBits, "7"));
    s.dataBits = dataBits && (*dataBits == 7 || *dataBits == 8) ? *dataBits : 7;
    const auto stopBits = Decimal(ReadSetting(setting::kStopBits, "1"));
    s.stopBits = stopBits && (*stopBits == 1 || *stopBits == 2) ? *stopBits : 1;
    const std::string protocol = ReadSetting(setting::kProtocol, "XON/XOFF");
    s.protocol = protocol == "Standard"  ? PCU_PROTOCOL_STANDARD
                 : protocol == "RTS/CTS" ? PCU_PROTOCOL_RTSCTS
                                         : PCU_PROTOCOL_XONXOFF;
    s.autoDefault = ReadSetting(setting::kSettings, "AutoDefault") == "AutoDefault";
    s.startupGuide = ReadSetting(setting::kViewStartup, "1") != "0";
    return result;
}

}  // namespace tarvo::app

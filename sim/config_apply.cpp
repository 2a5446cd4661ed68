// The changes the configuration commands make, whether a host sends them or a test or the
// state file sets the values.
#include "config_text.h"

#include <algorithm>

#include "config_letters.h"

namespace tarvo::sim {
namespace {

std::string ApplySerialCommand(PrinterState* state, const LineSettings& line,
                               const std::vector<ConfigValue>& numbers,
                               std::optional<LineSettings>* newLine) {
    if (numbers.size() != 4 && numbers.size() != 5)
        return "<SI>P takes four or five numbers";
    const int baud = *numbers[0], parity = *numbers[1], data = *numbers[2], flow = *numbers[3];
    if (baud < 0 || baud >= static_cast<int>(kBaudOfCode.size()) || parity < 0 || parity > 2 ||
        data < 0 || data > 1 || (flow != 0 && flow != 2)) {
        return "<SI>P codes out of range";
    }
    PrinterState changed = *state;
    if (numbers.size() == 5 && TakesSetting(state->model, state->firmware, kSerialFlag)) {
        if (std::string reason = SetSettingValue(&changed, kSerialFlag, numbers[4]);
            !reason.empty()) {
            return reason;
        }
    }
    LineSettings wanted = line;
    wanted.baud = kBaudOfCode[static_cast<std::size_t>(baud)];
    wanted.parity = kParityOfCode[static_cast<std::size_t>(parity)];
    wanted.dataBits = 7 + data;
    // A host asks for "not XON/XOFF" only; its family's other protocol is Standard.
    if (flow == 0)
        wanted.protocol = Protocol::XonXoff;
    else if (line.protocol == Protocol::XonXoff)
        wanted.protocol = Protocol::Standard;
    *state = changed;
    *newLine = wanted;
    return {};
}

constexpr int kImageBandSetting = 5;

// Values a host sent for the settings of one command, all checked before any is taken.
std::string ApplyHostValues(PrinterState* state, const std::vector<int>& settings,
                            const std::vector<ConfigValue>& values) {
    if (values.size() != settings.size())
        return "wrong count of numbers";
    PrinterState changed = *state;
    for (std::size_t i = 0; i < settings.size(); ++i) {
        if (!TakesSetting(state->model, state->firmware, settings[i]))
            continue;
        ConfigValue value = values[i];
        if (settings[i] == kImageBandSetting && value && state->imageBandLimit > 0)
            value = std::min(*value, state->imageBandLimit);
        if (std::string reason = SetSettingValue(&changed, settings[i], value); !reason.empty()) {
            return reason;
        }
    }
    *state = changed;
    return {};
}

}  // namespace

std::string SetSettingValue(PrinterState* state, int setting, ConfigValue value) {
    if (!KeepsSetting(setting))
        return "setting " + std::to_string(setting) + " is not kept by the printer";
    if (!value && !CanBeUnknown(setting))
        return "setting " + std::to_string(setting) + " cannot be unknown";
    if (value) {
        if (std::string reason = CheckSettingValue(state->model, setting, *value);
            !reason.empty()) {
            return "setting " + std::to_string(setting) + ": " + reason;
        }
    }
    state->config.settings[static_cast<std::size_t>(setting)] = value;
    return {};
}

std::string SetLetterValues(PrinterState* state, char letter,
                            const std::vector<ConfigValue>& values) {
    const LetterCommand* command = FindLetter(letter);
    if (command == nullptr)
        return std::string("the printer has no <SI>") + letter + " command";
    if (command->presence == Presence::Serial)
        return "<SI>P follows the line and setting 39";
    if (command->presence == Presence::Extra) {
        if (!ExtraCountFits(letter, values.size()))
            return std::string("wrong count of numbers for <SI>") + letter;
        state->config.extras[letter] = values;
        return {};
    }
    const std::vector<int> settings = SettingsOf(*command);
    if (values.size() != settings.size())
        return std::string("wrong count of numbers for <SI>") + letter;
    PrinterState changed = *state;
    for (std::size_t i = 0; i < settings.size(); ++i) {
        if (std::string reason = SetSettingValue(&changed, settings[i], values[i]);
            !reason.empty()) {
            return reason;
        }
    }
    *state = changed;
    return {};
}

std::string ApplyShiftCommand(PrinterState* state, const LineSettings& line, char letter,
                              std::string_view arguments, std::optional<LineSettings>* newLine) {
    const LetterCommand* command = FindLetter(letter);
    if (command == nullptr)
        return std::string("no <SI>") + letter + " command";
    std::vector<ConfigValue> numbers;
    if (!ParseConfigNumbers(arguments, false, &numbers))
        return std::string("malformed <SI>") + letter + " command";
    switch (command->presence) {
        case Presence::Serial:
            return ApplySerialCommand(state, line, numbers, newLine);
        case Presence::Extra:
            return SetLetterValues(state, letter, numbers);
        case Presence::Always:
        case Presence::WhenOffered:
            break;
    }
    return ApplyHostValues(state, SettingsOf(*command), numbers);
}

std::string ApplyHostValue(PrinterState* state, int setting, int value) {
    return ApplyHostValues(state, {setting}, {value});
}

}  // namespace tarvo::sim

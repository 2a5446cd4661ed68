#include "config_text.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "config_letters.h"
#include "frame_parser.h"

namespace tarvo::sim {
namespace {

std::string Padded(ConfigValue value, int width) {
    if (!value)
        return "?";
    char text[16];
    std::snprintf(text, sizeof text, "%0*d", width, *value);
    return text;
}

ConfigValue SettingValue(const PrinterState& state, int setting) {
    return state.config.settings[static_cast<std::size_t>(setting)];
}

std::vector<ConfigValue> SerialValues(const PrinterState& state, const LineSettings& line) {
    const auto baud = std::ranges::find(kBaudOfCode, line.baud);
    const auto parity = kParityOfCode.find(line.parity);
    return {baud == kBaudOfCode.end() ? ConfigValue() : ConfigValue(baud - kBaudOfCode.begin()),
            parity == std::string_view::npos ? ConfigValue() : ConfigValue(parity),
            line.dataBits - 7, line.protocol == Protocol::XonXoff ? 0 : 2,
            SettingValue(state, kSerialFlag)};
}

bool Present(const PrinterState& state, const LetterCommand& command) {
    if (command.presence != Presence::WhenOffered)
        return true;
    return TakesSetting(state.model, state.firmware, command.settings[0]);
}

void AppendShiftCommand(const PrinterState& state, const LineSettings& line,
                        const LetterCommand& command, std::string* reply) {
    std::vector<ConfigValue> values = LetterValues(state, line, command.letter);
    *reply += kSi;
    *reply += command.letter;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            *reply += ',';
        *reply += Padded(values[i], command.width);
    }
    *reply += ';';
}

// A character value: escaped when the line or the host's reader would take it for a control.
void AppendCharacter(char introducer, ConfigValue value, std::string* reply) {
    const char c = static_cast<char>(value.value_or(0));
    *reply += introducer;
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F)
        *reply += kDle;
    *reply += c;
    *reply += ';';
}

void AppendOtherCommands(const PrinterState& state, std::string* reply) {
    *reply += kSyn + Padded(SettingValue(state, 27), 4) + ';';
    AppendCharacter(kSoh, SettingValue(state, 28), reply);
    AppendCharacter(kEot, SettingValue(state, 29), reply);
    *reply += "\x1bk;";
    const std::pair<int, char> flags[] = {{22, 'j'}, {23, 'd'}, {24, 'e'}};
    for (const auto& [setting, letter] : flags) {
        if (SettingValue(state, setting).value_or(0) != 0)
            *reply += std::string{kEsc, letter, ';'};
    }
    *reply += std::string{kEsc, kSyn} + Padded(SettingValue(state, 26), 4) + ';';
    *reply += kEtx;
}

}  // namespace

std::string ConfigNumbers(const std::vector<ConfigValue>& values) {
    std::string text;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            text += ',';
        text += Padded(values[i], 0);
    }
    return text;
}

bool ParseConfigNumbers(std::string_view text, bool allowUnknown,
                        std::vector<ConfigValue>* values) {
    std::vector<ConfigValue> parsed;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string_view item = text.substr(start, comma - start);
        int number = 0;
        const auto [end, error] = std::from_chars(item.data(), item.data() + item.size(), number);
        if (item == "?" && allowUnknown) {
            parsed.emplace_back();
        } else if (item.empty() || item.front() == '+' || error != std::errc() ||
                   end != item.data() + item.size()) {
            return false;
        } else {
            parsed.emplace_back(number);
        }
        if (comma == text.size())
            break;
        start = comma + 1;
    }
    *values = std::move(parsed);
    return true;
}

std::string ConfigurationReply(const PrinterState& state, const LineSettings& line) {
    std::string reply;
    for (const LetterCommand& command : AllLetters()) {
        if (Present(state, command))
            AppendShiftCommand(state, line, command, &reply);
    }
    AppendOtherCommands(state, &reply);
    return reply;
}

std::vector<ConfigValue> LetterValues(const PrinterState& state, const LineSettings& line,
                                      char letter) {
    const LetterCommand* command = FindLetter(letter);
    if (command == nullptr)
        return {};
    if (command->presence == Presence::Serial)
        return SerialValues(state, line);
    if (command->presence == Presence::Extra) {
        const auto it = state.config.extras.find(letter);
        return it == state.config.extras.end() ? std::vector<ConfigValue>() : it->second;
    }
    std::vector<ConfigValue> values;
    for (int setting : SettingsOf(*command))
        values.push_back(SettingValue(state, setting));
    return values;
}

}  // namespace tarvo::sim

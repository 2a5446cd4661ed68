// The <SI> commands of a Lanmere printer's configuration: which settings each letter carries,
// how its numbers are written, and when the reply to <ESC>p carries it.
#pragma once

#include <array>
#include <span>
#include <string_view>
#include <vector>

namespace tarvo::sim {

// When an <SI> command appears in the reply to <ESC>p.
enum class Presence {
    Always,
    WhenOffered,  // the model offers its first setting, from the printer's firmware on
    Extra,        // a value no host reads (kExtraLetters)
    Serial,       // <SI>P: the line's settings and the serial flag
};

struct LetterCommand {
    char letter;
    std::array<int, 2> settings;  // kNoSetting: none
    int width;                    // digits a value is padded to
    Presence presence;
};

inline constexpr int kNoSetting = -1;

// <SI>P's codes: baud rates 0..7, parity None, Even, Odd.
inline constexpr std::array<unsigned, 8> kBaudOfCode = {1200,  2400,  4800,  9600,
                                                        19200, 38400, 57600, 115200};
inline constexpr std::string_view kParityOfCode = "NEO";
inline constexpr int kSerialFlag = 39;

// Every letter, in the order of the reply.
std::span<const LetterCommand> AllLetters();

// The command of `letter`, or null.
const LetterCommand* FindLetter(char letter);

// The settings a command carries, in the order of its numbers.
std::vector<int> SettingsOf(const LetterCommand& command);

}  // namespace tarvo::sim

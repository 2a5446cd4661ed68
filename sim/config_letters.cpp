#include "config_letters.h"

#include <algorithm>

namespace tarvo::sim {
namespace {

constexpr int kNone = kNoSetting;

// In the order of the reply, which is the order of the host's own configuration text with the
// commands only a printer sends put beside their neighbours.
// clang-format off
constexpr std::array kLetters = {
    LetterCommand{'A', {30, kNone}, 0, Presence::WhenOffered},
    LetterCommand{'a', {32, kNone}, 0, Presence::WhenOffered},
    LetterCommand{'b', {21, kNone}, 3, Presence::WhenOffered},
    LetterCommand{'C', {2, kNone}, 0, Presence::Always},
    LetterCommand{'c', {10, kNone}, 0, Presence::Always},
    LetterCommand{'D', {19, kNone}, 4, Presence::Always},
    LetterCommand{'d', {14, kNone}, 3, Presence::Always},
    LetterCommand{'e', {38, kNone}, 0, Presence::WhenOffered},
    LetterCommand{'F', {18, kNone}, 4, Presence::Always},
    LetterCommand{'f', {20, kNone}, 3, Presence::Always},
    LetterCommand{'g', {11, 13}, 0, Presence::Always},
    LetterCommand{'H', {kNone, kNone}, 0, Presence::Extra},
    LetterCommand{'h', {34, 35}, 0, Presence::WhenOffered},
    LetterCommand{'I', {5, kNone}, 2, Presence::Always},
    LetterCommand{'i', {25, kNone}, 0, Presence::Always},
    LetterCommand{'L', {15, kNone}, 4, Presence::Always},
    LetterCommand{'l', {4, kNone}, 0, Presence::Always},
    LetterCommand{'N', {6, kNone}, 3, Presence::Always},
    LetterCommand{'O', {33, kNone}, 0, Presence::WhenOffered},
    LetterCommand{'P', {kNone, kNone}, 0, Presence::Serial},
    LetterCommand{'p', {37, 36}, 0, Presence::WhenOffered},  // valueP1 first
    LetterCommand{'z', {41, kNone}, 0, Presence::WhenOffered},
    LetterCommand{'v', {42, kNone}, 0, Presence::WhenOffered},
    LetterCommand{'R', {17, kNone}, 0, Presence::Always},
    LetterCommand{'r', {kNone, kNone}, 0, Presence::Extra},
    LetterCommand{'S', {3, kNone}, 2, Presence::Always},
    LetterCommand{'s', {kNone, kNone}, 0, Presence::Extra},
    LetterCommand{'T', {12, kNone}, 0, Presence::Always},
    LetterCommand{'t', {9, kNone}, 0, Presence::Always},
    LetterCommand{'U', {kNone, kNone}, 0, Presence::Extra},
    LetterCommand{'W', {31, kNone}, 4, Presence::WhenOffered},
    LetterCommand{'Z', {kNone, kNone}, 0, Presence::Extra},
};
// clang-format on

}  // namespace

std::span<const LetterCommand> AllLetters() {
    return kLetters;
}

const LetterCommand* FindLetter(char letter) {
    const auto it = std::ranges::find(kLetters, letter, &LetterCommand::letter);
    return it == kLetters.end() ? nullptr : &*it;
}

std::vector<int> SettingsOf(const LetterCommand& command) {
    std::vector<int> settings;
    for (int setting : command.settings) {
        if (setting != kNoSetting)
            settings.push_back(setting);
    }
    return settings;
}

}  // namespace tarvo::sim

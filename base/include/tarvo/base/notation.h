// Control-character notation: control bytes written as their ASCII mnemonics in angle brackets
// (<ESC>P, <STX>...<ETX>), expanded into real bytes just before they go on the wire.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tarvo {

// Largest buffer the expander accepts: lengths are 16-bit counts on the wire side.
inline constexpr std::size_t kMaxNotationLength = 65535;

// Expands the notation in `buffer` in place; `*length` is the byte count in and out. After
// expansion the data may hold NUL bytes, so the length, not a terminator, delimits it.
// `<<` escapes a `<`: `<<STX>` yields the literal text `<STX>`. Unknown names, a `>` more than
// four places away and a `<` near the end stay literal.
// Returns false, leaving the buffer untouched, when `buffer` or `length` is null or the length
// exceeds kMaxNotationLength.
bool ExpandMnemonics(char* buffer, std::size_t* length);

// Convenience over ExpandMnemonics for text held in a string. Returns false for over-long text.
bool ExpandMnemonics(std::string& text);

// Sets *code to the byte named by `name` (one of the 32 names, exact case) and returns true;
// false when `name` is null or unknown.
bool LookupMnemonic(const char* name, unsigned char* code);

// Spells `bytes` for people: control bytes as <NAME>, 0x7F and bytes from 0x80 up as <xHH>,
// everything else as itself. For traces and replies shown to the user.
std::string RenderMnemonics(std::string_view bytes);

}  // namespace tarvo

// The names the host gives a printer's stored objects (fonts, graphics, formats): they are
// pasted into the printer's commands, so the kernel refuses what would break a command and the
// programs check the operator's entry against the same rule before queueing it.
#pragma once

#include <string_view>

namespace tarvo {

// True when `text` may be pasted into a printer command as an object's name: at most 32
// characters, none of them `;` or `,` (command and field separators), `<` (it would start a
// control-character mnemonic) or a control byte.
bool IsSendableDescription(std::string_view text);

}  // namespace tarvo

// The configuration text: the record written as the <SI>-letter commands a printer takes, in
// the order the printers expect them, in the control-character notation, each command ended by
// `;`. The same text goes to a printer (the separators dropped, one batch of framed messages)
// and to a configuration file (one command per line).
#pragma once

#include <string>

#include "session/config_record.h"

namespace tarvo {

// Builds the configuration text of `record` into *text. Start and end characters that are
// control bytes are spelled as their names (<CR>), a <DLE> as <DLE><DLE> (a reader skips an
// escaping <DLE>), 0 as <NUL> without a `;` (the printer takes <SOH><NUL> as "none").
// Returns PCU_OK, or PCU_ERR_ARGUMENT (*text untouched) when the record's model has no table rows
// or its start or end character cannot be carried (FrameCharacterCarried).
int BuildConfigurationText(const ConfigRecord& record, std::string* text);

// The header that names a configuration's model and firmware in a file: "<ETX>name,firmware"
// (the mnemonic as text). The firmware is cut at its first blank, CR or LF, where a reader stops.
std::string ConfigurationHeader(const ConfigRecord& record);

}  // namespace tarvo

// Pieces of the configuration transfer shared by the printer road and the file road.
#pragma once

#include <string>

#include "session/config_record.h"
#include "port/framing.h"

namespace tarvo {

// Writes a whole configuration with the command writer: the header (a printer is not sent it),
// R, then the configuration text as a list with the separators dropped. `conn` or `file` as for
// SendCommand.
// Returns 0; PCU_ERR_ARGUMENT when the record cannot be written (BuildConfigurationText; nothing
// is written); or the status of the first command that failed (writing stops there).
int WriteConfiguration(Connection* conn, std::string* file, const ConfigRecord& record);

}  // namespace tarvo

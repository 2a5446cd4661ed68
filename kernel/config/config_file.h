// The configuration file (.tcf): the command lines that would have gone to the printer, one per
// line, "<STX>command<ETX>" in the control-character notation, lines ended by CR LF. The
// configuration part is a header "<ETX>model,firmware", an R line and one line per
// configuration command; the object sections follow from the first <ESC>P line on.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "session/config_record.h"
#include "session/kernel_state.h"

namespace tarvo {

// Longest line the reader takes, line end not counted; a longer line is refused, never split.
inline constexpr std::size_t kMaxFileLine = 256;

// Largest configuration part, in bytes once its notation is expanded: what a printer's
// configuration reply may hold, many times what the writer produces.
inline constexpr std::size_t kMaxConfigurationPart = 4096;

// The whole file PCUToFile writes for the context, by its download flags, into *text. The
// object sections mark what they wrote as downloaded in the context's lists.
// Returns 0 or the status of the first section that failed (writing stops there).
int BuildConfigurationFile(Context& context, std::string* text);

// Reads the configuration part from `file` into `record`: the header's model (0..25) and
// firmware, then every command line up to the end of the file or the first <ESC>P line, each
// with all its notation expanded (<NUL> is data). `record` changes only on success, and then
// also has valueV 99 unless the file sent one, memoryFree and imageSize 0 and paper handling
// derived.
// Returns PCU_OK, PCU_ERR_FILE_PARSE (a command does not parse, a line is longer than
// kMaxFileLine, the part is longer than kMaxConfigurationPart), PCU_ERR_FILE_READ or
// PCU_ERR_FILE_MODEL (no header naming a model 0..25, or no R line after it). *badLine receives
// the number (from 1) of the line a failure is in, or 0 on success.
int LoadConfigurationPart(std::FILE* file, ConfigRecord& record, int* badLine);

}  // namespace tarvo

// The escape-language models the simulator can play: their names and what each says when asked
// who it is.
#pragma once

#include <string>
#include <string_view>

namespace tarvo::sim {

inline constexpr int kModelCount = 25;

// The reply to <ESC>M1: "number,firmware" for most models, "base,firmware,type" for the
// E-series models that share their base number with an older model.
std::string IdentificationReply(int model, std::string_view firmware);

// The short name that `uname -p` prints on the models with a shell ("TQ5e"); empty for models
// without one.
std::string_view ShellPlatformName(int model);

}  // namespace tarvo::sim

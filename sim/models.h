// The models the simulator can play, of both families: their names and what each says when
// asked who it is.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tarvo::sim {

// Model indices follow the host's model table: 0..24 escape-language models, 25 the host's
// DEFAULT (no printer), 26..40 script-language models.
inline constexpr int kLanmereModelCount = 25;
inline constexpr int kFirstBrakenholmModel = 26;
inline constexpr int kLastModel = 40;

// The reply to <ESC>M1: "number,firmware" for most models, "base,firmware,type" for the
// E-series models that share their base number with an older model. A non-empty
// `programNumber` stands in for the model's own number. Empty for a model that is not an
// escape-language one.
std::string IdentificationReply(int model, std::string_view firmware,
                                std::string_view programNumber = {});

// The short name that `uname -p` prints on the models with a shell ("TQ5e"); empty for models
// without one.
std::string_view ShellPlatformName(int model);

// Whether the escape-language `model` answers the object listings (<ESC>v, u, x, y).
bool HasDirectory(int model);

// The image buffer in KB that <ESC>m1 reports: the host's table value where it has one,
// otherwise a size that suits the model's resolution.
unsigned ImageBufferKb(int model);

// The printer's serial receive buffer in bytes: what the host has sent and the printer has not
// yet taken. A paced printer on XON/XOFF holds the host back with <DC3> when it is three
// quarters full.
std::size_t ReceiveBufferBytes(int model);

// What a script-language model answers to PRINT VERSION$(2); empty for other models.
std::string_view ScriptProgramNumber(int model);

}  // namespace tarvo::sim

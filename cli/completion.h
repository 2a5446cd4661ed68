// `tarvo --complete INDEX -- WORD...`: what the shell may offer for the word being typed.
#pragma once

#include "tarvo/base/completion.h"

namespace tarvo::cli {

// Prints the candidates for the request's word, one per line; nothing when the word is a file
// name. Returns the exit status (0).
int Complete(const CompletionRequest& request);

}  // namespace tarvo::cli

// The fuzzers' invariant check: beyond not crashing, what a reader accepts must hold what its
// callers rely on. A broken invariant is a finding like a crash: named on stderr, then abort(),
// so that libFuzzer keeps the input.
#pragma once

#include <cstdio>
#include <cstdlib>

// Stops the fuzzer with `what` when `condition` does not hold.
inline void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

// What the fuzzers of the senders share: a progress backend that draws nothing (the text line
// would only flood the fuzzer's output) and the invariants of a configuration file's command
// lines.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "gaugebar.h"

inline void QuietProgress() {
    static const bool installed = [] {
        const GaugeBackend none{};
        SetProgressBackend(&none);
        return true;
    }();
    (void)installed;
}

// Every line of a file target's output is one framed command: no control byte but its CR LF.
inline void CheckFileLines(const std::string& out) {
    std::size_t start = 0;
    while (start < out.size()) {
        const std::size_t end = out.find("\r\n", start);
        Check(end != std::string::npos, "every line is ended");
        const std::string_view line(out.data() + start, end - start);
        Check(line.starts_with("<STX>") && line.ends_with("<ETX>"), "every line is framed");
        for (const char c : line)
            Check(static_cast<unsigned char>(c) >= 0x20, "control bytes are spelled");
        start = end + 2;
    }
}

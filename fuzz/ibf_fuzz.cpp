// Fuzzes the .IBF sender over arbitrary files, writing to a configuration file's text (no
// printer): the line splitting with its length limit, the image size of the first line, and
// the reading of the printer's memory answer.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

#include "gaugebar.h"
#include "objects/ibf_file.h"
#include "tarvo/downloads.h"

namespace {

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, ".IBF invariant broken: %s\n", what);
        std::abort();
    }
}

void CheckLines(const std::string& out) {
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool quiet = [] {
        const GaugeBackend none{};
        SetProgressBackend(&none);
        return true;
    }();
    (void)quiet;
    const std::string text(reinterpret_cast<const char*>(data), size);

    const std::string_view firstLine = std::string_view(text).substr(0, text.find('\n'));
    const auto imageSize = tarvo::IbfImageSize(firstLine);
    if (const auto free = tarvo::FreeMemoryFromReply(text))
        Check(text.find(',') != std::string::npos, "free memory comes after a comma");

    FontInfo entry{};
    entry.id = 5;
    std::snprintf(entry.newDescription, sizeof entry.newDescription, "KANJI");
    std::istringstream in(text);
    std::string out;
    const int status = tarvo::SendIbfStream(0, nullptr, &out, entry, in, text.size());
    Check(status == PCU_OK || status == PCU_ERR_FILE_READ, "status");
    if (!imageSize || firstLine.size() > tarvo::kIbfLineLimit + 1) {
        Check(status == PCU_ERR_FILE_READ && out.empty(), "no image size, nothing written");
        return 0;
    }
    if (status == PCU_OK)
        Check(out.starts_with("<STX>J5,KANJI,2<ETX>\r\n"), "the font header first");
    Check(out.size() <= 64 + text.size() * 8, "output bounded by the input");
    CheckLines(out);
    return 0;
}

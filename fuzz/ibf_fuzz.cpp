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

#include "command_output_checks.h"
#include "objects/ibf_file.h"
#include "tarvo/downloads.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QuietProgress();
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
    const int status = tarvo::SendIbfStream(nullptr, nullptr, &out, entry, in, text.size());
    Check(status == PCU_OK || status == PCU_ERR_FILE_READ, "status");
    if (!imageSize || firstLine.size() > tarvo::kIbfLineLimit + 1) {
        Check(status == PCU_ERR_FILE_READ && out.empty(), "no image size, nothing written");
        return 0;
    }
    if (status == PCU_OK)
        Check(out.starts_with("<STX>J5,KANJI,2<ETX>\r\n"), "the font header first");
    Check(out.size() <= 64 + text.size() * 8, "output bounded by the input");
    CheckFileLines(out);
    return 0;
}

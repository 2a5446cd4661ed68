// Fuzzes the reading of command files: the header scan of PCUGetFormatFileInfo, the cleaning of
// body lines and the whole sender writing to a configuration file's text. The first byte picks
// the entry (format or page, and its number); the rest is the file.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

#include "command_output_checks.h"
#include "objects/command_file.h"
#include "tarvo/downloads.h"

namespace {

void CheckHeaderScan(const std::string& text) {
    std::istringstream in(text);
    const tarvo::CommandFileHeader header = tarvo::ScanCommandFileHeader(in);
    Check(header.number >= 0 && header.number <= tarvo::kMaxFormatNumber, "number in range");
    Check(header.name.size() <= tarvo::kHeaderScanLimit, "name within the scanned line");
    Check(header.named || header.name.empty(), "a name only with a named line");
}

void CheckSender(std::uint8_t selector, const std::string& text) {
    FormatInfo entry{};
    entry.isPage = selector & 0x80 ? 1 : 0;
    entry.id = static_cast<std::uint16_t>((selector & 0x7F) + (selector & 0x40 ? 60 : 0));
    std::snprintf(entry.newDescription, sizeof entry.newDescription, "F%u", selector);
    std::istringstream in(text);
    std::string out;
    const int status = tarvo::SendCommandStream(nullptr, &out, entry, in, text.size());
    if (status == PCU_ERR_OBJECT_NUMBER) {
        Check(!tarvo::CommandFileHeaderFor(entry).has_value(), "refused only for its number");
        Check(out.empty(), "a refused entry writes nothing");
        return;
    }
    Check(status == PCU_OK || status == PCU_ERR_FILE_READ, "status");
    Check(out.starts_with("<STX><ESC>P<ETX>\r\n"), "program mode first");
    Check(out.ends_with("<STX>R<ETX>\r\n"), "program mode left last");
    Check(out.size() <= 64 + text.size() * 8, "output bounded by the input");
    CheckFileLines(out);
}

void CheckBodyLines(const std::string& text) {
    std::size_t start = 0;
    bool started = false;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const auto command = tarvo::BodyCommand(text.substr(start, end - start), started);
        if (command) {
            Check(!command->empty(), "no empty commands");
            Check(command->find_first_of("\x02\x03") == std::string::npos, "frame bytes removed");
            Check(started || tarvo::StartsFieldCommand(*command), "the body starts at a field");
            started = true;
        }
        start = end + 1;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QuietProgress();
    if (size == 0)
        return 0;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    CheckHeaderScan(text);
    CheckBodyLines(text);
    CheckSender(data[0], text);
    return 0;
}

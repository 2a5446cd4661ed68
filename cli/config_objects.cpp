#include "config_objects.h"

#include <cerrno>
#include <cstring>
#include <string_view>

#include "cli_support.h"
#include "gaugebar.h"
#include "tarvo/base/fs.h"
#include "tarvo/kernel.h"

namespace tarvo::cli {
namespace {

constexpr std::string_view kFrameStart = "<STX>";
constexpr std::string_view kFrameEnd = "<ETX>";
constexpr std::string_view kSectionStart = "<STX><ESC>P<ETX>";
constexpr std::size_t kMaxFileBytes = 256u << 20;

std::string_view WithoutLineEnd(std::string_view line) {
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

// The command a file line carries: what stands between <STX> and the closing <ETX>.
std::string CommandOf(std::string_view line) {
    if (line.starts_with(kFrameStart))
        line.remove_prefix(kFrameStart.size());
    if (line.ends_with(kFrameEnd))
        line.remove_suffix(kFrameEnd.size());
    return std::string(line);
}

}  // namespace

std::vector<std::string> ObjectSectionLines(const std::string& fileText) {
    std::vector<std::string> lines;
    bool inSections = false;
    std::size_t at = 0;
    while (at < fileText.size()) {
        std::size_t end = fileText.find('\n', at);
        if (end == std::string::npos)
            end = fileText.size();
        const std::string_view line =
            WithoutLineEnd(std::string_view(fileText).substr(at, end - at));
        inSections = inSections || line == kSectionStart;
        if (inSections && !line.empty())
            lines.emplace_back(line);
        at = end + 1;
    }
    return lines;
}

bool ReadObjectSections(const std::string& path, std::vector<std::string>* lines,
                        std::string* error) {
    std::string text;
    const int rc = platform::ReadSmallFile(path, kMaxFileBytes, &text);
    if (rc == ENOENT) {
        lines->clear();
        return true;
    }
    if (rc != 0) {
        *error = "cannot read " + path + ": " + std::strerror(rc);
        return false;
    }
    *lines = ObjectSectionLines(text);
    return true;
}

bool AppendObjectSections(const std::string& path, const std::vector<std::string>& lines,
                          std::string* error) {
    std::string text;
    if (const int rc = platform::ReadSmallFile(path, kMaxFileBytes, &text); rc != 0) {
        *error = "cannot read " + path + " back: " + std::strerror(rc);
        return false;
    }
    for (const std::string& line : lines)
        text += line + "\r\n";
    if (!platform::ReplaceUserFile(path, text)) {
        *error = "cannot write " + path;
        return false;
    }
    return true;
}

int SendObjectSections(int ctx, const std::vector<std::string>& lines) {
    if (PCUOpenPrinter(ctx) != 1)
        return Fail("cannot open the printer on " + PortOf(ctx));
    InitProgressBar("Sending objects", 0, static_cast<int32_t>(lines.size()));
    int32_t sent = 0;
    for (const std::string& line : lines) {
        if (PCUWritePrinter(ctx, CommandOf(line).c_str()) != 1) {
            DeleteProgressBar();
            PCUWritePrinter(ctx, "R");  // do not leave the printer in program mode
            PCUClosePrinter(ctx);
            return Fail("the printer on " + PortOf(ctx) + " did not take line " +
                        std::to_string(sent + 1) + " of the object sections; run `tarvo " +
                        "objects list` to see what it holds");
        }
        RunProgressBar(++sent);
    }
    DeleteProgressBar();
    PCUClosePrinter(ctx);
    return 0;
}

}  // namespace tarvo::cli

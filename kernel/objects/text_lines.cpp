#include "objects/text_lines.h"

#include <cstdint>
#include <filesystem>
#include <fstream>

namespace tarvo {

LineStatus LineReader::next(std::string* line) {
    line->clear();
    std::streambuf* buffer = in_.rdbuf();
    if (buffer == nullptr || in_.bad())
        return LineStatus::kError;
    // One character beyond the limit is kept so that a CR ending a line of full length can be
    // told from a character too many.
    bool overflow = false;
    bool any = false;
    for (;;) {
        int c = std::char_traits<char>::eof();
        try {
            c = buffer->sbumpc();
        } catch (...) {
            return LineStatus::kError;
        }
        if (c == std::char_traits<char>::eof())
            break;
        any = true;
        ++consumed_;
        if (c == '\n')
            break;
        if (line->size() <= limit_)
            line->push_back(static_cast<char>(c));
        else
            overflow = true;
    }
    if (!any)
        return LineStatus::kEnd;
    if (!overflow && !line->empty() && line->back() == '\r')
        line->pop_back();
    if (overflow || line->size() > limit_) {
        line->resize(limit_);
        return LineStatus::kTooLong;
    }
    return LineStatus::kLine;
}

bool OpenTextFile(const std::string& path, std::ifstream* in) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        return false;
    in->open(path, std::ios::in | std::ios::binary);
    return in->is_open();
}

std::uint64_t FileLength(const std::string& path) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    return error ? 0 : static_cast<std::uint64_t>(size);
}

}  // namespace tarvo

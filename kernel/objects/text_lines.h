// Reading the text files a download sends line by line (command files, .IBF font images) with a
// bound on the line length, so that a file of one endless line costs no more memory than a
// line of the allowed length.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <istream>
#include <string>

namespace tarvo {

enum class LineStatus {
    kLine,     // a line was read
    kTooLong,  // a line longer than the limit; its first `limit` characters were kept
    kEnd,      // the input ended before another line
    kError,    // the input could not be read
};

// Splits a stream into lines. A line ends at LF; a CR just before the LF (or before the end of
// the input) is part of the line end, as a text-mode reader would treat it.
class LineReader {
  public:
    // `in` must outlive the reader. `limit` is the longest line accepted, line end not counted.
    LineReader(std::istream& in, std::size_t limit) : in_(in), limit_(limit) {}

    // Reads the next line into *line without its line end. A longer line gives kTooLong with
    // its first `limit` characters in *line; the rest of it is skipped (never stored), so
    // reading may go on with the next line. kEnd and kError leave *line empty.
    LineStatus next(std::string* line);

    // Bytes taken from the stream so far, line ends included.
    std::uint64_t consumed() const { return consumed_; }

  private:
    std::istream& in_;
    std::size_t limit_;
    std::uint64_t consumed_ = 0;
};

// Opens `path` for reading. Returns false when it cannot be opened or is a directory (which
// the stream library would otherwise read as an empty file).
bool OpenTextFile(const std::string& path, std::ifstream* in);

// The size of the file at `path` in bytes; 0 when it cannot be told.
std::uint64_t FileLength(const std::string& path);

}  // namespace tarvo

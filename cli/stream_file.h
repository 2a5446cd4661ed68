// A file argument "-" stands for standard input or output (`config pull -`, `config push -`,
// `report --log -`). The kernel reads and writes named files, so the stream passes through a
// private temporary file that is removed afterwards.
#pragma once

#include <ostream>
#include <string>

#include "tarvo/base/fs.h"

namespace tarvo::cli {

class StreamFile {
  public:
    explicit StreamFile(std::string argument) : argument_(std::move(argument)) {}
    StreamFile(const StreamFile&) = delete;
    StreamFile& operator=(const StreamFile&) = delete;

    // True when the argument is "-".
    bool isStream() const { return argument_ == "-"; }

    // The path the kernel reads or writes: the argument itself, or the temporary file's path
    // once Prepare has made it.
    const std::string& path() const { return isStream() ? temporary_ : argument_; }

    // For messages: "standard input"/"standard output" for "-", else the argument.
    std::string name(bool output) const;

    // For "-", makes the temporary file's path; with `fromStdin` fills it from standard input.
    // Returns false with *error set on failure; does nothing for a named file.
    bool Prepare(bool fromStdin, std::string* error);

    // For "-", copies the temporary file to standard output. Returns false with *error set on
    // failure; does nothing for a named file.
    bool Deliver(std::string* error);

    // Where the command's own messages go: standard error while standard output carries the
    // file, else standard output.
    std::ostream& messages() const;

  private:
    std::string argument_;
    platform::TemporaryDirectory directory_;  // removed with the temporary file
    std::string temporary_;
};

}  // namespace tarvo::cli

// The QEL commands a simulated Lanmere printer understands inside a framed message: questions,
// configuration commands, program mode with its deletions, test-and-service mode, printing
// stored formats and pages, and shell lines.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "object_downloads.h"
#include "printer_engine.h"
#include "printer_state.h"

namespace tarvo::sim {

// One reply: texts the printer puts in its frame characters one by one (a listing frames each
// of its lines) and sends together.
using Reply = std::vector<std::string>;

class CommandInterpreter {
  public:
    explicit CommandInterpreter(const Identity& identity) : identity_(identity) {}

    // Runs every command of one message body, in order, against *state on `line`, and appends
    // the replies they ask for. Commands start at <ESC>, <SI>, <ENQ>, <SYN>, <SOH> or <EOT>
    // and end at ';' or at the next of those; bytes between them are the plain commands of
    // program mode. A shell line (<ESC>.) runs to the end of the message, and so does a line
    // of a format, a page or an image font under way (up to an R command).
    void run(std::string_view body, PrinterState* state, const LineSettings& line,
             std::vector<Reply>* replies);

    // The line an <SI>P command asked for, once.
    std::optional<LineSettings> takeLineChange();

    // True, once, after a reset to the factory settings ("D" in test-and-service mode): the
    // printer puts no characters around its replies from the end of that message on.
    bool takeFrameReset() { return std::exchange(frameReset_, false); }

  private:
    struct Run {
        PrinterState* state;
        const LineSettings& line;
        std::vector<Reply>* replies;
    };

    std::size_t runEscape(std::string_view body, std::size_t at, const Run& run);
    void runQuestion(std::string_view name, const Run& run);
    void runShift(std::string_view command, const Run& run);
    void runPlain(std::string_view command, const Run& run);
    void runService(std::string_view command, const Run& run);
    std::size_t runPrint(std::string_view body, std::size_t at, const Run& run);
    std::optional<std::size_t> lineEnd(std::string_view body, std::size_t at) const;

    const Identity& identity_;
    bool programMode_ = false;  // between <ESC>P and R, across messages
    bool serviceMode_ = false;  // test-and-service mode: between <ESC>T and R
    DownloadReceiver downloads_;
    std::optional<LineSettings> lineChange_;
    bool frameReset_ = false;
};

}  // namespace tarvo::sim

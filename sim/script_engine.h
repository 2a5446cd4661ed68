// The Brakenholm printer's side of the line: Tallyscript is not framed, so the printer gathers
// bytes into lines ended by CR (an LF right after the CR belongs to the line end) and answers
// each line as its interpreter would.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "printer_engine.h"
#include "script_commands.h"

namespace tarvo::sim {

class ScriptEngine final : public PrinterEngine {
  public:
    // A line longer than this is dropped whole: a real printer's line buffer would have
    // overrun.
    static constexpr std::size_t kMaxLineBytes = 64 * 1024;

    using PrinterEngine::PrinterEngine;

    // Script printers put nothing around their answers.
    void setFrameCharacters(char, char) override {}
    void hear(std::string_view bytes, std::vector<OutgoingPiece>* out) override;

  private:
    void onLine(std::string text, std::vector<OutgoingPiece>* out);

    std::string lineText_;
    bool afterCr_ = false;  // an LF now still belongs to the last line end
    bool overrun_ = false;  // the current line has grown too long and is being skipped
    ScriptSession session_;
};

}  // namespace tarvo::sim

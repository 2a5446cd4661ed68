// The Brakenholm printer's side of the line: Tallyscript is not framed, so the printer gathers
// bytes into lines ended by CR (an LF right after the CR belongs to the line end) and answers
// each line as its interpreter would.
#pragma once

#include <cstddef>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "printer_engine.h"
#include "script_commands.h"
#include "tarvo/base/fs.h"
#include "zmodem_receiver.h"

namespace tarvo::sim {

class ScriptEngine final : public PrinterEngine {
  public:
    // A line longer than this is dropped whole: a real printer's line buffer would have
    // overrun.
    static constexpr std::size_t kMaxLineBytes = 64 * 1024;

    using PrinterEngine::PrinterEngine;
    ~ScriptEngine() override;

    // Script printers put nothing around their answers.
    void setFrameCharacters(char, char) override {}
    void hear(std::string_view bytes, std::vector<OutgoingPiece>* out) override;

    // RUN "dlk" starts the printer's Zmodem receiver in the current device; until it ends,
    // every byte heard goes to it (script_transfer.cpp).
    int relayFd() const override;
    void relay(std::vector<OutgoingPiece>* out) override;
    // The bytes of a file received over Zmodem; nullopt for any other.
    std::optional<std::string> receivedFile(const std::string& device,
                                            const std::string& name) const;

    // The files of a directory and when each was last written.
    using Snapshot = std::map<std::string, std::filesystem::file_time_type>;

  private:
    void onLine(std::string text, std::vector<OutgoingPiece>* out);
    bool startImage(std::string_view canonical);
    std::size_t takeImageBytes(std::string_view bytes);
    void startTransfer(std::vector<OutgoingPiece>* out);
    void feedTransfer(std::string_view bytes, std::vector<OutgoingPiece>* out);
    void endTransfer(int status);
    std::filesystem::path deviceDirectory(const std::string& device);

    std::string lineText_;
    bool afterCr_ = false;  // an LF now still belongs to the last line end
    bool overrun_ = false;  // the current line has grown too long and is being skipped
    ScriptSession session_;
    platform::TemporaryDirectory workDirectory_;  // the received files, one folder per device
    std::unique_ptr<ZmodemReceiver> receiver_;
    std::string transferDevice_;
    Snapshot beforeTransfer_;  // the device's files when the transfer began
    // IMAGE LOAD: the raw bytes still to come, and the image's name and bytes so far.
    std::size_t imageLeft_ = 0;
    std::string imageName_;
    std::string imageBytes_;
};

}  // namespace tarvo::sim

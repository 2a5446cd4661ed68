// What a Lanmere printer whose firmware was declared invalid does on its line: it answers as
// its boot ROM (attention echo, loader upload), then as the boot loader the host uploaded
// (framed commands that stage data in RAM and program flash), and on "exit mode boot" runs the
// firmware it finds in flash.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "boot_frames.h"
#include "boot_loader.h"
#include "flash_memory.h"
#include "printer_state.h"
#include "reply_channel.h"
#include "tarvo/sim/printer_sim.h"

namespace tarvo::sim {

inline constexpr unsigned kBootRomBaud = 38400;

class BootEngine {
  public:
    enum class Phase { Running, Rom, Upload, Loader };

    // Running until the first byte heard with the firmware invalid makes it the ROM.
    Phase phase() const { return phase_; }
    // The line speed of the boot link now.
    unsigned baud() const { return baud_; }
    // The lines the printer understands while it is not running firmware: 8N1 without flow
    // control at the boot speed, and while a speed change waits for the host to take its reply,
    // at the new speed too (the host may switch before the printer has read its acknowledge).
    std::vector<LineSettings> lines() const;

    // Falls back to the boot ROM: the loader and its RAM are gone, the speed is the ROM's.
    void enterRom();

    // Takes one byte heard while the firmware is invalid; what the printer sends in return goes
    // through `replies` into *out. Once the loader has booted good firmware, *state holds its
    // version and firmwareInvalidated is false. Returns false when the byte was not taken: the
    // host moved on from the loader's last reply, which booted the firmware, and the byte is
    // the firmware's to hear.
    bool hear(char byte, PrinterState* state, ReplyChannel* replies,
              std::vector<OutgoingPiece>* out);

    // Set once a fault cut the line; nothing more is heard or said.
    bool lineCut() const { return lineCut_; }

    // The flash, which keeps what was programmed for as long as the printer runs.
    const FlashMemory& flash() const { return flash_; }
    // Why the boot ROM last refused a loader upload, or why the last "exit mode boot" found no
    // firmware it could run; empty once firmware booted, and before any refusal.
    const std::string& refusal() const { return refusal_; }

  private:
    struct PendingReply {
        std::string bytes;
        BootAction action = BootAction::None;
        unsigned baud = 0;
        int resendsLeft = 0;
    };

    void hearInRom(char byte, ReplyChannel* replies, std::vector<OutgoingPiece>* out);
    void hearUpload(char byte, ReplyChannel* replies, std::vector<OutgoingPiece>* out);
    bool hearInLoader(char byte, PrinterState* state, ReplyChannel* replies,
                      std::vector<OutgoingPiece>* out);
    bool hearAcknowledge(char byte, PrinterState* state, ReplyChannel* replies,
                         std::vector<OutgoingPiece>* out);
    void onFrame(const BootFrame& frame, ReplyChannel* replies, std::vector<OutgoingPiece>* out);
    // Sends the reply that waits for the host, or what the line makes of it.
    void sendPending(ReplyChannel* replies, std::vector<OutgoingPiece>* out);
    void carryOut(const PendingReply& reply, PrinterState* state);
    void bootFirmware(PrinterState* state);
    void cutLine(std::vector<OutgoingPiece>* out);

    Phase phase_ = Phase::Running;
    unsigned baud_ = kBootRomBaud;
    FlashMemory flash_;
    std::optional<BootLoader> loader_;
    BootFrameParser parser_;
    std::optional<PendingReply> pending_;
    // The loader upload: length bytes first, then the loader, then its 16-bit sum.
    int lengthBytes_ = 0;
    std::uint32_t uploadLength_ = 0;
    std::uint32_t uploaded_ = 0;
    std::uint16_t uploadSum_ = 0;
    int sumBytes_ = 0;
    std::uint16_t receivedSum_ = 0;
    bool lineCut_ = false;
    std::string refusal_;
};

}  // namespace tarvo::sim

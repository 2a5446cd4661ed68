// The commands of the boot loader that a host uploads to the boot ROM: status questions, the
// RAM staging commands, flash programming, the line speed and leaving the loader.
#pragma once

#include <string>

#include "boot_frames.h"
#include "flash_memory.h"

namespace tarvo::sim {

inline constexpr const char* kLoaderVersion = "LDR 3.02";

// What the printer does once the host has taken the reply.
enum class BootAction { None, ChangeSpeed, RunFirmware, BackToRom };

struct BootReply {
    BootFrame frame;  // the words echo the request's
    BootAction action = BootAction::None;
    unsigned baud = 0;  // ChangeSpeed: the new speed
};

// Whether the frame asks to program flash ("command" "flash" "write", any case).
bool IsFlashWrite(const BootFrame& request);

class BootLoader {
  public:
    // The loader works on `flash`, which outlives it (not null).
    explicit BootLoader(FlashMemory* flash) : flash_(flash) {}

    // Carries out one well-formed request and says what to answer. Words are compared without
    // regard to case; an unknown command is answered with its words and the text
    // "unknown command", bad arguments with a non-zero status.
    BootReply run(const BootFrame& request);

  private:
    BootReply runFlash(const BootFrame& request, const std::string& what);
    BootReply runRam(const BootFrame& request, const std::string& what);
    BootReply storeRam(const BootFrame& request);
    BootReply fillRam(const BootFrame& request, bool words);
    BootReply readRam(const BootFrame& request);
    BootReply changeSpeed(const BootFrame& request);

    FlashMemory* flash_;
    StagingRam ram_;
};

}  // namespace tarvo::sim

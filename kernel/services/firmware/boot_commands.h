// The boot loader's commands over a BootLink: sending a frame until it is acknowledged, receiving
// the reply frame, the exchange that retries both, and one function per command of the loader.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "services/firmware/boot_frames.h"
#include "services/firmware/boot_link.h"

namespace tarvo::firmware {

// Errors of this layer besides the frame errors (101..120).
inline constexpr int kBaudChangeRefused = 16;
inline constexpr int kExitNotEchoed = 17;
inline constexpr int kReplyWordsDiffer = 28;
inline constexpr int kFlashStatusNotZero = 29;
inline constexpr int kFrameNotWritten = 106;
inline constexpr int kNoAcknowledge = 107;
inline constexpr int kNegativeAcknowledge = 108;
inline constexpr int kOtherAcknowledge = 109;
inline constexpr int kStatusNotEchoed = 121;
// A reply whose data part is not the length the command calls for.
inline constexpr int kReplyDataLength = 122;

inline constexpr unsigned char kAck = 0x06;
inline constexpr unsigned char kNak = 0x15;

// Where staged data lives in printer RAM.
inline constexpr std::uint32_t kStagingRam = 0xBFFB0000;

// The retry and time-out policy of the loader link, in one place.
struct BootPolicy {
    int sendAttempts = 5;
    int receiveAttempts = 5;
    int exchangeAttempts = 3;
    Millis writeStall{500};
    Millis ackWait{500};
    Millis replyTimeOut{4000};
    Millis bytePause{8000};
    Millis afterFailedSend{25};
    Millis afterFailedReceive{100};
    Millis afterSpeedChange{20};
};

class BootLoader {
  public:
    // Talks over `link` (not owned) at `speedCode`, the speed the link is at now.
    BootLoader(BootLink& link, int speedCode) : link_(link), speedCode_(speedCode) {}

    int speedCode() const { return speedCode_; }

    // Sends `request` until acknowledged, then receives the reply into *reply; the whole is tried
    // up to three times. Returns 0 or the last error (101..120). The reply's words are not
    // checked here.
    int exchange(const BootFrame& request, BootFrame* reply);

    // One send: purge, write, wait for the queue to drain, wait for ACK. Up to five attempts.
    // Returns 0, 106, 107, 108 or 109.
    int sendFrame(std::string_view bytes);
    // Receives one reply frame, acknowledging it (ACK, or NAK for a bad one). Up to five
    // attempts. Returns 0 or 110..120.
    int receiveFrame(BootFrame* reply);

    // "request status version": the loader's version text. 0, 121 or an exchange error.
    int version(std::string* text);
    // "request status flash size": 0, 121, 122 or an exchange error.
    int flashSize(std::uint32_t* size);
    // "command flash flash type" at `address`: 0, 28, 122 or an exchange error.
    int flashType(std::uint32_t address, std::uint32_t* type);
    // "command baud rate change" to `code`, then the host follows and waits 20 ms.
    // 0, 16, 28, 122 or an exchange error.
    int changeSpeed(int code);
    // "command exit mode" `mode` ("boot", "load", "off"): 0, 17 or an exchange error.
    int exitMode(std::string_view mode);
    // "command flash erase" / "write protect": 0, 28, 29, 122 or an exchange error.
    int eraseFlash(std::uint32_t address);
    int writeProtect(std::uint32_t address);
    // "command flash write": `length` bytes from RAM to flash. 0, 28, 29, 122 or an exchange
    // error.
    int writeFlash(std::uint32_t flashAddress, std::uint32_t ramAddress, std::uint32_t length);
    // "command store data ram": `bytes` at `address`, whose text is "%8lx" for a full block and
    // "%08lx" for the last partial one. 0, 28 or an exchange error.
    int storeRam(std::uint32_t address, std::string_view bytes, bool fullBlock);
    // "command fill ram word" / "byte": `count` copies at `address`. 0, 28 or an exchange error.
    int fillRamWords(std::uint32_t address, std::uint32_t count, std::uint16_t word);
    int fillRamBytes(std::uint32_t address, std::uint32_t count, std::uint8_t byte);
    // "command read data ram": exactly `length` bytes (at most 2048) into *bytes.
    // 0, 28, 122 or an exchange error.
    int readRam(std::uint32_t address, std::uint32_t length, std::string* bytes);

    BootPolicy policy;

  private:
    int sendOnce(std::string_view bytes);
    int receiveOnce(BootFrame* reply);
    // Exchanges and checks the echoed words (`wordsError` when they differ) and, when
    // `dataLength` is not negative, the reply's data length.
    int command(const BootFrame& request, int wordsError, long dataLength, BootFrame* reply);
    int flashStatus(const BootFrame& request);

    BootLink& link_;
    int speedCode_;
};

// Little-endian 32-bit numbers, as the loader's data parts carry them.
std::string Le32(std::uint32_t value);
std::uint32_t ReadLe32(std::string_view bytes, std::size_t at);

}  // namespace tarvo::firmware

// The Zmodem sender: offers one file to a receiver that is already running on the far side and
// sends it from the offset the receiver asks for. Every wait is bounded, the monitor is served
// between waits, and every way a transfer can fail has a code of its own.
#pragma once

#include <cstdint>
#include <string>

#include "fwxfer/gf_serial.h"
#include "fwxfer/header_reader.h"
#include "fwxfer/zmodem_wire.h"

namespace fwxfer {

// Results of a transfer. The numbers are shown to the operator and stay as they are.
enum class GFResult : int {
    Ok = 0,
    ReceiverDidNotStart = 1,  // no ZRINIT came within the start tries
    Cancelled = 2,            // the monitor asked to stop; the receiver was sent CAN
    ReceiverCancelled = 3,    // the receiver aborted (five CAN)
    LineCut = 4,              // the line went away
    Stalled = 5,              // the line took no byte for GFSerial::kStallLimit
    RetriesExhausted = 6,     // the receiver kept asking again, or stopped answering
    FileUnreadable = 7,       // the file could not be read; nothing was sent
    FileRefused = 8,          // the receiver skipped the file (ZSKIP, ZFERR)
    PortError = 9,            // the port failed in another way
};

// A sentence for the operator, such as "the receiver did not start".
const char* GFResultText(GFResult result);

struct GFZmodemTiming {
    Millis startWait{3000};  // for ZRINIT after each ZRQINIT
    int startTries = 10;
    Millis replyWait{10000};  // for the answer to ZFILE, ZEOF, ZCRCW and ZFIN
    int answerTries = 3;      // sends of ZFILE, ZEOF and ZFIN before giving up
    int retries = 10;         // ZRPOS for the same offset in a row
};

class GFZmodem {
  public:
    // Subpackets carry this many bytes.
    static constexpr std::size_t kSubpacketBytes = 1024;

    // `serial` must outlive the engine; its monitor is the engine's monitor.
    explicit GFZmodem(GFSerial& serial, GFZmodemTiming timing = {})
        : serial_(serial), timing_(timing) {}

    // Sends the file at `path` under the name `remoteName` (no directory; must not be empty).
    // The file is read whole before the first byte goes out. Returns Ok once the receiver
    // took the file (its ZRINIT after ZEOF) and the session was closed.
    GFResult SendFile(const std::string& path, const std::string& remoteName);
    // The same for bytes already in memory.
    GFResult SendData(const std::string& content, const std::string& remoteName,
                      std::uint64_t modifiedSeconds = 0);

    // The file offset the receiver first asked for (its resume point), after SendFile.
    std::uint32_t startOffset() const { return startOffset_; }

  private:
    enum class Wait { Header, Timeout, Failed, Nothing };

    Wait waitHeader(Millis timeout, Header* header);
    Wait takeQueuedHeader(Header* header);
    Wait onReaderEvent(HeaderReader::Event event, Header* header);
    GFResult fail(GFResult result);
    GFResult put(std::string_view bytes);
    GFResult startSession();
    GFResult offerFile(const std::string& content, const std::string& name,
                       std::uint64_t modifiedSeconds);
    GFResult sendFrom(const std::string& content, std::uint32_t position);
    GFResult streamData(const std::string& content, std::uint32_t* position);
    GFResult answerWhileStreaming(const Header& header, std::uint32_t* position, bool* restart);
    GFResult endFile(const std::string& content, std::uint32_t* position, bool* again);
    GFResult finishSession();
    bool countRetry(std::uint32_t position);
    std::string binaryHeader(const Header& header) const;

    GFSerial& serial_;
    GFZmodemTiming timing_;
    HeaderReader reader_;
    GFResult failure_ = GFResult::Ok;  // why the last wait failed
    bool crc32_ = true;
    EscapeRules escapes_;
    std::uint32_t receiverBuffer_ = 0;  // 0: the receiver takes a stream without pauses
    std::uint32_t startOffset_ = 0;
    std::uint32_t retryPosition_ = UINT32_MAX;
    int retryCount_ = 0;
};

}  // namespace fwxfer

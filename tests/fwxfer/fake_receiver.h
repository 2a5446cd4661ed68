// A Zmodem receiver played by the test, on a link with virtual time: it decodes what the
// sender writes (headers and data subpackets, check sums verified) and answers as its script
// says. Waits cost no real time.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fwxfer/gf_link.h"
#include "fwxfer/header_reader.h"

namespace fwxfer::test {

struct ReceiverScript {
    bool answers = true;                   // false: silent, as when no receiver runs
    std::uint8_t flags = 0x23;             // ZRINIT F0
    std::uint16_t bufferSize = 0;          // ZRINIT P0/P1
    std::uint32_t resumeAt = 0;            // the offset of the first ZRPOS
    bool skipFile = false;                 // answer ZFILE with ZSKIP
    std::optional<std::uint32_t> errorAt;  // once this much arrived, ask again from there
    bool answerEof = true;
    std::optional<std::size_t> stallAfter;  // take no byte more once this many came
    std::optional<std::size_t> cutAfter;    // the line goes away once this many came
    bool cancelAfterFile = false;           // send five CAN in answer to ZFILE
};

class FakeReceiver final : public GFLink {
  public:
    explicit FakeReceiver(ReceiverScript script) : script_(script) {}

    TimePoint now() override { return now_; }
    GFIo read(char* buffer, std::size_t size, Millis timeout, std::size_t* got) override;
    GFIo write(const char* data, std::size_t size, Millis timeout, std::size_t* written) override;
    void purgeInput() override {}
    void purgeOutput() override {}

    const std::string& wire() const { return wire_; }      // every byte the sender wrote
    const std::string& file() const { return file_; }      // the file as the receiver has it
    const std::string& fileInfo() const { return info_; }  // the ZFILE subpacket
    std::vector<Frame> frames() const { return frames_; }  // headers in order of arrival
    bool sawFinish() const { return wire_.size() >= 2 && wire_.substr(wire_.size() - 2) == "OO"; }
    int badChecksums() const { return badChecksums_; }
    Millis elapsed() const { return std::chrono::duration_cast<Millis>(now_ - TimePoint{}); }

  private:
    void take(char byte);
    void onHeader(const Header& header);
    void onSubpacketEnd(char end);
    void answer(const std::string& bytes) { pending_ += bytes; }

    ReceiverScript script_;
    TimePoint now_{};
    std::string wire_;
    std::string pending_;
    HeaderReader reader_;
    std::vector<Frame> frames_;
    enum class Mode { Headers, FileInfo, Data, Ignore } mode_ = Mode::Headers;
    std::string packet_;
    bool escape_ = false;
    int crcLeft_ = -1;  // check sum bytes still to come after a frame end, -1 outside one
    char end_ = 0;
    std::string file_;
    std::string info_;
    std::uint32_t position_ = 0;
    bool erred_ = false;
    int badChecksums_ = 0;
};

}  // namespace fwxfer::test

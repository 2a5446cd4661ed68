// A printer's boot ROM and boot loader in memory, behind the BootLink interface: it answers
// what the host writes at once, keeps every frame it received, stages RAM, programs a flash
// region, and misbehaves on request. Waits on it advance the installed clock, never real time.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "services/firmware/boot_commands.h"
#include "services/firmware/boot_frames.h"
#include "services/firmware/boot_link.h"

namespace tarvo::test {

class FakeBootLoader final : public firmware::BootLink {
  public:
    enum class Mode { Rom, Upload, Loader, Gone };

    static constexpr std::uint32_t kFlashBase = 0xFEE00000;
    static constexpr std::uint32_t kFlashSize = 0x40000;
    static constexpr std::uint32_t kRamBase = firmware::kStagingRam;
    static constexpr std::uint32_t kRamSize = 0x20000;

    FakeBootLoader() : flash(kFlashSize, '\xff'), ram(kRamSize, '\0') {}

    // --- what the host did ---
    std::string sent;                         // every byte written
    std::vector<firmware::BootFrame> frames;  // every good frame received
    std::vector<int> speeds;                  // every speed the host moved to
    int naksReceived = 0;
    int acksReceived = 0;
    std::string flash;
    std::string ram;
    Mode mode = Mode::Rom;

    // --- misbehaviour ---
    bool romSilent = false;
    int loaderAnswer = -1;  // -1: EM when the sum is right, -2: silence, else this byte
    char ackByte = 0x06;    // what frames are acknowledged with
    int nakFrames = 0;      // answer this many frames with NAK
    // Bytes of line noise that come, one a millisecond, whenever nothing else is on its way.
    std::size_t noiseBytes = 0;
    // Replaces the reply to a frame: return the raw bytes to send after the ACK.
    std::function<std::optional<std::string>(const firmware::BootFrame&)> replyOverride;

    void purge() override { input_.clear(); }

    bool write(std::string_view bytes, platform::Millis) override {
        if (mode == Mode::Gone)
            return false;
        sent.append(bytes);
        for (const char c : bytes)
            take(static_cast<unsigned char>(c));
        return true;
    }

    std::optional<std::uint8_t> readByte(platform::Millis timeout) override {
        if (input_.empty() && noiseBytes > 0 && mode != Mode::Gone) {
            --noiseBytes;
            platform::CurrentClock().sleepFor(platform::Millis{1});
            return static_cast<std::uint8_t>('~');
        }
        if (input_.empty()) {
            if (mode != Mode::Gone)
                platform::CurrentClock().sleepFor(timeout);
            return std::nullopt;
        }
        const std::uint8_t b = input_.front();
        input_.pop_front();
        return b;
    }

    bool drain(platform::Millis) override { return mode != Mode::Gone; }

    bool setSpeed(int code) override {
        speeds.push_back(code);
        return true;
    }

    // Frames received with these words, in order.
    std::vector<firmware::BootFrame> framesOf(std::string_view w2, std::string_view w3) const {
        std::vector<firmware::BootFrame> out;
        for (const auto& f : frames) {
            if (f.word2 == w2 && f.word3 == w3)
                out.push_back(f);
        }
        return out;
    }

    void queue(std::string_view bytes) {
        for (const char c : bytes)
            input_.push_back(static_cast<std::uint8_t>(c));
    }

  private:
    void take(unsigned char c) {
        switch (mode) {
            case Mode::Rom:
                if (romSilent)
                    return;
                if (c == 0x10)
                    queue("\x10");
                if (c == 0x11) {
                    queue("\x11");
                    mode = Mode::Upload;
                    upload_.clear();
                }
                return;
            case Mode::Upload:
                upload_.push_back(static_cast<char>(c));
                uploadStep();
                return;
            case Mode::Loader:
                loaderByte(c);
                return;
            case Mode::Gone:
                return;
        }
    }

    void uploadStep() {
        if (upload_.size() < 4)
            return;
        const std::uint32_t n =
            static_cast<std::uint32_t>(static_cast<unsigned char>(upload_[0])) << 24 |
            static_cast<std::uint32_t>(static_cast<unsigned char>(upload_[1])) << 16 |
            static_cast<std::uint32_t>(static_cast<unsigned char>(upload_[2])) << 8 |
            static_cast<unsigned char>(upload_[3]);
        if (upload_.size() < 4 + static_cast<std::size_t>(n) + 2)
            return;
        std::uint16_t sum = 0;
        for (std::size_t i = 4; i < 4 + n; ++i)
            sum = static_cast<std::uint16_t>(sum + static_cast<unsigned char>(upload_[i]));
        const std::uint16_t got =
            static_cast<std::uint16_t>(static_cast<unsigned char>(upload_[4 + n]) << 8 |
                                       static_cast<unsigned char>(upload_[5 + n]));
        loaderBytes = n;
        mode = sum == got ? Mode::Loader : Mode::Rom;
        if (loaderAnswer == -1)
            queue(sum == got ? "\x19" : "X");
        else if (loaderAnswer >= 0)
            queue(std::string(1, static_cast<char>(loaderAnswer)));
    }

    void loaderByte(unsigned char c) {
        if (!parser_.started()) {
            if (c == firmware::kAck)
                ++acksReceived;
            if (c == firmware::kNak)
                ++naksReceived;
        }
        const int rc = parser_.feed(c);
        if (rc == firmware::FrameParser::kMore)
            return;
        if (rc != firmware::FrameParser::kDone || nakFrames > 0) {
            if (rc == firmware::FrameParser::kDone)
                --nakFrames;
            parser_.reset();
            queue("\x15");
            return;
        }
        const firmware::BootFrame frame = parser_.frame();
        parser_.reset();
        frames.push_back(frame);
        queue(std::string(1, ackByte));
        if (replyOverride) {
            if (auto raw = replyOverride(frame)) {
                queue(*raw);
                return;
            }
        }
        std::string bytes;
        firmware::BuildFrame(answer(frame), &bytes);
        queue(bytes);
    }

    std::string ramAt(std::uint32_t address, std::uint32_t length) const {
        const std::uint32_t at = address - kRamBase;
        if (at > kRamSize || kRamSize - at < length)
            return std::string(length, '\0');
        return ram.substr(at, length);
    }

    void storeRam(std::uint32_t address, std::string_view bytes) {
        const std::uint32_t at = address - kRamBase;
        if (at <= kRamSize && kRamSize - at >= bytes.size())
            ram.replace(at, bytes.size(), bytes);
    }

    firmware::BootFrame answer(const firmware::BootFrame& f) {
        firmware::BootFrame r;
        r.word1 = f.word1;
        r.word2 = f.word2;
        r.word3 = f.word3;
        const std::string data = f.data.value_or(std::string());
        auto n = [&](std::size_t at) { return firmware::ReadLe32(data, at); };
        const std::string ok("\0\0", 2);
        if (f.word3 == "version") {
            r.text = "FAKE 1.0";
        } else if (f.word3 == "flash size" || f.word3 == "flash type") {
            r.data = firmware::Le32(f.word3 == "flash size" ? kFlashSize : 0x2249);
        } else if (f.word2 == "baud rate") {
            r.data = data.substr(0, 1);
        } else if (f.word3 == "erase") {
            const std::uint32_t at = n(0) - kFlashBase;
            if (at < kFlashSize)
                flash.replace(at, std::min<std::uint32_t>(0x10000, kFlashSize - at),
                              std::min<std::uint32_t>(0x10000, kFlashSize - at), '\xff');
            r.data = ok;
        } else if (f.word3 == "write") {
            const std::uint32_t at = n(0) - kFlashBase;
            const std::string bytes = ramAt(n(4), n(8));
            if (at <= kFlashSize && kFlashSize - at >= bytes.size())
                flash.replace(at, bytes.size(), bytes);
            r.data = ok;
        } else if (f.word3 == "write protect") {
            r.data = ok;
        } else if (f.word2 == "store data") {
            storeRam(static_cast<std::uint32_t>(std::stoul(f.text.value_or("0"), nullptr, 16)),
                     data);
        } else if (f.word2 == "fill ram") {
            const std::uint32_t count = n(4);
            std::string fill;
            for (std::uint32_t i = 0; i < count; ++i) {
                fill.push_back(data[8]);
                if (f.word3 == "word")
                    fill.push_back(data[9]);
            }
            storeRam(n(0), fill);
        } else if (f.word2 == "read data") {
            r.data = ramAt(n(0), n(4));
        }
        return r;
    }

    std::deque<std::uint8_t> input_;
    std::string upload_;
    firmware::FrameParser parser_;

  public:
    std::uint32_t loaderBytes = 0;
};

}  // namespace tarvo::test

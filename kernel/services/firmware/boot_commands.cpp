#include "services/firmware/boot_commands.h"

#include <strings.h>

#include <algorithm>
#include <cstdio>

#include "platform/clock.h"

namespace tarvo::firmware {
namespace {

constexpr std::size_t kDrainFloorBytes = 8192;
constexpr long kAnyData = -1;
constexpr long kStatusLength = 2;
constexpr long kNumberLength = 4;

bool SameWord(const std::string& a, std::string_view b) {
    return a.size() == b.size() && ::strncasecmp(a.data(), b.data(), a.size()) == 0;
}

bool WordsEchoed(const BootFrame& request, const BootFrame& reply) {
    return SameWord(reply.word1, request.word1) && SameWord(reply.word2, request.word2) &&
           SameWord(reply.word3, request.word3);
}

std::size_t DataSize(const BootFrame& frame) {
    return frame.data ? frame.data->size() : 0;
}

BootFrame Request(std::string_view w1, std::string_view w2, std::string_view w3) {
    BootFrame f;
    f.word1 = w1;
    f.word2 = w2;
    f.word3 = w3;
    return f;
}

BootFrame WithData(BootFrame f, std::string data) {
    f.data = std::move(data);
    return f;
}

}  // namespace

std::string Le32(std::uint32_t v) {
    std::string out(4, '\0');
    for (int i = 0; i < 4; ++i)
        out[static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return out;
}

std::uint32_t ReadLe32(std::string_view bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4 && at + i < bytes.size(); ++i)
        v |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    return v;
}

int BootLoader::sendOnce(std::string_view bytes) {
    link_.purge();
    if (!link_.write(bytes, policy.writeStall))
        return kFrameNotWritten;
    // How long the line needs for the frame (at least for 8 KB) at this speed, plus a margin.
    const Millis drainLimit{
        speedCode_ * static_cast<long>(std::max(bytes.size(), kDrainFloorBytes)) / 12 + 1};
    if (!link_.drain(drainLimit))
        return kFrameNotWritten;
    const auto answer = link_.readByte(policy.ackWait);
    if (!answer)
        return kNoAcknowledge;
    if (*answer == kAck)
        return 0;
    return *answer == kNak ? kNegativeAcknowledge : kOtherAcknowledge;
}

int BootLoader::sendFrame(std::string_view bytes) {
    int rc = kFrameNotWritten;
    for (int attempt = 0; attempt < policy.sendAttempts; ++attempt) {
        rc = sendOnce(bytes);
        if (rc == 0)
            return 0;
    }
    return rc;
}

int BootLoader::receiveOnce(BootFrame* reply) {
    platform::Clock& clock = platform::CurrentClock();
    FrameParser parser;
    const platform::TimePoint deadline = clock.now() + policy.replyTimeOut;
    bool anything = false;
    // A reply that stopped half-way (or never began amid noise) is refused; silence is not.
    auto timedOut = [&] {
        if (anything)
            link_.write(std::string_view(reinterpret_cast<const char*>(&kNak), 1),
                        policy.writeStall);
        return kReplyTimeOut;
    };
    for (;;) {
        Millis wait = policy.bytePause;
        if (!parser.started()) {
            // The deadline holds however many bytes come before "[": a line that keeps bringing
            // noise must not keep the host waiting for ever.
            wait = std::chrono::duration_cast<Millis>(deadline - clock.now());
            if (wait <= Millis{0})
                return timedOut();
        }
        const auto byte = link_.readByte(wait);
        if (!byte)
            return timedOut();
        anything = true;
        const int rc = parser.feed(*byte);
        if (rc == FrameParser::kMore)
            continue;
        const unsigned char answer = rc == FrameParser::kDone ? kAck : kNak;
        link_.write(std::string_view(reinterpret_cast<const char*>(&answer), 1), policy.writeStall);
        if (rc == FrameParser::kDone)
            *reply = parser.frame();
        return rc;
    }
}

int BootLoader::receiveFrame(BootFrame* reply) {
    int rc = kReplyTimeOut;
    for (int attempt = 0; attempt < policy.receiveAttempts; ++attempt) {
        *reply = BootFrame{};
        rc = receiveOnce(reply);
        if (rc == 0)
            return 0;
    }
    platform::CurrentClock().sleepFor(policy.afterFailedReceive);
    return rc;
}

int BootLoader::exchange(const BootFrame& request, BootFrame* reply) {
    std::string bytes;
    if (const int rc = BuildFrame(request, &bytes); rc != 0)
        return rc;
    int rc = kFrameNotWritten;
    for (int attempt = 0; attempt < policy.exchangeAttempts; ++attempt) {
        rc = sendFrame(bytes);
        if (rc != 0) {
            platform::CurrentClock().sleepFor(policy.afterFailedSend);
            continue;
        }
        rc = receiveFrame(reply);
        if (rc == 0)
            break;
    }
    // Lets the host repaint (the progress window) between exchanges.
    platform::PumpMessages();
    return rc;
}

int BootLoader::command(const BootFrame& request, int wordsError, long dataLength,
                        BootFrame* reply) {
    if (const int rc = exchange(request, reply); rc != 0)
        return rc;
    if (!WordsEchoed(request, *reply))
        return wordsError;
    if (dataLength != kAnyData && DataSize(*reply) != static_cast<std::size_t>(dataLength))
        return kReplyDataLength;
    return 0;
}

int BootLoader::flashStatus(const BootFrame& request) {
    BootFrame reply;
    if (const int rc = command(request, kReplyWordsDiffer, kStatusLength, &reply); rc != 0)
        return rc;
    return (*reply.data)[0] == 0 && (*reply.data)[1] == 0 ? 0 : kFlashStatusNotZero;
}

int BootLoader::version(std::string* text) {
    BootFrame reply;
    const int rc =
        command(Request("request", "status", "version"), kStatusNotEchoed, kAnyData, &reply);
    if (rc == 0)
        *text = reply.text.value_or(std::string());
    return rc;
}

int BootLoader::flashSize(std::uint32_t* size) {
    BootFrame reply;
    const int rc = command(Request("request", "status", "flash size"), kStatusNotEchoed,
                           kNumberLength, &reply);
    if (rc == 0)
        *size = ReadLe32(*reply.data, 0);
    return rc;
}

int BootLoader::flashType(std::uint32_t address, std::uint32_t* type) {
    BootFrame reply;
    const int rc = command(WithData(Request("command", "flash", "flash type"), Le32(address)),
                           kReplyWordsDiffer, kNumberLength, &reply);
    if (rc == 0)
        *type = ReadLe32(*reply.data, 0);
    return rc;
}

int BootLoader::changeSpeed(int code) {
    if (BaudOfSpeedCode(code) == 0)
        return kBaudChangeRefused;
    BootFrame reply;
    const BootFrame request = WithData(Request("command", "baud rate", "change"),
                                       std::string(1, static_cast<char>(code)));
    if (const int rc = command(request, kReplyWordsDiffer, 1, &reply); rc != 0)
        return rc;
    if (static_cast<unsigned char>((*reply.data)[0]) != code || !link_.setSpeed(code))
        return kBaudChangeRefused;
    speedCode_ = code;
    platform::CurrentClock().sleepFor(policy.afterSpeedChange);
    return 0;
}

int BootLoader::exitMode(std::string_view mode) {
    BootFrame reply;
    return command(Request("command", "exit mode", mode), kExitNotEchoed, kAnyData, &reply);
}

int BootLoader::eraseFlash(std::uint32_t address) {
    return flashStatus(WithData(Request("command", "flash", "erase"), Le32(address)));
}

int BootLoader::writeProtect(std::uint32_t address) {
    return flashStatus(WithData(Request("command", "flash", "write protect"), Le32(address)));
}

int BootLoader::writeFlash(std::uint32_t flashAddress, std::uint32_t ramAddress,
                           std::uint32_t length) {
    return flashStatus(WithData(Request("command", "flash", "write"),
                                Le32(flashAddress) + Le32(ramAddress) + Le32(length)));
}

int BootLoader::storeRam(std::uint32_t address, std::string_view bytes, bool fullBlock) {
    char text[16];
    std::snprintf(text, sizeof text, fullBlock ? "%8lx" : "%08lx",
                  static_cast<unsigned long>(address));
    BootFrame request = WithData(Request("command", "store data", "ram"), std::string(bytes));
    request.text = text;
    BootFrame reply;
    return command(request, kReplyWordsDiffer, kAnyData, &reply);
}

int BootLoader::fillRamWords(std::uint32_t address, std::uint32_t count, std::uint16_t word) {
    std::string data = Le32(address) + Le32(count);
    data.push_back(static_cast<char>(word & 0xFF));
    data.push_back(static_cast<char>(word >> 8));
    data.append(2, '\0');
    BootFrame reply;
    return command(WithData(Request("command", "fill ram", "word"), std::move(data)),
                   kReplyWordsDiffer, kAnyData, &reply);
}

int BootLoader::fillRamBytes(std::uint32_t address, std::uint32_t count, std::uint8_t byte) {
    std::string data = Le32(address) + Le32(count);
    data.push_back(static_cast<char>(byte));
    data.append(3, '\0');
    BootFrame reply;
    return command(WithData(Request("command", "fill ram", "byte"), std::move(data)),
                   kReplyWordsDiffer, kAnyData, &reply);
}

int BootLoader::readRam(std::uint32_t address, std::uint32_t length, std::string* bytes) {
    BootFrame reply;
    const int rc =
        command(WithData(Request("command", "read data", "ram"), Le32(address) + Le32(length)),
                kReplyWordsDiffer, static_cast<long>(length), &reply);
    if (rc == 0)
        *bytes = reply.data.value_or(std::string());
    return rc;
}

}  // namespace tarvo::firmware

#include "boot_loader.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>

#include "tarvo/base/byte_order.h"

namespace tarvo::sim {
namespace {

constexpr std::uint32_t kFastestBaud = 115200;
// Speed codes (115200 / baud) that fit the one byte of the request.
constexpr std::array<unsigned, 8> kSpeedCodes = {1, 2, 3, 6, 12, 24, 48, 96};
constexpr std::size_t kMaxReplyData = 0xFFFF;

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::uint32_t Le32(const std::string& data, std::size_t at) {
    return tarvo::Le32(reinterpret_cast<const std::uint8_t*>(data.data()) + at);
}

std::string ToLe(std::uint32_t value, std::size_t bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes; ++i)
        out += static_cast<char>(value >> (8 * i));
    return out;
}

BootReply Echo(const BootFrame& request) {
    BootReply reply;
    reply.frame.words = request.words;
    return reply;
}

BootReply WithStatus(const BootFrame& request, MemoryStatus status) {
    BootReply reply = Echo(request);
    reply.frame.data = ToLe(static_cast<std::uint16_t>(status), 2);
    return reply;
}

// "%8lx" pads the address with blanks, "%08lx" with zeros; either is 1 to 8 hex digits.
bool ParseHexAddress(const std::string& text, std::uint32_t* address) {
    const auto first = text.find_first_not_of(' ');
    const auto last = text.find_last_not_of(' ');
    if (first == std::string::npos || last - first + 1 > 8)
        return false;
    std::uint32_t value = 0;
    for (std::size_t i = first; i <= last; ++i) {
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
        value = value * 16 + static_cast<std::uint32_t>(c <= '9' ? c - '0' : c - 'a' + 10);
    }
    *address = value;
    return true;
}

}  // namespace

bool IsFlashWrite(const BootFrame& request) {
    return Lower(request.words[0]) == "command" && Lower(request.words[1]) == "flash" &&
           Lower(request.words[2]) == "write";
}

BootReply BootLoader::run(const BootFrame& request) {
    const std::string first = Lower(request.words[0]);
    const std::string second = Lower(request.words[1]);
    const std::string third = Lower(request.words[2]);
    if (first == "request" && second == "status" && third == "version") {
        BootReply reply = Echo(request);
        reply.frame.text = kLoaderVersion;
        return reply;
    }
    if (first == "request" && second == "status" && third == "flash size") {
        BootReply reply = Echo(request);
        reply.frame.data = ToLe(FlashMemory::kSize, 4);
        return reply;
    }
    if (first == "command" && second == "flash")
        return runFlash(request, third);
    if (first == "command" &&
        (second == "store data" || second == "fill ram" || second == "read data"))
        return runRam(request, second + " " + third);
    if (first == "command" && second == "baud rate" && third == "change")
        return changeSpeed(request);
    if (first == "command" && second == "exit mode" &&
        (third == "boot" || third == "load" || third == "off")) {
        BootReply reply = Echo(request);
        // "load" keeps the loader running; "off" stops it and leaves the boot ROM.
        reply.action = third == "boot"  ? BootAction::RunFirmware
                       : third == "off" ? BootAction::BackToRom
                                        : BootAction::None;
        return reply;
    }
    BootReply reply = Echo(request);
    reply.frame.text = "unknown command";
    return reply;
}

BootReply BootLoader::runFlash(const BootFrame& request, const std::string& what) {
    const std::string& data = request.data;
    if (what == "flash type") {
        BootReply reply = Echo(request);
        const bool known = data.size() == 4 && FlashMemory::contains(Le32(data, 0), 1);
        reply.frame.data = ToLe(known ? FlashMemory::kType : 0, 4);
        return reply;
    }
    if (what == "erase" || what == "write protect") {
        if (data.size() != 4)
            return WithStatus(request, MemoryStatus::Malformed);
        const std::uint32_t address = Le32(data, 0);
        return WithStatus(request,
                          what == "erase" ? flash_->erase(address) : flash_->writeProtect(address));
    }
    if (what == "write") {
        if (data.size() != 12)
            return WithStatus(request, MemoryStatus::Malformed);
        const std::uint32_t flashAddress = Le32(data, 0);
        const std::uint32_t ramAddress = Le32(data, 4);
        const std::uint32_t length = Le32(data, 8);
        MemoryStatus status = ram_.checkStaged(ramAddress, length);
        if (status == MemoryStatus::Ok)
            status = flash_->write(flashAddress, *ram_.read(ramAddress, length));
        if (status == MemoryStatus::Ok)
            ram_.consume(ramAddress, length);
        return WithStatus(request, status);
    }
    BootReply reply = Echo(request);
    reply.frame.text = "unknown command";
    return reply;
}

BootReply BootLoader::runRam(const BootFrame& request, const std::string& what) {
    if (what == "store data ram")
        return storeRam(request);
    if (what == "fill ram word" || what == "fill ram byte")
        return fillRam(request, what == "fill ram word");
    if (what == "read data ram")
        return readRam(request);
    BootReply reply = Echo(request);
    reply.frame.text = "unknown command";
    return reply;
}

BootReply BootLoader::storeRam(const BootFrame& request) {
    std::uint32_t address = 0;
    if (!ParseHexAddress(request.text, &address))
        return WithStatus(request, MemoryStatus::Malformed);
    return WithStatus(request, ram_.store(address, request.data));
}

// Data: RAM address, count, then the fill value in the low bytes of the last word.
BootReply BootLoader::fillRam(const BootFrame& request, bool words) {
    const std::string& data = request.data;
    if (data.size() != 12)
        return WithStatus(request, MemoryStatus::Malformed);
    const std::uint32_t address = Le32(data, 0);
    const std::uint64_t count = Le32(data, 4);
    const std::string pattern = data.substr(8, words ? 2 : 1);
    return WithStatus(request, ram_.fill(address, count * pattern.size(), pattern));
}

BootReply BootLoader::readRam(const BootFrame& request) {
    BootReply reply = Echo(request);
    const std::string& data = request.data;
    const std::uint32_t length = data.size() == 8 ? Le32(data, 4) : 0;
    std::optional<std::string> bytes;
    if (data.size() == 8 && length <= kMaxReplyData)
        bytes = ram_.read(Le32(data, 0), length);
    if (!bytes) {
        reply.frame.text = "bad address or length";
        return reply;
    }
    reply.frame.data = std::move(*bytes);
    return reply;
}

// The reply goes out at the old speed; the new one holds once the host has taken it.
BootReply BootLoader::changeSpeed(const BootFrame& request) {
    BootReply reply = Echo(request);
    const unsigned code =
        request.data.size() == 1 ? static_cast<unsigned char>(request.data[0]) : 0;
    const bool known = std::find(kSpeedCodes.begin(), kSpeedCodes.end(), code) != kSpeedCodes.end();
    reply.frame.data = std::string(1, static_cast<char>(known ? code : 0));
    if (known) {
        reply.action = BootAction::ChangeSpeed;
        reply.baud = kFastestBaud / code;
    }
    return reply;
}

}  // namespace tarvo::sim

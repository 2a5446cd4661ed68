#include "flash_memory.h"

#include <algorithm>

namespace tarvo::sim {
namespace {

bool Within(std::uint32_t base, std::uint32_t size, std::uint32_t address, std::uint64_t length) {
    return address >= base && std::uint64_t{address - base} + length <= size;
}

}  // namespace

bool StagingRam::contains(std::uint32_t address, std::uint64_t length) {
    return Within(kBase, kSize, address, length);
}

MemoryStatus StagingRam::store(std::uint32_t address, const std::string& bytes) {
    if (!contains(address, bytes.size()))
        return MemoryStatus::OutsideRam;
    const std::uint32_t at = address - kBase;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes_[at + i] = static_cast<std::uint8_t>(bytes[i]);
        staged_[at + i] = true;
    }
    return MemoryStatus::Ok;
}

MemoryStatus StagingRam::fill(std::uint32_t address, std::uint64_t length,
                              const std::string& pattern) {
    if (pattern.empty())
        return MemoryStatus::Malformed;
    if (!contains(address, length))
        return MemoryStatus::OutsideRam;
    const std::uint32_t at = address - kBase;
    for (std::uint64_t i = 0; i < length; ++i) {
        bytes_[at + i] = static_cast<std::uint8_t>(pattern[i % pattern.size()]);
        staged_[at + i] = true;
    }
    return MemoryStatus::Ok;
}

std::optional<std::string> StagingRam::read(std::uint32_t address, std::uint32_t length) const {
    if (!contains(address, length))
        return std::nullopt;
    const auto begin = bytes_.begin() + (address - kBase);
    return std::string(begin, begin + length);
}

MemoryStatus StagingRam::checkStaged(std::uint32_t address, std::uint32_t length) const {
    if (!contains(address, length))
        return MemoryStatus::OutsideRam;
    const auto begin = staged_.begin() + (address - kBase);
    return std::all_of(begin, begin + length, [](bool b) { return b; }) ? MemoryStatus::Ok
                                                                        : MemoryStatus::NotStaged;
}

void StagingRam::consume(std::uint32_t address, std::uint32_t length) {
    if (!contains(address, length))
        return;
    const auto begin = staged_.begin() + (address - kBase);
    std::fill(begin, begin + length, false);
}

bool FlashMemory::contains(std::uint32_t address, std::uint64_t length) {
    return Within(kBase, kSize, address, length);
}

MemoryStatus FlashMemory::erase(std::uint32_t address) {
    if (!contains(address, 1))
        return MemoryStatus::OutsideFlash;
    blocks_[address - address % kBlockSize] = Block{};
    return MemoryStatus::Ok;
}

MemoryStatus FlashMemory::writeProtect(std::uint32_t address) {
    if (!contains(address, 1))
        return MemoryStatus::OutsideFlash;
    // A block never erased holds the factory firmware; protecting it changes nothing we model.
    if (auto it = blocks_.find(address - address % kBlockSize); it != blocks_.end())
        it->second.writeProtected = true;
    return MemoryStatus::Ok;
}

// Checks every block the write touches before it changes any byte, so a refused write leaves
// the flash as it was.
MemoryStatus FlashMemory::write(std::uint32_t address, const std::string& bytes) {
    if (!contains(address, bytes.size()))
        return MemoryStatus::OutsideFlash;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::uint32_t at = address + static_cast<std::uint32_t>(i);
        const auto it = blocks_.find(at - at % kBlockSize);
        if (it == blocks_.end() || it->second.programmed[at % kBlockSize])
            return MemoryStatus::NotErased;
        if (it->second.writeProtected)
            return MemoryStatus::WriteProtected;
    }
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::uint32_t at = address + static_cast<std::uint32_t>(i);
        Block& block = blocks_[at - at % kBlockSize];
        block.bytes[at % kBlockSize] &= static_cast<std::uint8_t>(bytes[i]);
        block.programmed[at % kBlockSize] = true;
    }
    return MemoryStatus::Ok;
}

std::vector<std::uint8_t> FlashMemory::read(std::uint32_t address, std::size_t length) const {
    std::vector<std::uint8_t> bytes(length, 0xFF);
    for (std::size_t i = 0; i < length; ++i) {
        const std::uint64_t at = std::uint64_t{address} + i;
        if (at > 0xFFFFFFFFu)
            break;
        const auto a = static_cast<std::uint32_t>(at);
        if (const auto it = blocks_.find(a - a % kBlockSize); it != blocks_.end())
            bytes[i] = it->second.bytes[a % kBlockSize];
    }
    return bytes;
}

std::optional<std::pair<std::uint32_t, std::uint32_t>> FlashMemory::programmedRange() const {
    std::optional<std::pair<std::uint32_t, std::uint32_t>> range;
    for (const auto& [start, block] : blocks_) {
        for (std::uint32_t i = 0; i < kBlockSize; ++i) {
            if (!block.programmed[i])
                continue;
            const std::uint32_t at = start + i;
            if (!range)
                range.emplace(at, at);
            range->second = at;
        }
    }
    return range;
}

}  // namespace tarvo::sim

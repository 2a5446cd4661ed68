// The memories a boot loader works on: a RAM area where the host stages data, and the flash
// memory it programs from there, modelled as sparse 64 KiB blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tarvo::sim {

// Status values the loader answers to flash and RAM commands (two bytes, little-endian).
enum class MemoryStatus : std::uint16_t {
    Ok = 0,
    OutsideFlash = 1,
    NotErased = 2,  // the bytes were programmed since their block was last erased
    NotStaged = 3,  // the RAM bytes were not staged since they were last written to flash
    OutsideRam = 4,
    Malformed = 5,      // the request's data part has the wrong length
    WriteProtected = 6  // the block is write-protected (an erase lifts that)
};

// The RAM the host stages flash contents in. It remembers which bytes were staged since they
// were last copied to flash, so that a flash write of bytes the host never sent (leftovers of
// an earlier segment, say) is refused rather than programmed.
class StagingRam {
  public:
    static constexpr std::uint32_t kBase = 0xBFFB0000;
    static constexpr std::uint32_t kSize = 256 * 1024;

    // Whether [address, address + length) lies inside the RAM.
    static bool contains(std::uint32_t address, std::uint64_t length);

    // Stores the bytes and counts them as staged: Ok, or OutsideRam (nothing stored).
    MemoryStatus store(std::uint32_t address, const std::string& bytes);
    // Fills `length` bytes with `pattern` repeated and counts them as staged: Ok, OutsideRam,
    // or Malformed for an empty pattern (nothing stored either way).
    MemoryStatus fill(std::uint32_t address, std::uint64_t length, const std::string& pattern);
    // The bytes, or nullopt outside the RAM.
    std::optional<std::string> read(std::uint32_t address, std::uint32_t length) const;
    // Whether a flash write may take the range: OutsideRam, NotStaged or Ok.
    MemoryStatus checkStaged(std::uint32_t address, std::uint32_t length) const;
    // The range went to flash: it counts as staged again only once the host sends it anew.
    void consume(std::uint32_t address, std::uint32_t length);

  private:
    std::vector<std::uint8_t> bytes_ = std::vector<std::uint8_t>(kSize, 0);
    std::vector<bool> staged_ = std::vector<bool>(kSize, false);
};

// Flash from kBase, kSize bytes, in 64 KiB blocks. A block never erased in this run holds the
// factory firmware, which nobody here knows: it reads as 0xFF and cannot be programmed. An
// erase sets a block to 0xFF; a write programs bytes that were not programmed since, storing
// them as given (an erased byte ANDed with them); programming a byte twice needs an erase.
class FlashMemory {
  public:
    static constexpr std::uint32_t kBase = 0xFEE00000;
    static constexpr std::uint32_t kSize = 16 * 1024 * 1024;
    static constexpr std::uint32_t kBlockSize = 64 * 1024;
    static constexpr std::uint32_t kType = 0x0089227E;

    // Whether [address, address + length) lies inside the flash.
    static bool contains(std::uint32_t address, std::uint64_t length);

    // Erases the block holding `address` and lifts its write protection: Ok or OutsideFlash.
    MemoryStatus erase(std::uint32_t address);
    // Protects the block holding `address` against writes until its next erase: Ok or
    // OutsideFlash.
    MemoryStatus writeProtect(std::uint32_t address);
    // Programs the bytes: Ok, OutsideFlash, NotErased (a byte's block was never erased, or the
    // byte was programmed since) or WriteProtected; a refused write changes nothing.
    MemoryStatus write(std::uint32_t address, const std::string& bytes);
    // Reads any range: bytes outside the flash or never erased read 0xFF.
    std::vector<std::uint8_t> read(std::uint32_t address, std::size_t length) const;
    // The lowest and highest byte addresses programmed since start; nullopt when none was.
    std::optional<std::pair<std::uint32_t, std::uint32_t>> programmedRange() const;

  private:
    struct Block {
        std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(kBlockSize, 0xFF);
        std::vector<bool> programmed = std::vector<bool>(kBlockSize, false);
        bool writeProtected = false;
    };

    std::map<std::uint32_t, Block> blocks_;  // by block start address
};

}  // namespace tarvo::sim

// Moving files between the host and the printer through the boot loader: a file programmed
// into flash (staged in printer RAM 64 KB at a time, then erased, written and write-protected),
// and printer RAM read back into a new file.
#pragma once

#include <cstdint>
#include <string>

#include "services/firmware/boot_commands.h"

namespace tarvo::firmware {

inline constexpr int kTransferCannotOpen = 7;  // a script file cannot be opened or created
inline constexpr int kTransferShortRead = 8;   // a file read came back short

inline constexpr std::uint32_t kSegmentSize = 65536;
inline constexpr std::uint32_t kStageBlock = 2048;
inline constexpr std::uint32_t kFlashWritePiece = 16384;
inline constexpr std::uint32_t kRamReadPiece = 2048;

// Programs the file at `path` into flash from `flashAddress`, with a progress window titled
// "Downloading Firmware" over the file's length. Each segment's flash write covers exactly the
// bytes staged for it. Returns 0, 7, 8 or the loader's error.
int ProgramFileToFlash(BootLoader& loader, const std::string& path, std::uint32_t flashAddress);

// Reads `length` bytes of printer RAM from `address` into a new file at `path`. The file appears
// only when every byte came, and an existing file is never replaced. Returns 0, 7 (the file
// exists or cannot be written) or the loader's error.
int ReadRamToFile(BootLoader& loader, const std::string& path, std::uint32_t address,
                  std::uint32_t length);

}  // namespace tarvo::firmware

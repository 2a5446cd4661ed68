// The printer's boot ROM: getting its attention and handing it the boot loader.
#pragma once

#include <string>

#include "services/firmware/boot_link.h"

namespace tarvo::firmware {

inline constexpr int kBootRomSilent = 11;  // no DLE echo within 15000 ms
inline constexpr int kLoaderCannotOpen = 5;
inline constexpr int kLoaderLengthWrong = 6;  // file length is not its prefix + 4
inline constexpr int kLoaderNoDc1Echo = 12;
inline constexpr int kLoaderNoAnswer = 13;  // nothing within 6000 ms after the upload
inline constexpr int kLoaderTooSlow = 14;   // the upload took longer than 8000 ms
inline constexpr int kLoaderRefused = 15;   // answered with something other than EM

inline constexpr unsigned char kDle = 0x10;
inline constexpr unsigned char kDc1 = 0x11;
inline constexpr unsigned char kEm = 0x19;

// Sends DLE every 50 ms (after a purge) until the boot ROM echoes one, for at most 15000 ms.
// Returns 0 or 11.
int WaitForBootRom(BootLink& link);

// Uploads the loader file at `path`: DC1 handshake, the four-byte big-endian length prefix, the
// loader, its 16-bit sum (high byte first), then waits for EM. The file must be exactly its
// prefix + 4 bytes long. Returns 0, 5, 6, 8 (short read), 12, 13, 14 or 15.
int UploadLoader(BootLink& link, const std::string& path);

}  // namespace tarvo::firmware

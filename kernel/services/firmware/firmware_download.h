// A firmware download as a whole, over a BootLink: the files of the firmware directory, the
// checks made before anything is sent, the boot ROM and loader steps, the script, and the
// clean-up afterwards.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "services/firmware/boot_link.h"
#include "services/firmware/firmware_image.h"

namespace tarvo::firmware {

inline constexpr const char* kListFileName = "listfile.txt";
inline constexpr const char* kLoaderFileName = "flashldr.bin";
inline constexpr std::uint32_t kFlashBase = 0xFEE00000;

// The firmware directory from a drive text and a directory text. Linux has no drives: a
// nonempty drive is put in front of the directory as it is ("/mnt" + "/fw"); an empty result is
// the working directory. Null texts count as empty.
std::string FirmwareDirectory(const char* drive, const char* directory);

// `name` inside `directory`.
std::string PathIn(const std::string& directory, const std::string& name);

// Reads the image's name from the first line of the directory's listfile.txt. Returns 0, 5 (the
// list does not open) or 31.
int ReadImageName(const std::string& directory, std::string* name);

// Checks the image's checksum and reads its version texts. Returns 0, 5 or 34.
int CheckImage(const std::string& directory, const std::string& imageName, ImageVersions* versions);

// Deletes flashldr.bin, the image (when `imageName` is a plain name) and listfile.txt. True when
// listfile.txt, the last one, was deleted.
bool DeleteFirmwareFiles(const std::string& directory, const std::string& imageName);

// The text "printhello" writes for `number`.
std::string PrintHelloText(std::uint32_t number);

// Runs the download over `link`, which is at `speedCode` (or could not be opened: then the first
// step that talks to the printer fails). Nothing is sent until the loader, the list, its script
// and the image have been checked. `out` receives what "printhello" writes. On success the three
// files are deleted; on any error they stay. Returns 0 or the first error.
int RunDownload(BootLink& link, int speedCode, const std::string& directory,
                std::FILE* out = stdout);

}  // namespace tarvo::firmware

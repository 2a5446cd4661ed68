// Reading the bitmap files a graphic download names: uncompressed bitmap files ("BM", 40-byte
// information header, 1/4/8/16/24/32 bits per pixel) and raw monochrome device bitmaps (a 2-byte
// mark, a 24-byte record, the bits).
//
// Every size a file claims is checked against the file's real length and against
// kMaxImagePixels before anything is allocated for it.
#pragma once

#include <string>
#include <string_view>

#include "tarvo/base/rgb_image.h"

namespace tarvo {

// Reads the bitmap file at `path` into *out (replaced only on success).
// Returns 0, PCU_ERR_ARGUMENT (null out), PCU_ERR_FILE_OPEN (the file cannot be opened or is
// not a regular file), PCU_ERR_FILE_READ (the file ends before the data its headers promise, or
// a read fails), PCU_ERR_IMAGE_FORMAT (not a bitmap this reader takes), PCU_ERR_IMAGE_SIZE (more
// than kMaxImagePixels pixels) or PCU_ERR_NO_MEMORY. On failure *why (when not null) gets a
// sentence for the user.
int LoadBitmapFile(const std::string& path, RgbImage* out, std::string* why);

// The same reading over a whole file's bytes held in memory; the same codes except
// PCU_ERR_FILE_OPEN.
int ParseBitmap(std::string_view bytes, RgbImage* out, std::string* why);

}  // namespace tarvo

// Where a font entry keeps the byte ranges of a double-byte font (FontInfo.dbcsRanges): a flag
// byte, then up to six lead-byte ranges as their first and last bytes with their count, and the
// same for trail bytes. The font page writes them, the downloads read them.
#pragma once

#include <cstddef>

namespace tarvo {

inline constexpr std::size_t kDbcsFlag = 0;        // nonzero: the ranges are present
inline constexpr std::size_t kDbcsLeadFirst = 4;   // first bytes of the lead ranges
inline constexpr std::size_t kDbcsLeadLast = 10;   // last bytes of the lead ranges
inline constexpr std::size_t kDbcsLeadCount = 16;  // number of lead ranges
inline constexpr std::size_t kDbcsTrailFirst = 17;
inline constexpr std::size_t kDbcsTrailLast = 23;
inline constexpr std::size_t kDbcsTrailCount = 29;
inline constexpr int kMaxDbcsRanges = 6;  // of each kind

}  // namespace tarvo

// Copying text into a caller's buffer of a stated size: cut to fit and always terminated.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>

namespace tarvo {

// Copies at most size - 1 bytes of `text` into `out` and terminates it. `text` may overlap
// `out` (callers pass their own buffer as a default text). Nothing happens when `size` is 0.
inline void CopyBounded(std::string_view text, char* out, std::size_t size) {
    if (out == nullptr || size == 0)
        return;
    const std::size_t n = std::min(text.size(), size - 1);
    if (n > 0)
        std::memmove(out, text.data(), n);
    out[n] = '\0';
}

}  // namespace tarvo

// The size of one printer dot, chosen by the configuration record's emulation code. Fonts and
// graphics are sized in dots from millimetres with it.
#pragma once

#include <array>
#include <optional>

namespace tarvo {

// Millimetres per dot for emulation codes 0..4; none for any other code (a printer that
// reports something else cannot have a size converted for it).
inline std::optional<double> DotSizeMm(int emulation) {
    static constexpr std::array<double, 5> kDotSizeMm = {0.25, 0.125, 0.375, 0.0625, 0.08475};
    if (emulation < 0 || emulation >= static_cast<int>(kDotSizeMm.size()))
        return std::nullopt;
    return kDotSizeMm[static_cast<std::size_t>(emulation)];
}

}  // namespace tarvo

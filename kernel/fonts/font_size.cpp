#include "fonts/font_size.h"

#include <cmath>
#include <optional>

#include "tarvo/base/dot_size.h"

namespace tarvo::fonts {
namespace {

constexpr double kMmPerInch = 25.4;
constexpr double kInchesPerPoint = 0.013888889;

// Ceiling of mm / dotSize; none when not finite or above kMaxDots.
std::optional<int> Dots(double mm, double dotSize) {
    const double dots = std::ceil(mm / dotSize);
    if (!std::isfinite(dots) || dots < 0 || dots > kMaxDots)
        return std::nullopt;
    return static_cast<int>(dots);
}

}  // namespace

int ComputeCharSize(const FontInfo& entry, int emulation, CharSize* out) {
    const std::optional<double> dotSize = DotSizeMm(emulation);
    if (!dotSize)
        return PCU_ERR_ARGUMENT;
    std::optional<int> height;
    std::optional<int> width = 0;
    if (entry.sizeMode == PCU_SIZE_BY_POINTS) {
        height = Dots(entry.pointSize * kInchesPerPoint * kMmPerInch, *dotSize);
    } else {
        height = Dots(static_cast<double>(entry.height) * kMmPerInch, *dotSize);
        width = Dots(static_cast<double>(entry.width) * kMmPerInch, *dotSize);
    }
    if (!height || *height < 1 || !width)
        return PCU_ERR_ARGUMENT;
    *out = CharSize{*height, *width};
    return 0;
}

}  // namespace tarvo::fonts

#include "tarvo/base/image_ops.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tarvo {
namespace {

// For each destination index along an axis of `from` pixels resized to `to`: when shrinking,
// the destination index every source index lands on; when enlarging (or equal), the source
// index every destination index takes.
std::vector<int> AxisMap(int from, int to) {
    const bool shrink = to < from;
    const int n = shrink ? from : to;
    std::vector<int> map(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        map[static_cast<std::size_t>(i)] = shrink ? static_cast<int>(std::int64_t{i} * to / from)
                                                  : static_cast<int>(std::int64_t{i} * from / to);
    }
    return map;
}

RgbImage StretchRows(const RgbImage& src, int width) {
    if (width == src.width)
        return src;
    RgbImage dst;
    dst.width = width;
    dst.height = src.height;
    const bool shrink = width < src.width;
    dst.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(src.height),
                      shrink ? 0xFFFFFFu : 0u);
    const std::vector<int> map = AxisMap(src.width, width);
    for (int y = 0; y < src.height; ++y) {
        if (shrink) {
            for (int s = 0; s < src.width; ++s)
                dst.at(map[static_cast<std::size_t>(s)], y) &= src.at(s, y);
        } else {
            for (int i = 0; i < width; ++i)
                dst.at(i, y) = src.at(map[static_cast<std::size_t>(i)], y);
        }
    }
    return dst;
}

RgbImage StretchColumns(const RgbImage& src, int height) {
    if (height == src.height)
        return src;
    RgbImage dst;
    dst.width = src.width;
    dst.height = height;
    const bool shrink = height < src.height;
    dst.pixels.assign(static_cast<std::size_t>(src.width) * static_cast<std::size_t>(height),
                      shrink ? 0xFFFFFFu : 0u);
    const std::vector<int> map = AxisMap(src.height, height);
    // Whole rows at a time, so both images are walked in memory order.
    if (shrink) {
        for (int s = 0; s < src.height; ++s) {
            const int y = map[static_cast<std::size_t>(s)];
            for (int x = 0; x < src.width; ++x)
                dst.at(x, y) &= src.at(x, s);
        }
    } else {
        for (int i = 0; i < height; ++i) {
            const int s = map[static_cast<std::size_t>(i)];
            for (int x = 0; x < src.width; ++x)
                dst.at(x, i) = src.at(x, s);
        }
    }
    return dst;
}

}  // namespace

RgbImage Rotate(const RgbImage& source, int rotation) {
    if (rotation < 1 || rotation > 3)
        return source;
    const int w = source.width;
    const int h = source.height;
    RgbImage out;
    out.width = rotation == 2 ? w : h;
    out.height = rotation == 2 ? h : w;
    out.pixels.resize(source.pixels.size());
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = source.at(x, y);
            if (rotation == 1)
                out.at(h - 1 - y, x) = p;
            else if (rotation == 2)
                out.at(w - 1 - x, h - 1 - y) = p;
            else
                out.at(y, w - 1 - x) = p;
        }
    }
    return out;
}

RgbImage Stretch(const RgbImage& source, int width, int height) {
    if (width == source.width && height == source.height)
        return source;
    // The two axes commute (an AND along one axis and a repetition along the other give the same
    // pixels in either order), so the axis that shrinks goes first and the intermediate image
    // never grows beyond the larger of source and result.
    const std::int64_t rowsFirst = std::int64_t{width} * source.height;
    const std::int64_t columnsFirst = std::int64_t{source.width} * height;
    if (rowsFirst <= columnsFirst)
        return StretchColumns(StretchRows(source, width), height);
    return StretchRows(StretchColumns(source, height), width);
}

}  // namespace tarvo

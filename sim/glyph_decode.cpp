#include "glyph_decode.h"

#include <algorithm>
#include <charconv>

namespace tarvo::sim {
namespace {

constexpr int kRowsPerChar = 6;
constexpr unsigned char kFirstColumnChar = '@';  // no dot set
constexpr unsigned char kLastColumnChar = 0x7F;  // all six dots set

}  // namespace

void DotGrid::resize(int width) {
    width_ = width;
    dots_.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height_));
}

void DotGrid::clearColumn(int x) {
    const auto first = static_cast<std::size_t>(x) * static_cast<std::size_t>(height_);
    std::fill_n(dots_.begin() + static_cast<std::ptrdiff_t>(first), height_, false);
}

void DotGrid::set(int x, int y) {
    dots_[static_cast<std::size_t>(x) * static_cast<std::size_t>(height_) +
          static_cast<std::size_t>(y)] = true;
}

bool DotGrid::at(int x, int y) const {
    return dots_[static_cast<std::size_t>(x) * static_cast<std::size_t>(height_) +
                 static_cast<std::size_t>(y)];
}

std::vector<std::string> DotGrid::rows() const {
    std::vector<std::string> rows(static_cast<std::size_t>(height_),
                                  std::string(static_cast<std::size_t>(width_), '.'));
    for (int x = 0; x < width_; ++x) {
        for (int y = 0; y < height_; ++y) {
            if (at(x, y))
                rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = '#';
        }
    }
    return rows;
}

std::string DecodeColumn(std::string_view chars, std::size_t length, int x, DotGrid* grid) {
    if (chars.size() != length) {
        return "column " + std::to_string(x) + " has " + std::to_string(chars.size()) +
               " characters, not " + std::to_string(length);
    }
    // Checked whole before anything changes, so that a refused column leaves the grid alone.
    for (std::size_t i = 0; i < chars.size(); ++i) {
        const auto byte = static_cast<unsigned char>(chars[i]);
        if (byte < kFirstColumnChar || byte > kLastColumnChar)
            return "column " + std::to_string(x) + " holds a byte that is no column character";
        const int bits = byte - kFirstColumnChar;
        const int firstRow = static_cast<int>(i) * kRowsPerChar;
        for (int bit = 0; bit < kRowsPerChar; ++bit) {
            if ((bits & (1 << bit)) != 0 && firstRow + bit >= grid->height()) {
                return "column " + std::to_string(x) + " sets a dot below row " +
                       std::to_string(grid->height() - 1);
            }
        }
    }
    grid->clearColumn(x);
    for (std::size_t i = 0; i < chars.size(); ++i) {
        const int bits = static_cast<unsigned char>(chars[i]) - kFirstColumnChar;
        for (int bit = 0; bit < kRowsPerChar; ++bit) {
            if ((bits & (1 << bit)) != 0)
                grid->set(x, static_cast<int>(i) * kRowsPerChar + bit);
        }
    }
    return {};
}

std::optional<ColumnCommand> ParseColumnCommand(std::string_view arguments, int maxX) {
    const std::size_t comma = arguments.find(',');
    if (comma == std::string_view::npos)
        return std::nullopt;
    const std::optional<int> x = ParseBoundedNumber(arguments.substr(0, comma), 0, maxX);
    if (!x)
        return std::nullopt;
    return ColumnCommand{*x, arguments.substr(comma + 1)};
}

std::optional<int> ParseBoundedNumber(std::string_view text, int min, int max) {
    if (min >= 0 && !text.empty() && text.front() == '-')
        return std::nullopt;  // not even "-0" where no number is negative
    int number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || number < min ||
        number > max) {
        return std::nullopt;
    }
    return number;
}

}  // namespace tarvo::sim

// The dots of downloaded graphics and bitmap characters. Both arrive column by column, each
// column a run of characters '@' + bits that carry six rows apiece: row r of the column sets
// bit (r mod 6) of character r / 6.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo::sim {

// A 1-bit picture, stored column by column so that it can grow to the right as columns come.
class DotGrid {
  public:
    DotGrid() = default;
    explicit DotGrid(int height) : height_(height) {}
    DotGrid(int width, int height) : height_(height) { resize(width); }

    int width() const { return width_; }
    int height() const { return height_; }

    // Makes the picture `width` columns wide; new columns are blank.
    void resize(int width);
    // Blanks column x (0 <= x < width()).
    void clearColumn(int x);
    // Sets or reads the dot at column x, row y (both inside the picture).
    void set(int x, int y);
    bool at(int x, int y) const;

    // The picture as text: height() rows of width() characters, '#' printed, '.' blank.
    std::vector<std::string> rows() const;

    bool operator==(const DotGrid&) const = default;

  private:
    int width_ = 0;
    int height_ = 0;
    std::vector<bool> dots_;  // column after column, height_ dots each
};

// Characters a column of a graphic of `height` rows carries: one per six rows begun.
inline std::size_t GraphicColumnLength(int height) {
    return (static_cast<std::size_t>(height) + 5) / 6;
}

// Characters a column of a bitmap character carries in a cell of `height` rows: a new
// character begins after every sixth row, even after the last one, so a cell of 12 rows takes
// three characters, the last of them blank.
inline std::size_t GlyphColumnLength(int height) {
    return static_cast<std::size_t>(height) / 6 + 1;
}

// Decodes the characters of one column into column x of *grid (0 <= x < width()), replacing
// what the column held. A column must have exactly `length` characters, each '@' to DEL, and
// may set no dot below the picture's last row. Returns empty, or why the column is refused
// (and then *grid is unchanged).
std::string DecodeColumn(std::string_view chars, std::size_t length, int x, DotGrid* grid);

// The arguments of a column command "u<x>,<characters>".
struct ColumnCommand {
    int x = 0;
    std::string_view chars;  // points into the text given to ParseColumnCommand
};

// Parses "12,@AB" (the text after the 'u'); x is a decimal number 0..`maxX`. nullopt when
// malformed.
std::optional<ColumnCommand> ParseColumnCommand(std::string_view arguments, int maxX);

// A decimal number min..max ("-3", "007"), nothing else around it; nullopt otherwise.
std::optional<int> ParseBoundedNumber(std::string_view text, int min, int max);

}  // namespace tarvo::sim

// Bitmap fonts: a cell size, then each character with its widths and its columns of dots.
#include "download_builds.h"

namespace tarvo::sim {
namespace {

constexpr int kMaxCharacterCode = 65535;  // double-byte codes are lead x 256 + trail
constexpr int kBitsPerByte = 8;

std::string Unexpected(char letter) {
    return "\"" + std::string(1, letter) + "\" is no bitmap font command";
}

class BitmapFontBuild final : public ObjectBuild {
  public:
    std::string take(std::string_view command) override {
        const std::string_view arguments = command.substr(1);
        switch (command.front()) {
            case 'x':
            case 'y':
                return takeCellSize(command.front(), arguments);
            case 't':
                return takeCharacter(arguments);
            case 'Z':
                return takeZ(arguments);
            case 'u':
                return takeColumn(arguments);
            default:
                return Unexpected(command.front());
        }
    }

    std::string finish(std::uint32_t* size,
                       std::shared_ptr<const ObjectContent>* content) override {
        if (font_.cellHeight == 0)
            return "no cell height (y) came";
        if (std::string reason = checkZ(); !reason.empty())
            return reason;
        std::uint64_t bytes = 0;
        const auto columnBytes =
            static_cast<std::uint64_t>((font_.cellHeight + kBitsPerByte - 1) / kBitsPerByte);
        for (const auto& entry : font_.glyphs)
            bytes += static_cast<std::uint64_t>(entry.second.dots.width()) * columnBytes;
        if (bytes == 0)
            return "no character has a column of dots";
        *size = static_cast<std::uint32_t>(bytes);  // at most kMaxDots bytes
        *content = std::make_shared<const ObjectContent>(std::move(font_));
        return {};
    }

  private:
    std::string takeCellSize(char letter, std::string_view arguments) {
        if (!font_.glyphs.empty())
            return "the cell size (" + std::string(1, letter) + ") came after a character";
        const int min = letter == 'y' ? 1 : 0;
        const std::optional<int> value = ParseBoundedNumber(arguments, min, kMaxDimension);
        if (!value)
            return "\"" + std::string(1, letter) + "\" needs a number " + std::to_string(min) +
                   " to 65535";
        (letter == 'x' ? font_.maxWidth : font_.cellHeight) = *value;
        return {};
    }

    // "t<code>" or "t<code>,<A-width>".
    std::string takeCharacter(std::string_view arguments) {
        if (font_.cellHeight == 0)
            return "a character came before the cell height (y)";
        if (std::string reason = checkZ(); !reason.empty())
            return reason;
        const std::size_t comma = arguments.find(',');
        const std::optional<int> code =
            ParseBoundedNumber(arguments.substr(0, comma), 0, kMaxCharacterCode);
        std::optional<int> aWidth;
        if (comma != std::string_view::npos) {
            aWidth = ParseBoundedNumber(arguments.substr(comma + 1), -kMaxDimension, kMaxDimension);
        }
        if (!code || (comma != std::string_view::npos && !aWidth))
            return "a character needs a code 0 to 65535 and may have an A-width";
        if (const auto old = font_.glyphs.find(*code); old != font_.glyphs.end())
            dots_ -= Dots(old->second);  // sent again: the new one replaces it
        current_ = &(font_.glyphs[*code] = BitmapGlyph{aWidth, 0, DotGrid(font_.cellHeight)});
        currentCode_ = *code;
        hasZ_ = false;
        return {};
    }

    std::string takeZ(std::string_view arguments) {
        if (current_ == nullptr)
            return "a Z came before any character";
        const std::optional<int> z = ParseBoundedNumber(arguments, 0, kMaxDimension);
        if (!z)
            return "a Z needs a number 0 to 65535";
        current_->z = *z;
        hasZ_ = true;
        return {};
    }

    std::string takeColumn(std::string_view arguments) {
        if (current_ == nullptr || !hasZ_)
            return "a column came before its character's t and Z";
        const std::optional<ColumnCommand> column =
            ParseColumnCommand(arguments, kMaxDimension - 1);
        if (!column)
            return "a column command needs \"u<x>,<characters>\" with x 0 to 65534";
        DotGrid& dots = current_->dots;
        if (column->x >= dots.width()) {
            const std::int64_t added =
                static_cast<std::int64_t>(column->x + 1 - dots.width()) * dots.height();
            if (dots_ + added > kMaxDots)
                return "the font holds more dots than the simulator keeps";
            dots_ += added;
            dots.resize(column->x + 1);
        }
        std::string reason =
            DecodeColumn(column->chars, GlyphColumnLength(dots.height()), column->x, &dots);
        if (!reason.empty())
            return "character " + std::to_string(currentCode_) + ": " + reason;
        return {};
    }

    std::string checkZ() const {
        if (current_ != nullptr && !hasZ_)
            return "character " + std::to_string(currentCode_) + " has no Z";
        return {};
    }

    static std::int64_t Dots(const BitmapGlyph& glyph) {
        return static_cast<std::int64_t>(glyph.dots.width()) * glyph.dots.height();
    }

    BitmapFontContent font_;
    BitmapGlyph* current_ = nullptr;  // the character the columns belong to
    int currentCode_ = 0;
    bool hasZ_ = false;
    std::int64_t dots_ = 0;
};

}  // namespace

std::unique_ptr<ObjectBuild> MakeBitmapFontBuild() {
    return std::make_unique<BitmapFontBuild>();
}

}  // namespace tarvo::sim

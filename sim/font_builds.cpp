// Outline fonts (the font file in hex) and fonts sent as image lines.
#include <algorithm>
#include <charconv>
#include <optional>

#include "download_builds.h"

namespace tarvo::sim {
namespace {

// A lower-case hex digit's value; -1 for anything else (the host writes lower case only).
int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

class OutlineFontBuild final : public ObjectBuild {
  public:
    explicit OutlineFontBuild(std::uint32_t announced) : announced_(announced) {}

    std::string take(std::string_view command) override {
        if (command.front() != 'j')
            return "\"" + std::string(1, command.front()) + "\" is no outline font data command";
        const std::string_view hex = command.substr(1);
        if (hex.size() % 2 != 0)
            return "a data command holds an odd number of hex digits";
        if (bytes_.size() + hex.size() / 2 > announced_) {
            return "more data came than the " + std::to_string(announced_) + " bytes announced";
        }
        for (std::size_t i = 0; i < hex.size(); i += 2) {
            const int high = HexValue(hex[i]);
            const int low = HexValue(hex[i + 1]);
            if (high < 0 || low < 0)
                return "a data command holds a byte that is no lower-case hex digit";
            bytes_ += static_cast<char>(high * 16 + low);
        }
        return {};
    }

    std::string finish(std::uint32_t* size,
                       std::shared_ptr<const ObjectContent>* content) override {
        if (announced_ == 0)
            return "an empty font";
        if (bytes_.size() != announced_) {
            return std::to_string(bytes_.size()) + " of the " + std::to_string(announced_) +
                   " bytes announced came";
        }
        *size = announced_;
        *content = std::make_shared<const ObjectContent>(OutlineFontContent{std::move(bytes_)});
        return {};
    }

  private:
    std::uint32_t announced_;
    std::string bytes_;
};

// "&   12345,      28,    1100;": the image size is the first number.
std::optional<std::uint32_t> StatedImageSize(std::string_view line) {
    if (line.empty() || line.front() != '&')
        return std::nullopt;
    line.remove_prefix(std::min(line.find_first_not_of(' ', 1), line.size()));
    std::uint32_t size = 0;
    const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), size);
    const bool ended = end == line.data() + line.size() || *end == ',' || *end == ';';
    if (error != std::errc() || !ended || size == 0)
        return std::nullopt;
    return size;
}

class ImageFontBuild final : public ObjectBuild {
  public:
    // A message that begins another object or a deletion ends the font: the font loop sends
    // the next font's header at once and only one R after all of them.
    bool takesLine(std::string_view rest) const override { return !BeginsObjectCommand(rest); }

    std::string take(std::string_view line) override {
        kept_ += line.size();
        if (kept_ > kMaxKeptBytes)
            return "the image lines are larger than any printer's memory";
        lines_.emplace_back(line);
        return {};
    }

    std::string finish(std::uint32_t* size,
                       std::shared_ptr<const ObjectContent>* content) override {
        if (lines_.empty())
            return "no image lines came";
        *size = StatedImageSize(lines_.front()).value_or(static_cast<std::uint32_t>(kept_));
        *content = std::make_shared<const ObjectContent>(ImageFontContent{std::move(lines_)});
        return {};
    }

  private:
    std::vector<std::string> lines_;
    std::size_t kept_ = 0;
};

}  // namespace

std::unique_ptr<ObjectBuild> MakeOutlineFontBuild(std::uint32_t announcedBytes) {
    return std::make_unique<OutlineFontBuild>(announcedBytes);
}

std::unique_ptr<ObjectBuild> MakeImageFontBuild() {
    return std::make_unique<ImageFontBuild>();
}

}  // namespace tarvo::sim

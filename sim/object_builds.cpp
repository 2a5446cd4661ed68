// Graphics, and the formats and pages that are kept as the lines they came in.
#include <optional>

#include "download_builds.h"

namespace tarvo::sim {
namespace {

constexpr int kBitsPerByte = 8;

class GraphicBuild final : public ObjectBuild {
  public:
    std::string take(std::string_view command) override {
        const std::string_view arguments = command.substr(1);
        switch (command.front()) {
            case 'x':
                return takeSize(&width_, 'x', arguments);
            case 'y':
                return takeSize(&height_, 'y', arguments);
            case 'u':
                return takeColumn(arguments);
            default:
                return "\"" + std::string(1, command.front()) + "\" is no graphic command";
        }
    }

    std::string finish(std::uint32_t* size,
                       std::shared_ptr<const ObjectContent>* content) override {
        if (std::string reason = makeGrid(); !reason.empty())
            return reason;
        if (dots_->width() == 0 || dots_->height() == 0)
            return "a graphic without dots";
        const auto bits = static_cast<std::uint64_t>(dots_->width()) *
                          static_cast<std::uint64_t>(dots_->height());
        *size = static_cast<std::uint32_t>((bits + kBitsPerByte - 1) / kBitsPerByte);
        *content = std::make_shared<const ObjectContent>(GraphicContent{std::move(*dots_)});
        return {};
    }

  private:
    std::string takeSize(std::optional<int>* value, char letter, std::string_view arguments) {
        if (dots_)
            return "the size (" + std::string(1, letter) + ") came after the columns";
        *value = ParseBoundedNumber(arguments, 0, kMaxDimension);
        if (!*value)
            return "\"" + std::string(1, letter) + "\" needs a number 0 to 65535";
        return {};
    }

    // The picture, blank, once the size is known and within bounds.
    std::string makeGrid() {
        if (dots_)
            return {};
        if (!width_ || !height_)
            return "the size (x and y) did not come before the columns";
        if (static_cast<std::int64_t>(*width_) * *height_ > kMaxDots) {
            return "a graphic of " + std::to_string(*width_) + " x " + std::to_string(*height_) +
                   " dots is more than the simulator keeps";
        }
        dots_.emplace(*width_, *height_);
        return {};
    }

    std::string takeColumn(std::string_view arguments) {
        if (std::string reason = makeGrid(); !reason.empty())
            return reason;
        const std::optional<ColumnCommand> column = ParseColumnCommand(arguments, kMaxDimension);
        if (!column)
            return "a column command needs \"u<x>,<characters>\" with x 0 to 65535";
        if (column->x >= dots_->width()) {
            return "column " + std::to_string(column->x) + " is beyond the width of " +
                   std::to_string(dots_->width());
        }
        return DecodeColumn(column->chars, GraphicColumnLength(dots_->height()), column->x,
                            &*dots_);
    }

    std::optional<int> width_;
    std::optional<int> height_;
    std::optional<DotGrid> dots_;
};

class CommandLinesBuild final : public ObjectBuild {
  public:
    // Everything up to R belongs to the format or page, whatever letter a line begins with.
    bool takesLine(std::string_view rest) const override {
        static_cast<void>(rest);
        return true;
    }

    std::string take(std::string_view line) override {
        kept_ += line.size();
        if (kept_ > kMaxKeptBytes)
            return "the lines are larger than any printer's memory";
        lines_.emplace_back(line);
        return {};
    }

    std::string finish(std::uint32_t* size,
                       std::shared_ptr<const ObjectContent>* content) override {
        *size = static_cast<std::uint32_t>(kept_);
        *content = std::make_shared<const ObjectContent>(CommandLinesContent{std::move(lines_)});
        return {};
    }

  private:
    std::vector<std::string> lines_;
    std::size_t kept_ = 0;
};

}  // namespace

bool BeginsObjectCommand(std::string_view command) {
    return !command.empty() &&
           std::string_view("JFSTGEs").find(command.front()) != std::string_view::npos;
}

std::unique_ptr<ObjectBuild> MakeGraphicBuild() {
    return std::make_unique<GraphicBuild>();
}

std::unique_ptr<ObjectBuild> MakeCommandLinesBuild() {
    return std::make_unique<CommandLinesBuild>();
}

}  // namespace tarvo::sim

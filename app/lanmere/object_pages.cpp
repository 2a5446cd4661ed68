#include "lanmere/object_pages.h"

#include <cctype>

#include "tarvo/directory.h"

namespace tarvo::app::lanmere {

bool HasExtension(std::string_view path, std::string_view extension) {
    if (path.size() < extension.size())
        return false;
    const std::string_view tail = path.substr(path.size() - extension.size());
    for (std::size_t i = 0; i < tail.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(tail[i])) !=
            std::tolower(static_cast<unsigned char>(extension[i])))
            return false;
    }
    return true;
}

std::string FileTitle(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string_view::npos && dot > 0)
        name = name.substr(0, dot);
    return std::string(name);
}

std::string DescriptionProblem(std::string_view text) {
    if (text.size() >= PCU_DESCRIPTION_SIZE)
        return "The description takes at most 32 characters.";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == ';' || c == ',' || c == '<' || byte < 0x20 || byte == 0x7F)
            return "The description cannot hold \";\", \",\", \"<\" or control characters: the "
                   "printer would read them as the start of another command.";
    }
    return {};
}

DotImage MakeDotImage(int width, int height, const std::uint8_t* dots) {
    DotImage image;
    if (width <= 0 || height <= 0 || dots == nullptr)
        return image;
    image.width = width;
    image.height = height;
    image.dots.assign(dots, dots + static_cast<std::size_t>(width) * height);
    return image;
}

}  // namespace tarvo::app::lanmere

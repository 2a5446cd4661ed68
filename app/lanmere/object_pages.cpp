#include "lanmere/object_pages.h"

#include <cctype>

#include "lanmere/units.h"
#include "tarvo/directory.h"

namespace tarvo::app::lanmere {
namespace {

constexpr double kInchesPerCm = 0.39370078;

}  // namespace

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

std::optional<std::string> ChooseObjectFile(Prompt& prompt, const FileRequest& request) {
    const FileChoice choice = prompt.ChooseOpenFile(request);
    if (choice.outcome == FileChoice::Outcome::Failed) {
        prompt.Tell("Error", "Unable to access Open File dialog box", PromptIcon::Stop);
        return std::nullopt;
    }
    if (choice.outcome != FileChoice::Outcome::Chosen)
        return std::nullopt;
    return choice.path;
}

float TypedInches(const PageModel& page, std::string_view id, bool metric) {
    const double toInches = metric ? kInchesPerCm : 1.0;
    return static_cast<float>(ParseDecimal(page.field(id).text).value_or(0) * toInches);
}

std::string RequestProblem(const PageModel& page, std::string noLocation, std::string sizeProblem) {
    if (page.field("location").selected < 0)
        return noLocation;
    if (std::string problem = DescriptionProblem(page.field("description").text); !problem.empty())
        return problem;
    return sizeProblem;
}

}  // namespace tarvo::app::lanmere

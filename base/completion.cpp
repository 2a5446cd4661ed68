#include "tarvo/base/completion.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstring>

#include "tarvo/base/model_tables.h"

namespace tarvo {

std::string CompletionRequest::current() const {
    return index < words.size() ? words[index] : std::string();
}

std::string CompletionRequest::previous() const {
    return index >= 1 && index - 1 < words.size() ? words[index - 1] : std::string();
}

std::optional<CompletionRequest> ReadCompletionRequest(int argc, char** argv) {
    if (argc < 3 || std::strcmp(argv[1], "--complete") != 0)
        return std::nullopt;
    CompletionRequest request;
    const std::string_view index = argv[2];
    const auto [end, failed] = std::from_chars(index.begin(), index.end(), request.index);
    if (failed != std::errc() || end != index.end())
        return std::nullopt;
    int first = 3;
    if (first < argc && std::strcmp(argv[first], "--") == 0)
        ++first;
    request.words.assign(argv + first, argv + argc);
    return request;
}

std::vector<std::string> OptionsInText(std::string_view helpText) {
    std::vector<std::string> options;
    for (std::size_t at = helpText.find("--"); at != std::string_view::npos;
         at = helpText.find("--", at + 2)) {
        if (at > 0 && !std::isspace(static_cast<unsigned char>(helpText[at - 1])) &&
            helpText[at - 1] != '[' && helpText[at - 1] != '(' && helpText[at - 1] != '`')
            continue;
        std::size_t end = at + 2;
        while (end < helpText.size() &&
               (std::islower(static_cast<unsigned char>(helpText[end])) ||
                std::isdigit(static_cast<unsigned char>(helpText[end])) || helpText[end] == '-'))
            ++end;
        if (end == at + 2)
            continue;
        std::string option(helpText.substr(at, end - at));
        if (std::find(options.begin(), options.end(), option) == options.end())
            options.push_back(std::move(option));
    }
    return options;
}

std::vector<std::string> ModelNames() {
    std::vector<std::string> names;
    for (int model = 0; model < kModelCount; ++model) {
        const std::string_view name = ModelName(model);
        if (!name.empty())
            names.emplace_back(name);
    }
    return names;
}

void PrintCompletions(const std::vector<std::string>& candidates, std::string_view prefix) {
    for (const std::string& candidate : candidates) {
        if (candidate.starts_with(prefix))
            std::printf("%s\n", candidate.c_str());
    }
}

}  // namespace tarvo

#include "service_mode.h"

#include <array>

#include "object_contents.h"
#include "tarvo/base/model_capabilities.h"

namespace tarvo::sim {
namespace {

// Letters in the order G L M P S T U V, with what the printer measures for each.
constexpr std::string_view kLetters = "GLMPSTUV";
constexpr std::array<std::string_view, 8> kMeasured = {"12",        "340", "87", "25",
                                                       "512,498,3", "1",   "7",  "240"};

// Which of G L M P S T U V a model measures.
std::string_view LettersOf(int model) {
    switch (CapabilitiesOf(model).serviceItems) {
        case ServiceItems::kBasic:
            return "GMPT";
        case ServiceItems::kWithL:
            return "GLMPT";
        case ServiceItems::kAllButUV:
            return "GLMPST";
        case ServiceItems::kAll:
            return kLetters;
        case ServiceItems::kNone:
            break;
    }
    return "";
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (std::string_view line : lines) {
        while (line.ends_with(';'))
            line.remove_suffix(1);
        if (!text.empty())
            text += ';';
        text += line;
    }
    return text;
}

const char* PrintedName(ObjectKind kind) {
    return kind == ObjectKind::Page ? "page " : "format ";
}

}  // namespace

std::optional<std::string> ServiceAnswer(int model, char letter,
                                         const std::map<char, std::string>& overrides) {
    if (const auto it = overrides.find(letter); it != overrides.end()) {
        if (it->second.empty())
            return std::nullopt;
        return it->second;
    }
    const std::size_t at = kLetters.find(letter);
    if (at == std::string_view::npos || LettersOf(model).find(letter) == std::string_view::npos)
        return std::nullopt;
    return std::string(kMeasured[at]);
}

std::optional<LineSettings> FactoryLine(int model) {
    switch (CapabilitiesOf(model).factoryLine) {
        case tarvo::FactoryLine::kSevenBitsEven:
            return LineSettings{9600, 7, 'E', 1, Protocol::XonXoff};
        case tarvo::FactoryLine::kEightBitsNone:
            return LineSettings{9600, 8, 'N', 1, Protocol::XonXoff};
        case tarvo::FactoryLine::kKept:
            break;
    }
    return std::nullopt;
}

bool PrintBuiltInLabel(std::string_view command, PrinterState* state) {
    if (command != "h" && command != "Q" && command != "C" && command != "s")
        return false;
    state->printedLabels.push_back("test label " + std::string(command));
    return true;
}

void PrintStoredObject(ObjectKind kind, unsigned id, PrinterState* state, const std::string& with) {
    if (state->objects.of(kind).count(id) == 0)
        return;
    std::string text = PrintedName(kind) + std::to_string(id);
    if (!with.empty())
        text += " (" + with + ")";
    if (const auto* content = FindContent<CommandLinesContent>(state->downloads, kind, id))
        text += ": " + JoinLines(content->lines);
    state->printedLabels.push_back(std::move(text));
}

}  // namespace tarvo::sim

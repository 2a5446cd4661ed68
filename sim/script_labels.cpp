#include "script_labels.h"

#include <array>
#include <vector>

#include "script_files.h"
#include "tarvo/base/model_capabilities.h"

namespace tarvo::sim {
namespace {

constexpr int kHeadMm = 104;

constexpr std::array<std::string_view, 17> kLabelKeywords = {
    "CLL", "BT", "BF", "BM",    "BH",      "PP", "DIR",   "FONT", "FT",
    "PT",  "PB", "PF", "PRPOS", "PRIMAGE", "PM", "PRBOX", "NASC"};

constexpr std::array<std::string_view, 4> kScalableFonts = {
    "Swiss 721 BT", "Swiss 721 Bold BT", "Swiss 721 Bold Condensed BT", "Zapf Dingbats BT"};
constexpr std::array<std::string_view, 5> kClassicFonts = {"MS060BMN", "SW020BSN", "SW030RSN",
                                                           "SW050RSN", "SW120BSN"};

// The statements of a line: split at colons outside quotes, blanks around them dropped.
std::vector<std::string> Statements(std::string_view line) {
    std::vector<std::string> out(1);
    bool quoted = false;
    for (const char c : line) {
        if (c == '"')
            quoted = !quoted;
        if (c == ':' && !quoted) {
            out.emplace_back();
            continue;
        }
        out.back() += c;
    }
    for (std::string& s : out) {
        const std::size_t first = s.find_first_not_of(' ');
        const std::size_t last = s.find_last_not_of(' ');
        s = first == std::string::npos ? std::string() : s.substr(first, last - first + 1);
    }
    return out;
}

std::string_view KeywordOf(std::string_view statement) {
    return statement.substr(0, statement.find(' '));
}

// The quoted name after an image statement's keyword, or empty.
std::string_view QuotedArgument(std::string_view statement) {
    const std::size_t open = statement.find('"');
    const std::size_t close = statement.rfind('"');
    if (open == std::string_view::npos || close <= open)
        return {};
    return statement.substr(open + 1, close - open - 1);
}

bool ImageStored(const PrinterState& state, std::string_view name) {
    return state.images.count(std::string(name)) != 0;
}

void Print(ScriptContext& context) {
    std::string label = "label:";
    for (std::size_t i = 0; i < context.session.layout.size(); ++i)
        label += (i == 0 ? " " : " | ") + context.session.layout[i];
    context.state.printedLabels.push_back(std::move(label));
    context.session.layout.clear();
}

}  // namespace

int HeadDots(const ScriptContext& context) {
    if (context.identity.headDots > 0)
        return context.identity.headDots;
    return CapabilitiesOf(context.state.model).headDotsPerMm * kHeadMm;
}

std::optional<std::string> HeadFunctionTest(std::string_view rest, ScriptContext& context) {
    if (rest != "\"HEAD\",WHEAD$")
        return ErrorLine("FUNCTEST wants \"HEAD\",WHEAD$");
    context.session.headWidthVariable = std::to_string(HeadDots(context));
    return std::nullopt;
}

std::string FontsListing(const ScriptContext& context) {
    std::string listing;
    if (CapabilitiesOf(context.state.model).setupGeneration == 0) {
        for (std::string_view font : kClassicFonts)
            listing += AnswerLine(font);
        return listing;
    }
    for (std::string_view font : kScalableFonts)
        listing += AnswerLine(font);
    for (const auto& [key, size] : context.state.files) {
        const std::size_t point = key.rfind('.');
        if (point != std::string::npos && key.substr(point) == ".TTF")
            listing += AnswerLine(key.substr(key.find('/') + 1, point - key.find('/') - 1));
    }
    return listing;
}

bool IsLabelLine(std::string_view keyword) {
    for (std::string_view k : kLabelKeywords) {
        if (k == keyword)
            return true;
    }
    return false;
}

std::optional<std::string> TakeLabelLine(std::string_view canonical, ScriptContext& context) {
    for (const std::string& statement : Statements(canonical)) {
        const std::string_view keyword = KeywordOf(statement);
        if (keyword == "CLL") {
            context.session.layout.clear();
        } else if (keyword == "PF") {
            Print(context);
        } else if ((keyword == "PRIMAGE" || keyword == "PM") &&
                   !ImageStored(context.state, QuotedArgument(statement))) {
            return ErrorLine("no image \"" + std::string(QuotedArgument(statement)) + "\"");
        } else {
            context.session.layout.push_back(statement);
        }
    }
    return std::nullopt;
}

}  // namespace tarvo::sim

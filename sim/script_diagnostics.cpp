#include "script_diagnostics.h"

#include "script_labels.h"

#include <charconv>

#include "tarvo/base/model_capabilities.h"

namespace tarvo::sim {
namespace {

// Every dot of the simulated head measures close to this (ohms); the whole-head check allows
// 15 % either way.
constexpr int kMeanResistance = 1000;

// A healthy dot: within 3 % of the mean, varying from dot to dot.
int DotResistance(int dot) {
    return kMeanResistance + (dot * 7) % 61 - 30;
}

int BadDotResistance(const ScriptContext& context) {
    return context.faults != nullptr ? context.faults->badDotResistance : 0;
}

std::optional<int> BadDot(const ScriptContext& context) {
    if (context.faults == nullptr || context.faults->badDot < 0)
        return std::nullopt;
    return context.faults->badDot;
}

std::optional<int> WholeNumber(std::string_view text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::string Head(std::string_view argument, const ScriptContext& context) {
    const auto n = WholeNumber(argument);
    const int dots = HeadDots(context);
    const auto bad = BadDot(context);
    if (n == -1) {
        return AnswerLine(bad ? "DOT " + std::to_string(*bad) + " OUT OF TOLERANCE"
                              : std::string("PRINTHEAD OK"));
    }
    if (n == -7)
        return AnswerLine(std::to_string(kMeanResistance));
    if (!n || *n < 0 || *n >= dots)
        return ErrorLine("HEAD wants -1, -7 or a dot from 0 to " + std::to_string(dots - 1));
    return AnswerLine(std::to_string(bad == n ? BadDotResistance(context) : DotResistance(*n)));
}

// FUNCTEST$("NAME"): the test's verdict. Generation 0 names its cards CARD1 and CARD2; the
// others test their one card as CARD.
std::string FunctionTest(std::string_view name, const ScriptContext& context) {
    const bool oldest = CapabilitiesOf(context.state.model).setupGeneration == 0;
    const bool known = name == "HEAD" || name == "RAM" || name == "KERNEL" || name == "ROM1.1" ||
                       name == "ROM2.1" ||
                       (oldest ? name == "CARD1" || name == "CARD2" : name == "CARD");
    if (!known)
        return ErrorLine("no function test \"" + std::string(name) + "\"");
    if (name == "HEAD" && BadDot(context))
        return AnswerLine("HEAD FAILED");
    return AnswerLine(std::string(name) + " OK");
}

}  // namespace

std::optional<std::string> PrintDiagnostics(std::string_view what, const ScriptContext& context) {
    constexpr std::string_view kFuncTest = "FUNCTEST$(\"";
    constexpr std::string_view kHead = "HEAD(";
    if (what == "PRSTAT") {
        const int status = context.faults != nullptr ? context.faults->printerStatus : 0;
        return AnswerLine(std::to_string(status));
    }
    if (what.starts_with(kFuncTest) && what.ends_with("\")"))
        return FunctionTest(what.substr(kFuncTest.size(), what.size() - kFuncTest.size() - 2),
                            context);
    if (what.starts_with(kHead) && what.ends_with(")"))
        return Head(what.substr(kHead.size(), what.size() - kHead.size() - 1), context);
    return std::nullopt;
}

std::optional<std::string> TestFeed(ScriptContext& context) {
    context.state.printedLabels.push_back("test feed");
    return std::nullopt;
}

}  // namespace tarvo::sim

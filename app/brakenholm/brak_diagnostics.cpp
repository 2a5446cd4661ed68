#include "brakenholm/brak_diagnostics.h"

#include <array>
#include <charconv>
#include <cmath>

#include "brakenholm/brak_host.h"
#include "brakenholm/brak_text.h"
#include "tarvo/base/model_tables.h"

namespace tarvo::app {
namespace {

constexpr std::uint16_t kFuncTestWaitMs = 500;
constexpr std::string_view kHeadOk = "PRINTHEAD OK";
constexpr std::string_view kToleranceError = "DOT TOLERANCE ERR";
constexpr std::string_view kMeanQuery = "PRINT HEAD(-7)";
constexpr std::string_view kDotCountQuery = "PRINT SYSVAR(22)";
constexpr int kOldestGeneration = 0;
constexpr int kOldestStatusBits = 4;

constexpr std::array<std::string_view, 6> kStatusBits = {
    "Printhead lifted",           "Label not removed",
    "Printer out of paper",       "Printer out of transfer ribbon",
    "Printhead voltage too high", "Printer is feeding"};

DiagResult Refusal(std::string text, DiagInput input, std::string resetTo) {
    DiagResult r;
    r.status = OpStatus::Refused;
    r.text = std::move(text);
    r.badInput = input;
    r.resetTo = std::move(resetTo);
    return r;
}

// The reply as a result: its text, NoAnswer for silence, Failed for the port.
DiagResult FromReply(const QueryReply& reply) {
    DiagResult r;
    if (!reply.ok()) {
        r.status = OpStatus::Failed;
        r.text = DescribeTx(reply);
        return r;
    }
    r.text = std::string(StripLineEnds(reply.text));
    if (r.text.empty()) {
        r.status = OpStatus::NoAnswer;
        r.text = kNoAnswer;
    }
    return r;
}

// The number a reply starts with (blanks before it allowed); nullopt for none.
template <typename Number>
std::optional<Number> LeadingNumber(std::string_view text) {
    text = StripLeading(StripLineEnds(text), " \t");
    Number value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end == text.data())
        return std::nullopt;
    return value;
}

// `text` as a whole number from `low` to `high` and nothing else; nullopt otherwise.
std::optional<int> InRange(std::string_view text, int low, int high) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

std::string Quoted(std::string_view what) {
    return "FUNCTEST$(\"" + std::string(what) + "\")";
}

// A reply that must be a number: the number, or the result to show instead.
struct NumberReply {
    std::optional<double> number;
    DiagResult shown;
};

NumberReply AskNumber(CBrakPrinter& printer, std::string_view line) {
    NumberReply n;
    n.shown = FromReply(printer.QueryLine(line));
    if (n.shown.status != OpStatus::Done)
        return n;
    n.number = LeadingNumber<double>(n.shown.text);
    if (!n.number) {
        n.shown.status = OpStatus::NoAnswer;
        n.shown.text = "No usable answer: " + n.shown.text;
    }
    return n;
}

std::string Figure(double value) {
    char text[32];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
    return ec == std::errc() ? std::string(text, end) : std::string("?");
}

}  // namespace

std::string_view IndicatorName(Indicator indicator) {
    switch (indicator) {
        case Indicator::Green:
            return "GREEN";
        case Indicator::Red:
            return "RED";
        case Indicator::White:
            break;
    }
    return "WHITE";
}

std::string_view FuncTestName(FuncTest test) {
    switch (test) {
        case FuncTest::Card:
            return "CARD";
        case FuncTest::Head:
            return "HEAD";
        case FuncTest::Ram:
            return "RAM";
        case FuncTest::Kernel:
            return "KERNEL";
        case FuncTest::Rom:
            break;
    }
    return "ROM";
}

FuncTestLine BuildFuncTestLine(FuncTest test, int generation, const FuncTestInput& input) {
    FuncTestLine out;
    if (test == FuncTest::Card && generation == kOldestGeneration) {
        const auto card = InRange(input.card, 1, 2);
        if (!card)
            out.refusal = Refusal("Please enter card number 1 or 2", DiagInput::Card, "1");
        else
            out.line = "? " + Quoted("CARD" + std::to_string(*card));
        return out;
    }
    if (test == FuncTest::Rom) {
        const auto rom = InRange(input.rom, 1, 2);
        if (!rom) {
            out.refusal = Refusal("Please enter ROM number 1 or 2", DiagInput::Rom, "1");
        } else if (!InRange(input.simm, 0, 6)) {
            out.refusal =
                Refusal("Please enter a SIMM socket value from 0 to 6", DiagInput::Simm, "0");
        } else {
            out.line = "PRINT " + Quoted("ROM" + std::to_string(*rom) + ".1");
        }
        return out;
    }
    out.line = "PRINT " + Quoted(FuncTestName(test));
    return out;
}

DiagResult RunFuncTest(CBrakPrinter& printer, FuncTest test, const FuncTestInput& input) {
    const FuncTestLine line = BuildFuncTestLine(test, printer.SetupGeneration(), input);
    if (line.refusal)
        return *line.refusal;
    return FromReply(printer.QueryLineAfter(line.line, kFuncTestWaitMs));
}

std::uint16_t WholeHeadWaitMs(int model, int generation) {
    switch (generation) {
        case 0:
            return 3700;
        case 1:
            // The one generation-1 model named by its text, not by an ability it shares.
            return tarvo::ModelName(model) == "880" ? 1200 : 0;
        default:
            return 1800;
    }
}

DiagResult CheckWholeHead(CBrakPrinter& printer) {
    const std::uint16_t wait = WholeHeadWaitMs(printer.Model(), printer.SetupGeneration());
    DiagResult r = FromReply(printer.QueryLineAfter("PRINT HEAD(-1)", wait));
    if (r.status != OpStatus::Done)
        return r;
    if (StripTrailing(r.text, " ") == kHeadOk) {
        r.indicator = Indicator::Green;
        r.text = kHeadOk;
    } else {
        r.indicator = Indicator::Red;
        r.text = kToleranceError;
    }
    return r;
}

DiagResult ReadMeanResistance(CBrakPrinter& printer) {
    return FromReply(printer.QueryLine(kMeanQuery));
}

Indicator DotIndicator(double mean, double value) {
    const double tolerance = std::trunc(mean * 15.0 / 100.0);
    return value >= mean - tolerance && value <= mean + tolerance ? Indicator::Green
                                                                  : Indicator::Red;
}

DiagResult CheckDot(CBrakPrinter& printer, std::string_view dotText) {
    const NumberReply count = AskNumber(printer, kDotCountQuery);
    if (count.shown.status == OpStatus::Failed)
        return count.shown;
    const int dots = count.number ? static_cast<int>(std::max(0.0, *count.number)) : 0;
    if (dots <= 0) {
        return Refusal(
            "The printer did not say how many dots its print head has, so no dot can be "
            "checked.",
            DiagInput::Dot, "0");
    }
    const auto dot = InRange(dotText, 0, dots - 1);
    if (!dot) {
        return Refusal("Please enter a dot value from 0 to " + std::to_string(dots - 1),
                       DiagInput::Dot, "0");
    }
    const NumberReply mean = AskNumber(printer, kMeanQuery);
    if (!mean.number)
        return mean.shown;
    const NumberReply value = AskNumber(printer, "PRINT HEAD(" + std::to_string(*dot) + ")");
    if (!value.number)
        return value.shown;
    DiagResult r;
    r.indicator = DotIndicator(*mean.number, *value.number);
    r.text = "dot " + std::to_string(*dot) + ": " + Figure(*value.number) + " (mean " +
             Figure(*mean.number) + ", tolerance " +
             Figure(std::trunc(*mean.number * 15.0 / 100.0)) + ")";
    return r;
}

std::vector<std::string> StatusTexts(long long value, int generation) {
    if (value == 0)
        return {"Printhead OK"};
    const int bits =
        generation == kOldestGeneration ? kOldestStatusBits : static_cast<int>(kStatusBits.size());
    std::vector<std::string> texts;
    for (int bit = 0; bit < bits; ++bit) {
        if ((value & (1LL << bit)) != 0)
            texts.emplace_back(kStatusBits[static_cast<std::size_t>(bit)]);
    }
    const long long known = (1LL << bits) - 1;
    if ((value & ~known) != 0)
        texts.push_back("Unknown status bits " + std::to_string(value & ~known));
    return texts;
}

StatusRead ReadPrinterStatus(CBrakPrinter& printer) {
    StatusRead s;
    const DiagResult reply = FromReply(printer.QueryLine("PRINT PRSTAT"));
    s.status = reply.status;
    if (reply.status != OpStatus::Done) {
        s.texts = {reply.text};
        return s;
    }
    s.value = LeadingNumber<long long>(reply.text);
    if (!s.value || *s.value < 0) {
        s.status = OpStatus::NoAnswer;
        s.value.reset();
        s.texts = {std::string(kNoAnswer)};
        return s;
    }
    s.texts = StatusTexts(*s.value, printer.SetupGeneration());
    return s;
}

OpResult TestFeed(CBrakPrinter& printer) {
    const TxResult sent = printer.SendLine("TESTFEED", true);
    if (!sent.ok())
        return {OpStatus::Failed, std::nullopt, DescribeTx(sent)};
    return {};
}

}  // namespace tarvo::app

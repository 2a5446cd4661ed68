// The Brakenholm printer's own diagnostics: its function tests, the print-head checks (whole
// head, mean resistance, one dot), its status bits and a test feed.
//
// A printer that stays silent is never taken for a good one: every check then says "No answer"
// and leaves its indicator WHITE (not tested). Inputs out of range are refused before anything
// is sent.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "brakenholm/brak_printer.h"

namespace tarvo::app {

// The indicator of a print-head check.
enum class Indicator { White, Green, Red };  // not tested, pass, fail

// "WHITE", "GREEN", "RED".
std::string_view IndicatorName(Indicator indicator);

// What a check shows when the printer did not answer.
inline constexpr std::string_view kNoAnswer = "No answer";
// The caption of the input messages.
inline constexpr std::string_view kDiagInputCaption = "Tarvo Diagnostics";

// The input field a refusal names, so that the dialog can reset it.
enum class DiagInput { None, Card, Rom, Simm, Dot };

struct DiagResult {
    // Done (the printer answered), NoAnswer, Refused (the input; nothing sent) or Failed (the
    // port).
    OpStatus status = OpStatus::Done;
    // The reply without its line ends; kNoAnswer; the refusal's message; or the port failure.
    std::string text;
    Indicator indicator = Indicator::White;
    DiagInput badInput = DiagInput::None;  // for Refused
    std::string resetTo;                   // the value the refused field goes back to
};

enum class FuncTest { Card, Head, Ram, Kernel, Rom };

// The texts of the function-test fields as the operator typed them.
struct FuncTestInput {
    std::string card = "1";  // card 1 or 2 (generation 0 only)
    std::string rom = "1";   // ROM 1 or 2
    std::string simm = "0";  // SIMM socket 0..6
};

// "CARD", "HEAD", "RAM", "KERNEL", "ROM".
std::string_view FuncTestName(FuncTest test);

// The line that runs `test` on a printer of setup generation `generation`: "PRINT
// FUNCTEST$(\"HEAD\")", or "? FUNCTEST$(\"CARD1\")" on generation 0. The refusal instead when an
// input is out of range ("Please enter card number 1 or 2" and so on).
struct FuncTestLine {
    std::string line;
    std::optional<DiagResult> refusal;
};
FuncTestLine BuildFuncTestLine(FuncTest test, int generation, const FuncTestInput& input);

// Runs `test` (500 ms before the reply is read) and returns the reply as the result.
DiagResult RunFuncTest(CBrakPrinter& printer, FuncTest test, const FuncTestInput& input);

// How long the whole-head check waits before reading: 3700 ms on generation 0, 1200 ms on the
// generation-1 "880" and none on the other generation-1 models, 1800 ms on generations 2 and 3.
std::uint16_t WholeHeadWaitMs(int model, int generation);

// "PRINT HEAD(-1)": GREEN "PRINTHEAD OK", RED "DOT TOLERANCE ERR" for any other answer, WHITE
// kNoAnswer for none.
DiagResult CheckWholeHead(CBrakPrinter& printer);

// "PRINT HEAD(-7)": the answer as it came, or kNoAnswer.
DiagResult ReadMeanResistance(CBrakPrinter& printer);

// The indicator of a dot measuring `value` on a head whose mean is `mean`: GREEN within
// trunc(mean x 0.15) of the mean, else RED.
Indicator DotIndicator(double mean, double value);

// Checks dot `dotText`: the dot count is asked afresh (PRINT SYSVAR(22)); a dot that is not a
// whole number from 0 to count - 1 is refused ("Please enter a dot value from 0 to N", reset to
// "0"), as is every dot when the count is 0 or unknown; nothing else is sent then. Otherwise
// the mean (PRINT HEAD(-7)) and the dot (PRINT HEAD(n)) are read and judged by DotIndicator;
// text holds "dot n: v (mean m, tolerance t)". Silence on either is WHITE kNoAnswer.
DiagResult CheckDot(CBrakPrinter& printer, std::string_view dotText);

// The texts of status `value` ("PRINT PRSTAT"): "Printhead OK" for 0, else the text of every
// set bit in bit order (bits 0..3 only on generation 0); bits without a text are named as such.
std::vector<std::string> StatusTexts(long long value, int generation);

struct StatusRead {
    OpStatus status = OpStatus::Done;  // Done, NoAnswer or Failed
    std::optional<long long> value;    // when the printer answered a number
    std::vector<std::string> texts;    // StatusTexts, or kNoAnswer, or what went wrong
};

// "PRINT PRSTAT" and its texts. Silence, or an answer that is not a number, is NoAnswer with
// the text kNoAnswer (never "Printhead OK").
StatusRead ReadPrinterStatus(CBrakPrinter& printer);

// Sends "TESTFEED" (after the verbosity switch, so that no confirmation is left on the line).
OpResult TestFeed(CBrakPrinter& printer);

}  // namespace tarvo::app

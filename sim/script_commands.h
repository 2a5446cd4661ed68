// The Tallyscript lines a simulated Brakenholm printer understands, and its answers.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "printer_engine.h"
#include "printer_state.h"
#include "script_test_label.h"
#include "setup_tree.h"

namespace tarvo::sim {

// What the interpreter keeps while the printer runs and forgets when it is switched off.
struct ScriptSession {
    std::string dateFormat = "YY/MM/DD";   // FORMAT DATE$, used by PRINT DATE$("F")
    std::optional<SetupValues> readSetup;  // what "setup r" read, in force after "setup w"
    std::string currentDevice;             // CHDIR; empty: the model's main device
    // The version text of the last firmware file received; it runs after REBOOT.
    std::string pendingFirmware;
    std::string commandMode;          // INPUT ON: "Swiftlane"; empty: Tallyscript
    bool applicationRunning = false;  // a resident program has the line: nothing answers
    TestLabelSession testLabels;  // stored program lines and layouts
    // The label being composed (CLL clears it, PF prints it) and the interpreter's WHEAD$.
    std::vector<std::string> layout;
    std::string headWidthVariable;
};

// Everything one line may read or change. A SETUP line for the serial settings changes `line`;
// the caller puts the printer on it after the answer.
struct ScriptContext {
    PrinterState& state;
    LineSettings& line;
    const Identity& identity;
    ScriptSession& session;
    bool clockBroken = false;        // PRINT DATE$ and PRINT TIME$ answer "Hardware error"
    std::string_view refusedKill;    // "c:/NAME": a file whose KILL the printer refuses
    const Faults* faults = nullptr;  // the diagnostics' faults (status, a bad dot)
};

// A line as the interpreter reads it: keywords in capitals, runs of blanks as one blank and
// none at either end, quoted text ("c:") kept exactly.
std::string CanonicalScriptLine(std::string_view line);

// The bytes the printer sends back for one line (line end removed, any leading <DC1> already
// taken off), CR LF included; nullopt when it answers nothing, as for lines it does not know.
// A known command with a bad argument is answered "Error: " and the reason, and changes
// nothing.
std::optional<std::string> AnswerScriptLine(std::string_view line, ScriptContext& context);

// The commands of the printer's shell, reached with RUN "command (closing quote optional).
// Every line answers: the command's output and "Ok", or its complaint.
std::string RunScriptShell(std::string_view command, ScriptContext& context);

// Whether `text` begins with `prefix`.
bool StartsWith(std::string_view text, std::string_view prefix);

// `text` as one quoted argument: "..." with nothing after the closing quote and no quote inside;
// the text between the quotes, or nullopt.
std::optional<std::string_view> Quoted(std::string_view text);

// "text" CR LF, and "Error: reason" CR LF.
std::string AnswerLine(std::string_view text);
std::string ErrorLine(std::string_view reason);

}  // namespace tarvo::sim

// Test-label programs on a simulated Brakenholm printer: numbered program lines kept until NEW,
// RUN working out their string assignments, and stored layouts (KILL, LAYOUT INPUT ... LAYOUT
// END, FORMAT INPUT, LAYOUT RUN with its field values). What a run prints is recorded among
// the printed labels, so that a test can read the values a label carried.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo::sim {

struct ScriptContext;

// What the interpreter keeps of programs and layouts while the printer runs.
struct TestLabelSession {
    std::map<int, std::string> program;                       // line number -> statement
    std::map<std::string, std::string> variables;             // NAME$ -> text, after RUN
    std::map<std::string, std::vector<std::string>> layouts;  // name -> statements
    std::optional<std::string> layoutInput;                   // being read until LAYOUT END
    std::vector<std::string> layoutLines;
    std::optional<std::string> layoutRun;  // run, waiting for its field values
    std::string inputStart = "<";          // FORMAT INPUT: start, end and field separator
    std::string inputEnd = ">";
    std::string inputSeparator = ";";
};

struct TestLabelAnswer {
    bool handled = false;              // the line was a program or layout line
    std::optional<std::string> reply;  // what the printer says to it (mostly nothing)
};

// Takes `line` (`canonical` as CanonicalScriptLine gives it) when it belongs to a program or a
// layout: a numbered line, NEW, RUN, KILL of a layout name, LAYOUT INPUT and the layout's
// statements, FORMAT INPUT, LAYOUT RUN and the field values that follow it (taken as sent).
TestLabelAnswer AnswerTestLabelLine(std::string_view line, std::string_view canonical,
                                    ScriptContext& context);

}  // namespace tarvo::sim

// What a simulated Lanmere printer does in its test-and-service mode (<ESC>T ... R) and when it
// prints: the numbers it measures, its factory line, and the labels it would print, recorded
// as text for tests to read.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "printer_state.h"
#include "tarvo/sim/printer_sim.h"

namespace tarvo::sim {

// The answer to item letter `letter` (G L M P S T U V) on `model`: `overrides`' text when it
// names the letter (empty: no answer), else the model's own number ("a,b,c" for S) when the
// model measures the item, else none.
std::optional<std::string> ServiceAnswer(int model, char letter,
                                         const std::map<char, std::string>& overrides);

// The line a reset ("D" in the mode) moves `model` to; none for models whose reset keeps the
// line.
std::optional<LineSettings> FactoryLine(int model);

// Records one of the built-in test labels ("h", "Q", "C" or "s") as printed; false for another
// command.
bool PrintBuiltInLabel(std::string_view command, PrinterState* state);

// Records stored format or page `id` as printed: "format 3: <its field lines, ';' between>"
// ("format 3" for one stored without known content); with the print's data `with` (its
// quantity and variable fields) "format 3 (2 x, 42=0420): ...". Nothing for an object not
// stored.
void PrintStoredObject(ObjectKind kind, unsigned id, PrinterState* state,
                       const std::string& with = {});

}  // namespace tarvo::sim

#include "script_test_label.h"

#include <algorithm>
#include <cctype>

#include "script_commands.h"

namespace tarvo::sim {
namespace {

// The text of a quoted argument with nothing after it ("NAME"), else nullopt.
std::optional<std::string> QuotedName(std::string_view text) {
    const auto quoted = Quoted(text);
    return quoted ? std::optional<std::string>(*quoted) : std::nullopt;
}

// A layout's name: no device, no extension (those are files, KILL's other meaning).
bool IsLayoutName(std::string_view name) {
    return !name.empty() && name.find_first_of(":./") == std::string_view::npos;
}

// A file of that name on any device: KILL then deletes the file, as it always did.
bool IsStoredFile(const std::string& name, const ScriptContext& context) {
    for (const auto& [path, size] : context.state.files) {
        if (path.size() > name.size() && path.ends_with("/" + name))
            return true;
    }
    return false;
}

bool IsVariable(std::string_view name) {
    if (name.size() < 2 || name.back() != '$' ||
        !std::isalpha(static_cast<unsigned char>(name.front())))
        return false;
    for (char c : name.substr(0, name.size() - 1)) {
        if (!std::isalnum(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

// `"text"` and `NAME$` terms joined by '+'; nullopt for anything else.
std::optional<std::string> Evaluate(std::string_view expression,
                                    const std::map<std::string, std::string>& variables) {
    std::string value;
    while (!expression.empty()) {
        if (expression.front() == '"') {
            const std::size_t close = expression.find('"', 1);
            if (close == std::string_view::npos)
                return std::nullopt;
            value += expression.substr(1, close - 1);
            expression.remove_prefix(close + 1);
        } else {
            const std::size_t plus = std::min(expression.find('+'), expression.size());
            const auto found = variables.find(std::string(expression.substr(0, plus)));
            if (found == variables.end())
                return std::nullopt;
            value += found->second;
            expression.remove_prefix(plus);
        }
        if (!expression.empty()) {
            if (expression.front() != '+')
                return std::nullopt;
            expression.remove_prefix(1);
        }
    }
    return value;
}

// Runs the stored program's string assignments in line order; a program that reaches
// PRINTFEED prints a label, recorded with every variable it assigned.
void RunProgram(ScriptContext& context) {
    TestLabelSession& labels = context.session.testLabels;
    labels.variables.clear();
    std::string assigned;
    bool printed = false;
    for (const auto& [number, statement] : labels.program) {
        if (statement == "PRINTFEED") {
            printed = true;
            break;
        }
        const std::size_t equals = statement.find('=');
        if (equals == std::string::npos || !IsVariable(statement.substr(0, equals)))
            continue;
        const std::string name = statement.substr(0, equals);
        if (const auto value = Evaluate(statement.substr(equals + 1), labels.variables)) {
            labels.variables[name] = *value;
            assigned += (assigned.empty() ? "" : "; ") + name + "=\"" + *value + "\"";
        }
    }
    if (printed)
        context.state.printedLabels.push_back("program: " + assigned);
}

// "10 NAME$=..." stores line 10; "10" alone deletes it.
TestLabelAnswer StoreProgramLine(std::string_view canonical, ScriptContext& context) {
    const std::size_t digits = canonical.find_first_not_of("0123456789");
    const std::string_view number = canonical.substr(0, digits);
    if (number.size() > 5)
        return {true, ErrorLine("line number too large")};
    std::string_view statement =
        digits == std::string_view::npos ? std::string_view() : canonical.substr(digits);
    if (StartsWith(statement, " "))
        statement.remove_prefix(1);
    auto& program = context.session.testLabels.program;
    if (statement.empty())
        program.erase(std::stoi(std::string(number)));
    else
        program[std::stoi(std::string(number))] = std::string(statement);
    return {true, std::nullopt};
}

// FORMAT INPUT "<",">",";"
TestLabelAnswer SetInputFormat(std::string_view arguments, TestLabelSession& labels) {
    std::vector<std::string> parts;
    while (!arguments.empty()) {
        const std::size_t comma = std::min(arguments.find("\",\""), arguments.size());
        const std::size_t end = comma == arguments.size() ? comma : comma + 1;
        const auto part = QuotedName(arguments.substr(0, end));
        if (!part || part->size() != 1)
            return {true, ErrorLine("FORMAT INPUT wants three quoted characters")};
        parts.push_back(*part);
        arguments.remove_prefix(std::min(end + 1, arguments.size()));
    }
    if (parts.size() != 3)
        return {true, ErrorLine("FORMAT INPUT wants three quoted characters")};
    labels.inputStart = parts[0];
    labels.inputEnd = parts[1];
    labels.inputSeparator = parts[2];
    return {true, std::nullopt};
}

// The field values of a layout run: start character, fields each ending in the separator,
// end character.
TestLabelAnswer FillLayout(std::string_view line, ScriptContext& context) {
    TestLabelSession& labels = context.session.testLabels;
    std::string_view fields = line.substr(labels.inputStart.size());
    const std::size_t end = fields.find(labels.inputEnd);
    if (end != std::string_view::npos)
        fields = fields.substr(0, end);
    context.state.printedLabels.push_back("layout " + *labels.layoutRun + ": " +
                                          std::string(fields));
    labels.layoutRun.reset();
    return {true, std::nullopt};
}

TestLabelAnswer LayoutCommand(std::string_view rest, ScriptContext& context) {
    TestLabelSession& labels = context.session.testLabels;
    if (StartsWith(rest, "INPUT ")) {
        const auto name = QuotedName(rest.substr(6));
        if (!name || !IsLayoutName(*name))
            return {true, ErrorLine("LAYOUT INPUT wants a quoted layout name")};
        labels.layoutInput = *name;
        labels.layoutLines.clear();
        return {true, std::nullopt};
    }
    if (StartsWith(rest, "RUN ")) {
        const auto name = QuotedName(rest.substr(4));
        if (!name || labels.layouts.count(*name) == 0)
            return {true, ErrorLine("no layout " + std::string(rest.substr(4)))};
        labels.layoutRun = *name;
        return {true, std::nullopt};
    }
    return {};
}

}  // namespace

TestLabelAnswer AnswerTestLabelLine(std::string_view line, std::string_view canonical,
                                    ScriptContext& context) {
    TestLabelSession& labels = context.session.testLabels;
    if (labels.layoutInput) {
        if (canonical == "LAYOUT END") {
            labels.layouts[*labels.layoutInput] = std::move(labels.layoutLines);
            labels.layoutLines = {};
            labels.layoutInput.reset();
        } else {
            labels.layoutLines.emplace_back(canonical);
        }
        return {true, std::nullopt};
    }
    if (labels.layoutRun && StartsWith(canonical, labels.inputStart))
        return FillLayout(line.substr(std::min(line.find(labels.inputStart), line.size())),
                          context);
    if (!canonical.empty() && std::isdigit(static_cast<unsigned char>(canonical.front())))
        return StoreProgramLine(canonical, context);
    if (canonical == "NEW") {
        labels.program.clear();
        return {true, std::nullopt};
    }
    if (canonical == "RUN") {
        RunProgram(context);
        return {true, std::nullopt};
    }
    if (StartsWith(canonical, "KILL ")) {
        const auto name = QuotedName(canonical.substr(5));
        if (!name || !IsLayoutName(*name) || IsStoredFile(*name, context))
            return {};
        labels.layouts.erase(*name);
        return {true, std::nullopt};
    }
    if (StartsWith(canonical, "FORMAT INPUT "))
        return SetInputFormat(canonical.substr(13), labels);
    if (StartsWith(canonical, "LAYOUT "))
        return LayoutCommand(canonical.substr(7), context);
    return {};
}

}  // namespace tarvo::sim

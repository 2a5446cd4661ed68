#include "services/firmware/listfile.h"

#include <array>
#include <cctype>
#include <vector>

namespace tarvo::firmware {
namespace {

constexpr std::size_t kExaminedCharacters = 80;
constexpr std::size_t kMaxTokenLength = 31;
constexpr std::size_t kMaxTokens = 4;
constexpr std::size_t kMaxHexDigits = 8;
// A line is kept up to here: past the 80 examined characters, so an over-long line still shows.
constexpr std::size_t kKeptLineLength = 100;
constexpr std::size_t kMaxCommandArguments = 3;

struct ScriptCommandShape {
    std::string_view name;
    ScriptCommand command;
    std::size_t argumentCount;
    std::array<ArgumentKind, kMaxCommandArguments> kinds;
};

constexpr std::array<ScriptCommandShape, 4> kCommands = {{
    {"eraseflash", ScriptCommand::EraseFlash, 1, {ArgumentKind::Hex}},
    {"printhello", ScriptCommand::PrintHello, 1, {ArgumentKind::Hex}},
    {"filetoflash", ScriptCommand::FileToFlash, 2, {ArgumentKind::ReadableFile, ArgumentKind::Hex}},
    {"ramtofile",
     ScriptCommand::RamToFile,
     3,
     {ArgumentKind::WritableFile, ArgumentKind::Hex, ArgumentKind::Hex}},
}};

bool EndsLine(char c) {
    return c == ';' || c == '\r' || c == '\n' || c == '\0';
}

bool Separates(char c) {
    return c == ' ' || c == '\t' || c == ',';
}

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// Splits the significant part of a line into tokens.
int Tokenize(std::string_view text, std::vector<std::string_view>* tokens) {
    std::size_t end = 0;
    while (end < text.size() && !EndsLine(text[end]))
        ++end;
    if (end > kExaminedCharacters)
        return kScriptLineTooLong;
    const std::string_view body = text.substr(0, end);
    std::size_t i = 0;
    while (i < body.size()) {
        if (Separates(body[i])) {
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < body.size() && !Separates(body[j]))
            ++j;
        if (tokens->size() == kMaxTokens)
            return kScriptTooManyTokens;
        if (j - i > kMaxTokenLength)
            return kScriptTokenTooLong;
        tokens->push_back(body.substr(i, j - i));
        i = j;
    }
    return 0;
}

bool ParseHex(std::string_view token, std::uint32_t* value) {
    if (token.empty() || token.size() > kMaxHexDigits)
        return false;
    std::uint32_t v = 0;
    for (const char c : token) {
        const int digit = std::isxdigit(static_cast<unsigned char>(c))
                              ? (std::isdigit(static_cast<unsigned char>(c))
                                     ? c - '0'
                                     : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10)
                              : -1;
        if (digit < 0)
            return false;
        v = v << 4 | static_cast<std::uint32_t>(digit);
    }
    *value = v;
    return true;
}

int CheckFileName(std::string_view name) {
    if (name.empty())
        return kScriptEmptyName;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 32 || byte > 127)
            return kScriptBadName;
    }
    // Only plain names in the firmware directory: never a path that reaches elsewhere.
    if (name.find('/') != std::string_view::npos || name.find("..") != std::string_view::npos ||
        name.find('\x7f') != std::string_view::npos)
        return kScriptBadName;
    return 0;
}

const ScriptCommandShape* FindCommand(std::string_view token) {
    const std::string name = Lower(token);
    for (const ScriptCommandShape& shape : kCommands) {
        if (shape.name == name)
            return &shape;
    }
    return nullptr;
}

// Reads up to the next line feed, keeping at most kKeptLineLength characters.
template <class NextChar>
bool ReadCutLine(std::string* line, NextChar nextChar) {
    line->clear();
    int c = nextChar();
    if (c < 0)
        return false;
    while (c >= 0 && c != '\n') {
        if (line->size() < kKeptLineLength)
            line->push_back(static_cast<char>(c));
        c = nextChar();
    }
    return true;
}

int CheckFiles(const ScriptLine& line, ScriptFiles& files) {
    switch (line.command) {
        case ScriptCommand::FileToFlash:
            return files.checkReadable(line.fileName);
        case ScriptCommand::RamToFile:
            return files.checkCreatable(line.fileName);
        default:
            return 0;
    }
}

int Execute(const ScriptLine& line, ScriptExecutor& executor) {
    switch (line.command) {
        case ScriptCommand::EraseFlash:
            return executor.eraseFlash(line.address);
        case ScriptCommand::PrintHello:
            return executor.printHello(line.address);
        case ScriptCommand::FileToFlash:
            return executor.fileToFlash(line.fileName, line.address);
        case ScriptCommand::RamToFile:
            return executor.ramToFile(line.fileName, line.address, line.length);
    }
    return kScriptUnknownCommand;
}

}  // namespace

bool IsPlainFileName(std::string_view name) {
    if (CheckFileName(name) != 0)
        return false;
    for (const char c : name) {
        if (static_cast<unsigned char>(c) > 126)
            return false;
    }
    return true;
}

int ParseImageName(std::string_view firstLine, std::string* name) {
    if (firstLine.empty() || firstLine[0] != ';')
        return 31;
    std::string_view rest = firstLine.substr(1);
    rest = rest.substr(0, rest.find_first_of("\r\n"));
    while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t'))
        rest.remove_suffix(1);
    if (!IsPlainFileName(rest))
        return 31;
    *name = std::string(rest);
    return 0;
}

int CheckArgument(ArgumentKind kind, std::string_view token, std::uint32_t* number) {
    switch (kind) {
        case ArgumentKind::Hex:
            return ParseHex(token, number) ? 0 : kScriptBadHex;
        case ArgumentKind::ReadableFile:
        case ArgumentKind::WritableFile:
            return CheckFileName(token);
        default:
            return kScriptUnknownKind;
    }
}

int ParseScriptLine(std::string_view text, std::optional<ScriptLine>* line) {
    line->reset();
    std::vector<std::string_view> tokens;
    if (const int rc = Tokenize(text, &tokens); rc != 0)
        return rc;
    if (tokens.empty())
        return 0;
    const ScriptCommandShape* shape = FindCommand(tokens[0]);
    if (shape == nullptr)
        return kScriptUnknownCommand;
    const std::size_t given = tokens.size() - 1;
    if (given < shape->argumentCount)
        return kScriptTooFewArguments;
    if (given > shape->argumentCount)
        return kScriptTooManyArguments;
    ScriptLine parsed;
    parsed.command = shape->command;
    std::vector<std::uint32_t> numbers;
    for (std::size_t i = 0; i < given; ++i) {
        std::uint32_t number = 0;
        if (const int rc = CheckArgument(shape->kinds[i], tokens[i + 1], &number); rc != 0)
            return rc;
        if (shape->kinds[i] == ArgumentKind::Hex)
            numbers.push_back(number);
        else
            parsed.fileName = std::string(tokens[i + 1]);
    }
    parsed.address = numbers.empty() ? 0 : numbers[0];
    parsed.length = numbers.size() > 1 ? numbers[1] : 0;
    *line = std::move(parsed);
    return 0;
}

bool TextLines::next(std::string* line) {
    if (done_)
        return false;
    std::size_t at = 0;
    const bool got = ReadCutLine(line, [&]() -> int {
        if (at >= rest_.size())
            return -1;
        return static_cast<unsigned char>(rest_[at++]);
    });
    rest_.remove_prefix(at);
    if (rest_.empty())
        done_ = true;
    return got;
}

bool FileLines::next(std::string* line) {
    return ReadCutLine(line, [&]() -> int { return std::fgetc(file_); });
}

int CheckScript(LineSource& lines, ScriptFiles& files) {
    std::string text;
    while (lines.next(&text)) {
        std::optional<ScriptLine> line;
        if (const int rc = ParseScriptLine(text, &line); rc != 0)
            return rc;
        if (line) {
            if (const int rc = CheckFiles(*line, files); rc != 0)
                return rc;
        }
    }
    return 0;
}

int ExecuteScript(LineSource& lines, ScriptExecutor& executor) {
    std::string text;
    while (lines.next(&text)) {
        std::optional<ScriptLine> line;
        if (const int rc = ParseScriptLine(text, &line); rc != 0)
            return rc;
        if (!line)
            continue;
        if (const int rc = CheckFiles(*line, executor); rc != 0)
            return rc;
        if (const int rc = Execute(*line, executor); rc != 0)
            return rc;
    }
    return 0;
}

}  // namespace tarvo::firmware

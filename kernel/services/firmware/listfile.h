// listfile.txt, the script of a firmware download: its first line names the image (";name"),
// every line is a command (eraseflash, printhello, filetoflash, ramtofile) with its arguments.
// The parser works on text alone; a check pass validates every line before anything goes to the
// printer, and an execute pass carries the lines out through an executor.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace tarvo::firmware {

// Script errors.
inline constexpr int kScriptLineTooLong = 130;    // more than 80 characters before its end
inline constexpr int kScriptTokenTooLong = 131;   // a token longer than 31 characters
inline constexpr int kScriptTooManyTokens = 132;  // more than four tokens
inline constexpr int kScriptUnknownCommand = 133;
inline constexpr int kScriptTooFewArguments = 140;
inline constexpr int kScriptTooManyArguments = 141;
inline constexpr int kScriptBadHex = 143;  // not 1 to 8 hexadecimal digits
inline constexpr int kScriptEmptyName = 144;
inline constexpr int kScriptBadName = 145;  // a byte outside 32..127, '/' or ".."
inline constexpr int kScriptUnknownKind = 146;
inline constexpr int kScriptCannotRead = 5;    // a file to be read does not open
inline constexpr int kScriptCannotCreate = 7;  // a file to be written exists or cannot be made

enum class ScriptCommand { EraseFlash, PrintHello, FileToFlash, RamToFile };
enum class ArgumentKind { Hex, ReadableFile, WritableFile, Unknown };

// One command line, parsed. File names keep the case they were written in (Linux names are
// case-sensitive); commands and numbers are read without regard to case.
struct ScriptLine {
    ScriptCommand command = ScriptCommand::PrintHello;
    std::string fileName;       // filetoflash, ramtofile
    std::uint32_t address = 0;  // eraseflash, filetoflash, ramtofile; printhello's number
    std::uint32_t length = 0;   // ramtofile
};

// Reads the image's name from the first line of listfile.txt (up to the first CR or LF, blanks
// and tabs at its end dropped). Returns 0 with *name set; 31 when the line does not begin with
// ";" or the name is not a plain file name (empty, '/', "..", a byte outside 32..126).
int ParseImageName(std::string_view firstLine, std::string* name);

// True for a plain file name in the firmware directory: nonempty, bytes 32..126, no '/', no "..".
bool IsPlainFileName(std::string_view name);

// Parses one line (without its line feed). Returns 0 with *line set, or empty for a line with
// no command; else a script error 130..145. File names are checked for form only here.
int ParseScriptLine(std::string_view text, std::optional<ScriptLine>* line);

// Checks one argument of `kind`: 143 (hex), 144, 145 (names), 146 for an unknown kind; 0 when
// it has the right form. *number receives a hex value.
int CheckArgument(ArgumentKind kind, std::string_view token, std::uint32_t* number);

// What the check pass asks about the files a script names.
class ScriptFiles {
  public:
    virtual ~ScriptFiles() = default;
    // 0 when `name` may be read (filetoflash), else 5.
    virtual int checkReadable(const std::string& name) = 0;
    // 0 when `name` may be created without replacing anything (ramtofile), else 7.
    virtual int checkCreatable(const std::string& name) = 0;
};

// Carries the commands out in the execute pass. Each returns 0 or an error code.
class ScriptExecutor : public ScriptFiles {
  public:
    virtual int eraseFlash(std::uint32_t address) = 0;
    virtual int printHello(std::uint32_t number) = 0;
    virtual int fileToFlash(const std::string& name, std::uint32_t address) = 0;
    virtual int ramToFile(const std::string& name, std::uint32_t address, std::uint32_t length) = 0;
};

// Lines of a script, each cut to what the parser needs (enough to tell an over-long line), so
// that no line of an odd file takes more memory than that.
class LineSource {
  public:
    virtual ~LineSource() = default;
    // The next line without its line feed; false at the end.
    virtual bool next(std::string* line) = 0;
};

// Lines of a text in memory (not owned).
class TextLines final : public LineSource {
  public:
    explicit TextLines(std::string_view text) : rest_(text) {}
    bool next(std::string* line) override;

  private:
    std::string_view rest_;
    bool done_ = false;
};

// Lines of an open file (not owned, not closed).
class FileLines final : public LineSource {
  public:
    explicit FileLines(std::FILE* file) : file_(file) {}
    bool next(std::string* line) override;

  private:
    std::FILE* file_;
};

// The check pass: parses every line and checks its files. Returns 0 or the first error.
int CheckScript(LineSource& lines, ScriptFiles& files);

// The execute pass: each line is checked again and carried out in order. Returns 0 or the first
// error (a script error, or what the executor returned).
int ExecuteScript(LineSource& lines, ScriptExecutor& executor);

}  // namespace tarvo::firmware

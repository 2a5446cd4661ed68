// A small INI document: sections of `key=value` lines, edited without disturbing the rest.
//
// The profile is a file the user may open in an editor, so a rewrite keeps every line it did not
// change exactly as it was: comments, blank lines, other sections, and lines that do not parse
// (which are otherwise ignored). Section and key names compare without regard to ASCII case.
//
// Values are stored escaped so that any byte string survives a round trip through the file:
// `\\` for a backslash, `\n`, `\r`, `\t`, and `\xHH` for the other control bytes (0x00..0x1F and
// 0x7F), for `[`, and for a blank at either end of the value (blanks around `=` are not part of
// the value). Bytes from 0x80 up are written as they are. When reading, an unknown escape or a
// lone backslash at the end is taken literally, so hand-written values with backslashes still
// read as typed.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarvo::platform {

// Escapes a value for the right-hand side of `key=`.
std::string EscapeIniValue(std::string_view value);

// The reverse of EscapeIniValue (lenient, see above).
std::string UnescapeIniValue(std::string_view text);

// A key that can be written and found again: non-empty; no control bytes, `=`, `[` or `]`; no
// blank at either end; not starting with `;` or `#` (which would make the line a comment).
bool IsValidIniKey(std::string_view key);

// A section name that can be written as `[name]` and found again: no control bytes, `[` or `]`,
// no blank at either end. The empty name stands for the lines before the first section.
bool IsValidIniSection(std::string_view section);

class IniDocument {
  public:
    IniDocument() = default;

    // Splits `text` into lines (LF or CR LF) and classifies each one. Never fails: a line that
    // is not a comment, section header (`[name]`, name not empty) or `key=value` entry is kept
    // verbatim and ignored.
    static IniDocument Parse(std::string_view text);

    // The unescaped value of the first entry `key` in the first matching section, or nullopt.
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;

    // The entries of every section named `section`, in file order, values unescaped.
    std::vector<std::pair<std::string, std::string>> Entries(std::string_view section) const;

    // Names of the sections in file order (as spelled in the file; repeats included).
    std::vector<std::string> Sections() const;

    // Sets `key` in `section`: rewrites the first existing entry (keeping its spelling of the
    // key), else adds one after the last entry of the first such section, else appends the
    // section at the end. Returns false, changing nothing, for an invalid key or section name.
    bool Set(std::string_view section, std::string_view key, std::string_view value);

    // The document as text: unchanged lines as they were read, every line ended by LF (a final
    // line without one gains it).
    std::string Serialize() const;

  private:
    enum class Kind { Other, Blank, Comment, Section, Entry };
    struct Line {
        Kind kind = Kind::Other;
        std::string raw;      // the line as read or generated, without its LF
        std::string name;     // section name (Section) or key (Entry)
        std::string value;    // unescaped value (Entry)
        std::size_t section;  // index of the Section line this line belongs to, or npos
    };

    static Line Classify(std::string_view raw);
    bool InSection(const Line& line, std::string_view section) const;
    void Renumber();

    std::vector<Line> lines_;
};

}  // namespace tarvo::platform

#include "platform/ini_file.h"

#include <algorithm>

#include "tarvo/base/hex_digit.h"

namespace tarvo::platform {
namespace {

constexpr std::size_t kNoSection = std::string::npos;

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAscii(x) == LowerAscii(y);
           });
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsControl(char c) {
    const auto b = static_cast<unsigned char>(c);
    return b < 0x20 || b == 0x7F;
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && IsBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

void AppendHexEscape(std::string& out, unsigned char b) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += "\\x";
    out += kHex[b >> 4];
    out += kHex[b & 0x0F];
}

// Names shared by keys and sections: nothing that would end the line early, open or close a
// header, or be lost to the trimming of blanks around names.
bool IsWritableName(std::string_view name) {
    if (!name.empty() && (IsBlank(name.front()) || IsBlank(name.back()))) {
        return false;
    }
    return std::none_of(name.begin(), name.end(),
                        [](char c) { return IsControl(c) || c == '[' || c == ']'; });
}

}  // namespace

std::string EscapeIniValue(std::string_view value) {
    std::string out;
    out.reserve(value.size() + 8);
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        switch (c) {
            case '\\':
                out += "\\\\";
                continue;
            case '\n':
                out += "\\n";
                continue;
            case '\r':
                out += "\\r";
                continue;
            case '\t':
                out += "\\t";
                continue;
            default:
                break;
        }
        // `[` is escaped so that no tool reading the file line by line can take a value for a
        // section header; blanks at the ends so that the trimming around `=` leaves them alone.
        const bool edgeBlank = c == ' ' && (i == 0 || i + 1 == value.size());
        if (IsControl(c) || c == '[' || edgeBlank) {
            AppendHexEscape(out, static_cast<unsigned char>(c));
        } else {
            out += c;
        }
    }
    return out;
}

std::string UnescapeIniValue(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\\' || i + 1 == text.size()) {
            out += c;
            continue;
        }
        const char next = text[i + 1];
        if (next == '\\' || next == 'n' || next == 'r' || next == 't') {
            out += next == 'n' ? '\n' : next == 'r' ? '\r' : next == 't' ? '\t' : '\\';
            ++i;
            continue;
        }
        if (next == 'x' && i + 3 < text.size() && HexDigitValue(text[i + 2]) >= 0 &&
            HexDigitValue(text[i + 3]) >= 0) {
            out += static_cast<char>(HexDigitValue(text[i + 2]) * 16 + HexDigitValue(text[i + 3]));
            i += 3;
            continue;
        }
        out += c;  // not an escape we write: keep the backslash as typed
    }
    return out;
}

bool IsValidIniKey(std::string_view key) {
    return !key.empty() && key.front() != ';' && key.front() != '#' &&
           key.find('=') == std::string_view::npos && IsWritableName(key);
}

bool IsValidIniSection(std::string_view section) {
    return IsWritableName(section);
}

IniDocument::Line IniDocument::Classify(std::string_view raw) {
    Line line;
    line.raw = std::string(raw);
    line.section = kNoSection;
    std::string_view text = raw;
    if (!text.empty() && text.back() == '\r') {
        text.remove_suffix(1);  // written on a system with CR LF line ends
    }
    text = TrimBlanks(text);
    if (text.empty()) {
        line.kind = Kind::Blank;
    } else if (text.front() == ';' || text.front() == '#') {
        line.kind = Kind::Comment;
    } else if (text.front() == '[') {
        const std::string_view name = text.size() >= 2 && text.back() == ']'
                                          ? TrimBlanks(text.substr(1, text.size() - 2))
                                          : std::string_view();
        if (!name.empty()) {
            line.kind = Kind::Section;
            line.name = std::string(name);
        }
    } else if (const auto eq = text.find('='); eq != std::string_view::npos) {
        const std::string_view key = TrimBlanks(text.substr(0, eq));
        if (!key.empty()) {
            line.kind = Kind::Entry;
            line.name = std::string(key);
            line.value = UnescapeIniValue(TrimBlanks(text.substr(eq + 1)));
        }
    }
    return line;
}

void IniDocument::Renumber() {
    std::size_t current = kNoSection;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == Kind::Section) {
            current = i;
        }
        lines_[i].section = current;
    }
}

IniDocument IniDocument::Parse(std::string_view text) {
    IniDocument doc;
    while (!text.empty()) {
        const auto end = text.find('\n');
        if (end == std::string_view::npos) {
            doc.lines_.push_back(Classify(text));
            break;
        }
        doc.lines_.push_back(Classify(text.substr(0, end)));
        text.remove_prefix(end + 1);
    }
    doc.Renumber();
    return doc;
}

std::optional<std::string> IniDocument::Get(std::string_view section, std::string_view key) const {
    for (const Line& line : lines_) {
        if (line.kind == Kind::Entry && EqualsIgnoringCase(line.name, key) &&
            InSection(line, section)) {
            return line.value;
        }
    }
    return std::nullopt;
}

std::vector<std::pair<std::string, std::string>> IniDocument::Entries(
    std::string_view section) const {
    std::vector<std::pair<std::string, std::string>> entries;
    for (const Line& line : lines_) {
        if (line.kind == Kind::Entry && InSection(line, section)) {
            entries.emplace_back(line.name, line.value);
        }
    }
    return entries;
}

std::vector<std::string> IniDocument::Sections() const {
    std::vector<std::string> names;
    for (const Line& line : lines_) {
        if (line.kind == Kind::Section) {
            names.push_back(line.name);
        }
    }
    return names;
}

bool IniDocument::InSection(const Line& line, std::string_view section) const {
    if (line.section == kNoSection) {
        return section.empty();
    }
    return EqualsIgnoringCase(lines_[line.section].name, section);
}

bool IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
    if (!IsValidIniKey(key) || !IsValidIniSection(section)) {
        return false;
    }
    const std::string escaped = EscapeIniValue(value);
    for (Line& line : lines_) {
        if (line.kind == Kind::Entry && EqualsIgnoringCase(line.name, key) &&
            InSection(line, section)) {
            line.raw = line.name + "=" + escaped;
            line.value = std::string(value);
            return true;
        }
    }

    // Where the new entry goes: after the last entry of the first matching section, or right
    // after its header when it has none yet.
    std::optional<std::size_t> insertAt;
    if (section.empty()) {
        insertAt = 0;
    }
    std::optional<std::size_t> header;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line& line = lines_[i];
        if (line.kind == Kind::Section && !header && EqualsIgnoringCase(line.name, section)) {
            header = i;
            insertAt = i + 1;
        } else if (line.kind == Kind::Entry && insertAt &&
                   line.section == (header ? *header : kNoSection)) {
            insertAt = i + 1;
        }
    }

    Line entry;
    entry.kind = Kind::Entry;
    entry.name = std::string(key);
    entry.value = std::string(value);
    entry.raw = entry.name + "=" + escaped;
    if (insertAt) {
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(*insertAt), std::move(entry));
    } else {
        Line headerLine;
        headerLine.kind = Kind::Section;
        headerLine.name = std::string(section);
        headerLine.raw = "[" + headerLine.name + "]";
        lines_.push_back(std::move(headerLine));
        lines_.push_back(std::move(entry));
    }
    Renumber();
    return true;
}

std::string IniDocument::Serialize() const {
    std::string out;
    for (const Line& line : lines_) {
        out += line.raw;
        out += '\n';
    }
    return out;
}

}  // namespace tarvo::platform

// The Printer page of the Communications Setup sheet.
#include <cctype>
#include <cstdio>

#include "lanmere/com_pages.h"
#include "tarvo/base/notation.h"
#include "tarvo/base/setting_rules.h"

namespace tarvo::app::lanmere {
namespace {

enum ComPrinterValue {
    kMediaStatus = 22,
    kBufferStatus = 23,
    kMemoryStatus = 24,
    kTranslation = 25,
    kMessageDelay = 26,
    kCharDelay = 27,
    kPreamble = 28,
    kPostamble = 29,
};

constexpr int kMaxDelay = 9999;
constexpr int kStx = 0x02, kEtx = 0x03, kDle = 0x10, kDc1 = 0x11, kDc3 = 0x13;

struct Flag {
    const char* id;
    int index;
    const char* label;
    const char* group;
};
constexpr Flag kFlags[] = {
    {"media", kMediaStatus, "Level &1: Media Status", "Status Notification"},
    {"buffer", kBufferStatus, "Level &2: Buffer Status", "Status Notification"},
    {"memory", kMemoryStatus, "Level &3: Memory Status", "Status Notification"},
    {"translation", kTranslation, "Enable IBM &Language Translation", ""},
};

struct Delay {
    const char* id;
    int index;
    const char* label;
};
constexpr Delay kDelays[] = {{"messageDelay", kMessageDelay, "Message Delay:"},
                             {"charDelay", kCharDelay, "Inter-character Delay:"}};

struct Amble {
    const char* id;
    int index;
    const char* label;
};
constexpr Amble kAmbles[] = {{"preamble", kPreamble, "Preamble:"},
                             {"postamble", kPostamble, "Postamble:"}};

bool IsPrintable(int code) {
    return code >= 0x20 && code < 0x7f;
}

// "0x1B", or the whole "0x1B - <ESC>" as the page shows it.
std::optional<int> HexCode(const std::string& text) {
    if (text.size() < 3 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X'))
        return std::nullopt;
    std::size_t end = 2;
    int code = 0;
    while (end < text.size() && std::isxdigit(static_cast<unsigned char>(text[end])) && end < 6) {
        code = code * 16 + std::stoi(text.substr(end, 1), nullptr, 16);
        ++end;
    }
    if (end == 2)
        return std::nullopt;
    if (end != text.size() && text != StatusCharacterText(code))
        return std::nullopt;
    return code;
}

}  // namespace

std::string StatusCharacterText(int code) {
    if (IsPrintable(code))
        return std::string(1, static_cast<char>(code));
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", code & 0xff);
    const char byte = static_cast<char>(code);
    return code < 0x20 ? std::string(hex) + " - " + RenderMnemonics(std::string_view(&byte, 1))
                       : std::string(hex);
}

std::optional<int> ReadStatusCharacter(const std::string& text, bool xonXoff, std::string* why) {
    std::optional<int> code;
    if (text.size() == 1 && IsPrintable(static_cast<unsigned char>(text[0])))
        code = static_cast<unsigned char>(text[0]);
    else
        code = HexCode(text);
    if (!code) {
        *why = "'" + text + "' is neither one printable character nor a code 0x00 to 0xFF";
    } else if (*code > 0xff) {
        *why = "the code must be 0x00 to 0xFF";
    } else if (*code == kStx || *code == kEtx || *code == kDle) {
        *why = StatusCharacterText(*code) + " frames the printer's messages";
    } else if (xonXoff && (*code == kDc1 || *code == kDc3)) {
        *why = StatusCharacterText(*code) + " is the XON/XOFF protocol's own";
    } else if (!FrameCharacterCarried(*code, why)) {
        // *why says which
    } else {
        return code;
    }
    return std::nullopt;
}

bool CComPrinter::xonXoff() const {
    return !desk_.session.standardProtocol();
}

void CComPrinter::Load() {
    Reset();
    for (const Flag& f : kFlags)
        AddFlag(f.id, f.index, f.label, f.group);
    for (const Delay& d : kDelays) {
        Field f;
        f.id = d.id;
        f.control = Control::Spin;
        f.label = d.label;
        f.unit = "msec.";
        f.minimum = 0;
        f.maximum = kMaxDelay;
        f.value = value(d.index);
        f.enabled = supported(d.index);
        Add(std::move(f));
    }
    for (const Amble& a : kAmbles) {
        Field f;
        f.id = a.id;
        f.control = Control::Edit;
        f.label = a.label;
        f.group = "Status Characters";
        f.maxLength = 12;
        f.text = StatusCharacterText(value(a.index));
        Add(std::move(f));
    }
    Field clear;
    clear.id = "clear";
    clear.control = Control::Button;
    clear.label = "Clear";
    Add(std::move(clear));
}

std::string CComPrinter::Validate() const {
    for (const Amble& a : kAmbles) {
        std::string why;
        if (field(a.id).edited && !ReadStatusCharacter(field(a.id).text, xonXoff(), &why))
            return std::string(a.label) + " " + why + ".";
    }
    return {};
}

void CComPrinter::Save() {
    for (const Flag& f : kFlags)
        SaveFlag(f.id, f.index);
    for (const Delay& d : kDelays) {
        if (field(d.id).enabled)
            SaveBounded(d.id, d.index);
    }
    for (const Amble& a : kAmbles) {
        std::string why;
        if (field(a.id).edited) {
            if (const auto code = ReadStatusCharacter(field(a.id).text, xonXoff(), &why))
                store(a.index, *code);
        }
    }
}

void CComPrinter::OnPress(const std::string& id) {
    if (id != "clear")
        return;
    for (const Flag& f : kFlags) {
        at(f.id).value = 0;
        at(f.id).edited = true;
    }
    for (const Delay& d : kDelays) {
        at(d.id).value = 0;
        at(d.id).edited = true;
    }
    for (const Amble& a : kAmbles) {
        at(a.id).text = StatusCharacterText(0);
        at(a.id).edited = true;
    }
}

}  // namespace tarvo::app::lanmere

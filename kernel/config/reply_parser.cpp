#include "config/reply_parser.h"

#include <limits>
#include <string>
#include <vector>

#include "tarvo/base/model_capabilities.h"
#include "tarvo/base/model_tables.h"

namespace tarvo {
namespace {

constexpr char kSoh = 0x01;
constexpr char kEtx = 0x03;
constexpr char kEot = 0x04;
constexpr char kSi = 0x0F;
constexpr char kDle = 0x10;
constexpr char kDc1 = 0x11;
constexpr char kDc2 = 0x12;
constexpr char kSyn = 0x16;
constexpr char kEsc = 0x1B;

constexpr int kMaxDigits = 10;

std::string_view SkipAcknowledge(std::string_view reply) {
    if (!reply.empty() && (reply.front() == kDc1 || reply.front() == kDc2))
        reply.remove_prefix(1);
    return reply;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A read position in the reply; every look-ahead is checked against its end.
class Cursor {
  public:
    explicit Cursor(std::string_view data) : data_(data) {}
    bool atEnd() const { return pos_ >= data_.size(); }
    bool peekIs(char c) const { return !atEnd() && data_[pos_] == c; }
    bool take(char* c) {
        if (atEnd())
            return false;
        *c = data_[pos_++];
        return true;
    }
    bool takeIf(char c) {
        if (!peekIs(c))
            return false;
        ++pos_;
        return true;
    }
    bool peekIsNumberChar() const {
        return !atEnd() && (IsDigit(data_[pos_]) || data_[pos_] == '?');
    }

  private:
    std::string_view data_;
    std::size_t pos_ = 0;
};

enum class Sign { kUnsigned, kSigned };

// Digits and `?` (an unknown value: the number so far becomes 0), after a `-` for signed
// fields. nullopt when no digit or `?` follows, or when there are more than 10 of them.
std::optional<std::int64_t> ReadNumber(Cursor& c, Sign sign) {
    const bool negative = sign == Sign::kSigned && c.takeIf('-');
    std::int64_t value = 0;
    int count = 0;
    char ch = 0;
    while (c.peekIsNumberChar()) {
        c.take(&ch);
        if (++count > kMaxDigits)
            return std::nullopt;
        value = ch == '?' ? 0 : value * 10 + (ch - '0');
    }
    if (count == 0)
        return std::nullopt;
    return negative ? -value : value;
}

template <typename T>
bool Fits(std::int64_t value) {
    return value >= std::numeric_limits<T>::min() && value <= std::numeric_limits<T>::max();
}

// Reads a number into `field`, refusing one that does not fit its width.
template <typename T>
bool ReadInto(Cursor& c, T& field, Sign sign = Sign::kUnsigned) {
    const auto value = ReadNumber(c, sign);
    if (!value || !Fits<T>(*value))
        return false;
    field = static_cast<T>(*value);
    return true;
}

template <typename A, typename B>
bool ReadPairInto(Cursor& c, A& first, B& second) {
    return ReadInto(c, first) && c.takeIf(',') && ReadInto(c, second);
}

// `count` comma-separated numbers whose values nobody keeps.
bool SkipNumbers(Cursor& c, int count) {
    for (int i = 0; i < count; ++i) {
        if ((i > 0 && !c.takeIf(',')) || !ReadNumber(c, Sign::kUnsigned))
            return false;
    }
    return true;
}

// <SOH> x or <EOT> x: the byte after the command (after a <DLE> that escapes it), then the
// `;` when one is there; a 0 byte written by a file has none.
bool ReadFrameCharacter(Cursor& c, char& field) {
    char x = 0;
    if (!c.take(&x))
        return false;
    if (x == kDle && !c.take(&x))
        return false;
    field = x;
    c.takeIf(';');
    return true;
}

bool ReadEscape(Cursor& c, ConfigRecord& r) {
    if (c.takeIf(kSyn))
        return ReadInto(c, r.messageDelay);
    if (c.takeIf('j')) {
        r.mediaStatus = 1;
    } else if (c.takeIf('d')) {
        r.bufferStatus = 1;
    } else if (c.takeIf('e')) {
        r.memoryStatus = 1;
    } else if (c.takeIf('k')) {
        r.mediaStatus = r.bufferStatus = r.memoryStatus = 0;
    }
    // Any other byte is left to the main loop, so a command that follows is not lost.
    return true;
}

// <SI>P: the printer's serial settings; only the fifth number, when present, is kept.
bool ReadSerialPort(Cursor& c, ConfigRecord& r) {
    if (!SkipNumbers(c, 4))
        return false;
    return !c.takeIf(',') || ReadInto(c, r.serialFlag);
}

// <SI>p: the two handshake pins, kept only where the model and firmware take them.
bool ReadHandshakePins(Cursor& c, ConfigRecord& r) {
    std::uint16_t first = 0;
    std::uint16_t second = 0;
    if (!ReadPairInto(c, first, second))
        return false;
    const std::string firmware(FirmwareText(r));
    const bool kept = SettingSupported(r.model, 36, firmware.c_str()) &&
                      SettingSupported(r.model, 37, firmware.c_str());
    r.valueP1 = kept ? first : 0;
    r.valueP2 = kept ? second : 0;
    return true;
}

bool ReadLetter(char letter, Cursor& c, ConfigRecord& r) {
    switch (letter) {
        case 'A':
            return ReadInto(c, r.valueA);
        case 'C':
            if (const int fixed = CapabilitiesOf(r.model).fixedEmulation;
                fixed != kNoFixedEmulation) {
                // These models report their one emulation under another number.
                r.emulation = static_cast<decltype(r.emulation)>(fixed);
                while (c.peekIsNumberChar())
                    c.take(&letter);
                return true;
            }
            return ReadInto(c, r.emulation);
        case 'D':
            return ReadInto(c, r.trailMargin);
        case 'F':
            return ReadInto(c, r.topOfForm, Sign::kSigned);
        case 'I':
            return ReadInto(c, r.imageBands);
        case 'L':
            return ReadInto(c, r.labelLength);
        case 'N':
            return ReadInto(c, r.memorySize);
        case 'O':
            return ReadInto(c, r.onlineAtPowerUp);
        case 'P':
            return ReadSerialPort(c, r);
        case 'R':
            return ReadInto(c, r.retract);
        case 'S':
            return ReadInto(c, r.printSpeed);
        case 'T':
            return ReadInto(c, r.labelStock);
        case 'U':
            return SkipNumbers(c, 4) && (!c.takeIf(',') || SkipNumbers(c, 1));
        case 'H':
        case 'r':
        case 's':
            return SkipNumbers(c, 1);
        case 'W':
            return ReadInto(c, r.labelWidth);
        case 'Z':
            if (c.peekIs(kSi))
                return true;
            return SkipNumbers(c, 1) && (!c.takeIf(',') || SkipNumbers(c, 1));
        case 'a':
            return ReadInto(c, r.audibleAlarm);
        case 'b':
            return ReadInto(c, r.takeUpAdjust);
        case 'c':
            return ReadInto(c, r.cutter);
        case 'd':
            return ReadInto(c, r.darkness, Sign::kSigned);
        case 'e':
            return ReadInto(c, r.valueE);
        case 'f':
            return ReadInto(c, r.restAdjust, Sign::kSigned);
        case 'g':
            return ReadPairInto(c, r.mediaType, r.mediaSensitivity);
        case 'h':
            return ReadPairInto(c, r.valueH1, r.valueH2);
        case 'i':
            return ReadInto(c, r.languageTranslation);
        case 'l':
            return ReadInto(c, r.charSet);
        case 'p':
            return ReadHandshakePins(c, r);
        case 't':
            return ReadInto(c, r.selfStrip);
        case 'v':
            return ReadInto(c, r.valueV);
        case 'z':
            return ReadInto(c, r.valueZ);
        default:
            return true;  // a letter this kernel does not keep; its digits are skipped
    }
}

}  // namespace

bool ParseConfigurationReply(std::string_view reply, ConfigRecord& record) {
    ConfigRecord scratch = record;
    Cursor c(SkipAcknowledge(reply));
    char b = 0;
    while (c.take(&b)) {
        bool ok = true;
        switch (b) {
            case kEtx:
                record = scratch;
                return true;
            case kSoh:
                ok = ReadFrameCharacter(c, scratch.startChar);
                break;
            case kEot:
                ok = ReadFrameCharacter(c, scratch.endChar);
                break;
            case kSyn:
                ok = ReadInto(c, scratch.interCharDelay);
                break;
            case kEsc:
                ok = ReadEscape(c, scratch);
                break;
            case kSi:
                ok = c.take(&b) && ReadLetter(b, c, scratch);
                break;
            default:
                break;  // separators and bytes nobody keeps
        }
        if (!ok)
            return false;
    }
    return false;  // the data ended before <ETX>
}

namespace {

// Digits (at most 10) followed by nothing but blanks and control bytes.
std::optional<std::int64_t> WholeNumber(std::string_view field) {
    std::size_t digits = 0;
    while (digits < field.size() && IsDigit(field[digits]))
        ++digits;
    if (digits == 0 || digits > static_cast<std::size_t>(kMaxDigits))
        return std::nullopt;
    for (std::size_t i = digits; i < field.size(); ++i) {
        if (static_cast<unsigned char>(field[i]) > ' ')
            return std::nullopt;
    }
    std::int64_t value = 0;
    for (std::size_t i = 0; i < digits; ++i)
        value = value * 10 + (field[i] - '0');
    return value;
}

std::vector<std::string_view> SplitFields(std::string_view reply) {
    std::vector<std::string_view> fields;
    for (;;) {
        const std::size_t comma = reply.find(',');
        fields.push_back(reply.substr(0, comma));
        if (comma == std::string_view::npos)
            return fields;
        reply.remove_prefix(comma + 1);
    }
}

std::optional<std::uint16_t> Word(std::string_view field) {
    const auto value = WholeNumber(field);
    if (!value || !Fits<std::uint16_t>(*value))
        return std::nullopt;
    return static_cast<std::uint16_t>(*value);
}

}  // namespace

std::optional<MemoryReport> ParseMemoryReply(std::string_view reply) {
    const auto fields = SplitFields(SkipAcknowledge(reply));
    if (fields.size() < 2)
        return std::nullopt;
    const auto total = Word(fields[0]);
    const auto free = Word(fields[1]);
    if (!total || !free)
        return std::nullopt;
    return MemoryReport{*total, *free};
}

std::optional<std::uint16_t> ParseSecondNumber(std::string_view reply) {
    const auto fields = SplitFields(SkipAcknowledge(reply));
    if (fields.size() < 2)
        return std::nullopt;
    return Word(fields[1]);
}

std::optional<int> ParseLeadingNumber(std::string_view reply) {
    reply = SkipAcknowledge(reply);
    std::size_t digits = 0;
    while (digits < reply.size() && IsDigit(reply[digits]))
        ++digits;
    const auto value = WholeNumber(reply.substr(0, digits));
    if (!value || !Fits<int>(*value))
        return std::nullopt;
    return static_cast<int>(*value);
}

}  // namespace tarvo

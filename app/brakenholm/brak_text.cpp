#include "brakenholm/brak_text.h"

namespace tarvo::app {

std::string_view StripTrailing(std::string_view text, std::string_view chars) {
    const auto end = text.find_last_not_of(chars);
    return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

std::string_view StripLeading(std::string_view text, std::string_view chars) {
    const auto start = text.find_first_not_of(chars);
    return start == std::string_view::npos ? std::string_view() : text.substr(start);
}

std::string_view StripLineEnds(std::string_view text) {
    return StripTrailing(text, "\r\n");
}

std::string CollapseBlanks(std::string_view text) {
    std::string out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto start = text.find_first_not_of(' ', pos);
        if (start == std::string_view::npos)
            break;
        const auto end = std::min(text.find(' ', start), text.size());
        if (!out.empty())
            out += ' ';
        out.append(text.substr(start, end - start));
        pos = end;
    }
    return out;
}

std::string AsciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

long long ParseDecimal(std::string_view text) {
    text = StripLeading(text, " \t");
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    constexpr long long kLimit = std::numeric_limits<long long>::max();
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            break;
        const int digit = c - '0';
        if (value > (kLimit - digit) / 10) {
            value = kLimit;
            break;
        }
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

std::optional<std::string_view> FigureBefore(std::string_view text, std::string_view marker) {
    const auto at = text.find(marker);
    if (at == std::string_view::npos)
        return std::nullopt;
    std::size_t start = at;
    while (start > 0 && static_cast<unsigned char>(text[start - 1]) >= '0')
        --start;
    return text.substr(start, at - start);
}

std::optional<std::string_view> ValueAfterColon(std::string_view text, std::string_view key) {
    const auto at = text.find(key);
    if (at == std::string_view::npos)
        return std::nullopt;
    const auto colon = text.find(':', at + key.size());
    if (colon == std::string_view::npos)
        return std::nullopt;
    std::string_view rest = text.substr(colon + 1);
    rest = rest.substr(0, rest.find_first_of("\r\n"));
    return StripLeading(rest, " ");
}

bool IsDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace tarvo::app

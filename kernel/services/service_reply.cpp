#include "services/service_reply.h"

#include <charconv>

namespace tarvo {
namespace {

// Takes the number at the front of *text (after blanks) off it.
std::optional<std::int32_t> TakeNumber(std::string_view* text) {
    const std::size_t start = text->find_first_not_of(' ');
    if (start == std::string_view::npos)
        return std::nullopt;
    std::int32_t value = 0;
    const char* first = text->data() + start;
    const char* last = text->data() + text->size();
    if (*first == '+')
        ++first;  // from_chars takes only a minus
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc())
        return std::nullopt;
    text->remove_prefix(static_cast<std::size_t>(end - text->data()));
    return value;
}

}  // namespace

std::string_view SkipAcknowledges(std::string_view reply) {
    while (!reply.empty() && (reply.front() == '\x11' || reply.front() == '\x12'))
        reply.remove_prefix(1);
    return reply;
}

std::optional<std::int32_t> ServiceNumber(std::string_view reply) {
    return TakeNumber(&reply);
}

std::optional<std::array<std::int32_t, 3>> SensorNumbers(std::string_view reply) {
    std::array<std::int32_t, 3> numbers{};
    for (std::int32_t& number : numbers) {
        const std::size_t next = reply.find_first_not_of(" ,\r");
        if (next == std::string_view::npos)
            return std::nullopt;
        reply.remove_prefix(next);
        const std::optional<std::int32_t> n = TakeNumber(&reply);
        if (!n)
            return std::nullopt;
        number = *n;
    }
    return numbers;
}

}  // namespace tarvo

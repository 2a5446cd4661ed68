// Reading what an escape-language printer says about itself: its identification reply and the
// preamble that shows in front of the program number. Pure functions over text, so that
// whatever a printer sends can be checked without a line.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "models/identify_internal.h"
#include "models/program_numbers.h"
#include "tarvo/models.h"

namespace tarvo {
namespace {

// The offset at which a reply shows a program number, searching for the number without its
// first character (so FT-prefixed replies are found as well).
std::size_t FindNumber(std::string_view reply, std::string_view number) {
    if (number.size() < 2)
        return std::string_view::npos;
    return reply.find(number.substr(1));
}

// A preamble sits before the number when it is found further in than the number itself allows.
std::optional<char> PreambleFromHit(std::string_view reply, std::size_t k) {
    const bool ft = reply.substr(0, 2) == "FT" || reply.substr(0, 2) == "ft";
    if (k > 2 || (k == 2 && !ft))
        return reply[0];
    return '\0';
}

}  // namespace

std::optional<char> DetectPreamble(std::string_view reply) {
    const auto& table = ProgramNumberTable();
    for (int row = 0; row < kProgramNumberRows - 1; ++row) {
        for (std::string_view number : {table[static_cast<std::size_t>(row)].number1,
                                        table[static_cast<std::size_t>(row)].number2}) {
            if (const std::size_t k = FindNumber(reply, number); k != std::string_view::npos) {
                return PreambleFromHit(reply, k);
            }
        }
    }
    std::optional<char> preamble;
    FindProgramNumberEntry([&](const ProgramNumberEntry& entry) {
        const std::size_t k = FindNumber(reply, entry.number);
        if (k == std::string_view::npos)
            return false;
        preamble = PreambleFromHit(reply, k);
        return true;
    });
    return preamble.value_or('\0');
}

std::string_view SkipFlowBytes(std::string_view reply) {
    const std::size_t start = reply.find_first_not_of("\x11\x12");
    return start == std::string_view::npos ? std::string_view() : reply.substr(start);
}

namespace {

std::vector<std::string> SplitFields(std::string_view reply) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = reply.find(',', start);
        fields.emplace_back(reply.substr(start, comma - start));
        if (comma == std::string_view::npos)
            return fields;
        start = comma + 1;
    }
}

// The type fields of the models that share a base number, and the numbers they name.
constexpr std::pair<std::string_view, std::string_view> kTypes[] = {
    {"6220E", "0661976220E"},
    {"6240E", "0670976240E"},
    {"5200E2", "0661975200E2"},
    {"5200E4", "0670975200E4"},
};

// The number a reply names: with three fields, the type decides for the models that share a
// base number.
std::string CandidateNumber(const std::vector<std::string>& fields) {
    if (fields.size() == 3) {
        for (const auto& [type, number] : kTypes) {
            if (fields[2] == type)
                return std::string(number);
        }
    }
    return std::string(fields[0]);
}

}  // namespace

std::optional<IdentificationReply> ParseIdentificationReply(std::string_view raw) {
    const std::string_view reply = SkipFlowBytes(raw);
    if (reply.find(',') == std::string_view::npos)
        return std::nullopt;
    IdentificationReply parsed;
    parsed.fields = SplitFields(reply);
    parsed.candidate = CandidateNumber(parsed.fields);
    parsed.firmware = parsed.fields[1];
    return parsed;
}

std::string_view ReplyTypeOfNumber(std::string_view number) {
    for (const auto& [type, typed] : kTypes) {
        if (typed == number)
            return type;
    }
    return {};
}

int ModelForProgramNumber(std::string_view number, bool* second) {
    *second = false;
    if (const int row = ModelByProgramNumber(number, second); row >= 0)
        return row;
    const auto entry = LookupProgramNumber(number);
    if (!entry)
        return -1;
    const int model = propGetPrinterID(entry->model.c_str());
    return model >= 0 && model < PROP_TABLE_MODELS ? model : -1;
}

}  // namespace tarvo

#include "models.h"

#include <array>
#include <cctype>
#include <charconv>

#include "tarvo/sim/printer_sim.h"

namespace tarvo::sim {
namespace {

struct ModelInfo {
    std::string_view name;
    std::string_view programNumber;  // first field of the identification reply
    std::string_view typeField;      // third field; empty for models that send two
    std::string_view platformName;   // answer to `uname -p`; empty when there is no shell
};

// Index order is the model numbering the host uses, so the index is the model number.
constexpr std::array<ModelInfo, kModelCount> kModels = {{
    {"5200A", "059877", "", ""},
    {"5200B", "061612", "", ""},
    {"5200C/D", "066211", "", ""},
    {"5600", "062198", "", ""},
    {"5240", "063755", "", ""},
    {"5040", "063103", "", ""},
    {"6220", "066197", "", ""},
    {"6240", "067097", "", ""},
    {"6430", "064160", "", ""},
    {"6630", "064162", "", ""},
    {"6000", "062564", "", ""},
    {"6200C", "062568", "", ""},
    {"9221", "066199", "", ""},
    {"RK17", "075052", "", ""},
    {"G3-QEL", "071210", "", "G3"},
    {"G5-QEL", "071210", "", "G5"},
    {"5200E (200dpi)", "066197", "5200E2", ""},
    {"5200E (400dpi)", "067097", "5200E4", ""},
    {"6220E", "066197", "6220E", ""},
    {"6240E", "067097", "6240E", ""},
    {"TG3e-QEL", "071210", "", "TG3e"},
    {"TG5e-QEL", "071210", "", "TG5e"},
    {"TN5e-QEL", "071210", "", "TN5e"},
    {"TQ5e-QEL", "071210", "", "TQ5e"},
    {"TQ8e-QEL", "071210", "", "TQ8e"},
}};

bool ValidModel(int model) {
    return model >= 0 && model < kModelCount;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

}  // namespace

std::string IdentificationReply(int model, std::string_view firmware) {
    if (!ValidModel(model))
        return {};
    const ModelInfo& info = kModels[static_cast<std::size_t>(model)];
    std::string reply(info.programNumber);
    reply += ',';
    reply += firmware;
    if (!info.typeField.empty()) {
        reply += ',';
        reply += info.typeField;
    }
    return reply;
}

std::string_view ShellPlatformName(int model) {
    return ValidModel(model) ? kModels[static_cast<std::size_t>(model)].platformName : "";
}

int ModelIndexByName(const std::string& name) {
    // Names first: several model names ("6000", "5600") are themselves numbers.
    for (int i = 0; i < kModelCount; ++i) {
        if (EqualsIgnoringCase(name, kModels[static_cast<std::size_t>(i)].name))
            return i;
    }
    int number = -1;
    const char* end = name.data() + name.size();
    const auto [rest, error] = std::from_chars(name.data(), end, number);
    if (!name.empty() && error == std::errc() && rest == end && ValidModel(number)) {
        return number;
    }
    return -1;
}

std::string ModelName(int model) {
    return ValidModel(model) ? std::string(kModels[static_cast<std::size_t>(model)].name) : "";
}

}  // namespace tarvo::sim

#include "models.h"

#include <array>
#include <cctype>
#include <charconv>

#include "tarvo/base/model_tables.h"
#include "setup_tree.h"
#include "tarvo/sim/printer_sim.h"

namespace tarvo::sim {
namespace {

struct LanmereModel {
    std::string_view name;
    std::string_view programNumber;  // first field of the identification reply
    std::string_view typeField;      // third field; empty for models that send two
    std::string_view platformName;   // answer to `uname -p`; empty when there is no shell
};

// Index order is the model numbering the host uses, so the index is the model number.
constexpr std::array<LanmereModel, kLanmereModelCount> kLanmereModels = {{
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

struct BrakenholmModel {
    std::string_view name;           // also the answer to PRINT VERSION$(1)
    std::string_view programNumber;  // answer to PRINT VERSION$(2)
};

// Models 26..40 in order. The host only shows the program number, so each model simply has
// one of its own.
constexpr std::array<BrakenholmModel, kLastModel - kFirstBrakenholmModel + 1> kBrakenholmModels = {{
    {"720", "CG100720"},
    {"730", "CG100730"},
    {"M9", "CG100009"},
    {"760", "CG100760"},
    {"780", "CG100780"},
    {"880", "CG100880"},
    {"780KS", "CG101780"},
    {"880KS", "CG101880"},
    {"G3", "CG200003"},
    {"G5", "CG200005"},
    {"TG3e", "CG300103"},
    {"TG5e", "CG300105"},
    {"TN5e", "CG300205"},
    {"TQ5e", "CG300305"},
    {"TQ8e", "CG300308"},
}};

const LanmereModel* Lanmere(int model) {
    if (model < 0 || model >= kLanmereModelCount)
        return nullptr;
    return &kLanmereModels[static_cast<std::size_t>(model)];
}

const BrakenholmModel* Brakenholm(int model) {
    if (model < kFirstBrakenholmModel || model > kLastModel)
        return nullptr;
    return &kBrakenholmModels[static_cast<std::size_t>(model - kFirstBrakenholmModel)];
}

std::string_view NameOf(int model) {
    if (const LanmereModel* info = Lanmere(model))
        return info->name;
    if (const BrakenholmModel* info = Brakenholm(model))
        return info->name;
    return {};
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

std::string IdentificationReply(int model, std::string_view firmware,
                                std::string_view programNumber) {
    const LanmereModel* info = Lanmere(model);
    if (info == nullptr)
        return {};
    std::string reply(programNumber.empty() ? info->programNumber : programNumber);
    reply += ',';
    reply += firmware;
    if (!info->typeField.empty()) {
        reply += ',';
        reply += info->typeField;
    }
    return reply;
}

std::string_view ShellPlatformName(int model) {
    const LanmereModel* info = Lanmere(model);
    return info != nullptr ? info->platformName : "";
}

bool HasDirectory(int model) {
    const tarvo::ModelRow* row = Lanmere(model) != nullptr ? tarvo::FindModelRow(model) : nullptr;
    return row != nullptr && row->directory;
}

unsigned ImageBufferKb(int model) {
    constexpr unsigned kFineKb = 1024;   // 400 dpi heads and finer
    constexpr unsigned kCoarseKb = 512;  // 300 dpi heads and coarser
    const tarvo::ModelRow* row = tarvo::FindModelRow(model);
    if (row == nullptr)
        return 0;
    if (row->imageSizeKb != tarvo::kImageSizeAsked)
        return static_cast<unsigned>(row->imageSizeKb);
    return row->mmPerDot < 0.08 ? kFineKb : kCoarseKb;
}

std::string_view ScriptProgramNumber(int model) {
    const BrakenholmModel* info = Brakenholm(model);
    return info != nullptr ? info->programNumber : "";
}

std::optional<Family> FamilyOfModel(int model) {
    if (Lanmere(model) != nullptr)
        return Family::Lanmere;
    if (Brakenholm(model) != nullptr)
        return Family::Brakenholm;
    return std::nullopt;
}

int ModelIndexByName(const std::string& name) {
    // Names first: several model names ("6000", "720") are themselves numbers.
    for (int i = 0; i <= kLastModel; ++i) {
        const std::string_view known = NameOf(i);
        if (!known.empty() && EqualsIgnoringCase(name, known))
            return i;
    }
    int number = -1;
    const char* end = name.data() + name.size();
    const auto [rest, error] = std::from_chars(name.data(), end, number);
    if (!name.empty() && error == std::errc() && rest == end && FamilyOfModel(number)) {
        return number;
    }
    return -1;
}

std::string ModelName(int model) {
    return std::string(NameOf(model));
}

std::size_t ReceiveBufferBytes(int model) {
    // The escape-language printers keep 4 KB; the script-language ones of setup tree "7.12"
    // (generations 2 and 3) 8 KB, their predecessors 2 KB.
    if (model < kFirstBrakenholmModel)
        return 4096;
    return SetupGeneration(model) >= 2 ? 8192 : 2048;
}

}  // namespace tarvo::sim

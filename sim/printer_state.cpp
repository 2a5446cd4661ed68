#include "printer_state.h"

namespace tarvo::sim {
namespace {

constexpr std::size_t kMaxFirmwareLength = 32;
constexpr std::size_t kMaxPasswordLength = 32;

bool Printable(std::string_view text, std::string_view refused) {
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7F || refused.find(c) != std::string_view::npos)
            return false;
    }
    return true;
}

}  // namespace

bool ValidFirmware(std::string_view text) {
    return !text.empty() && text.size() <= kMaxFirmwareLength && Printable(text, ",");
}

bool ValidPassword(std::string_view text) {
    return !text.empty() && text.size() <= kMaxPasswordLength && Printable(text, " ");
}

std::string StoreObject(PrinterState* state, ObjectKind kind, StoredObject object) {
    if (std::string reason = NormaliseObject(state->model, kind, &object); !reason.empty())
        return reason;
    auto& objects = state->objects.of(kind);
    const auto old = objects.find(object.id);
    const unsigned freed = old == objects.end() ? 0 : KbOf(old->second.size);
    const unsigned needed = KbOf(object.size);
    if (needed > state->memoryFreeKb + freed) {
        return "not enough printer memory: " + std::to_string(needed) + " KB needed, " +
               std::to_string(state->memoryFreeKb + freed) + " KB free";
    }
    state->memoryFreeKb = state->memoryFreeKb + freed - needed;
    state->downloads.of(kind).erase(object.id);
    objects[object.id] = std::move(object);
    return {};
}

std::string StoreDownload(PrinterState* state, ObjectKind kind, StoredObject object,
                          std::shared_ptr<const ObjectContent> content) {
    const unsigned id = object.id;
    std::string reason = StoreObject(state, kind, std::move(object));
    if (reason.empty())
        state->downloads.of(kind)[id] = std::move(content);
    return reason;
}

bool RemoveObject(PrinterState* state, ObjectKind kind, unsigned id) {
    auto& objects = state->objects.of(kind);
    const auto it = objects.find(id);
    if (it == objects.end())
        return false;
    state->memoryFreeKb += KbOf(it->second.size);
    objects.erase(it);
    state->downloads.of(kind).erase(id);
    return true;
}

}  // namespace tarvo::sim

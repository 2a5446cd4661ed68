// What a test reads and changes of a running printer's memory: its configuration, its stored
// objects and its shell user.
#include "config_text.h"
#include "models.h"
#include "printer_sim_impl.h"

namespace tarvo::sim {
namespace {

constexpr int kModelSetting = 0;
constexpr int kFreeMemorySetting = 7;
constexpr int kImageSetting = 8;

bool Report(const std::string& reason, std::string* error) {
    if (!reason.empty() && error != nullptr)
        *error = reason;
    return reason.empty();
}

}  // namespace

bool PrinterSim::Impl::changeState(const std::function<std::string(PrinterState&)>& change,
                                   std::string* error) {
    if (!started_)
        return Report("the printer is not running", error);
    if (options_.family != Family::Lanmere)
        return Report("a Brakenholm printer keeps no configuration or objects", error);
    std::lock_guard lock(mutex_);
    return Report(change(engine_->state()), error);
}

ConfigValue PrinterSim::configValue(int setting) const {
    return impl_->readState([setting](const PrinterState& state, const LineSettings&) {
        switch (setting) {
            case kModelSetting:
                return ConfigValue(state.model);
            case kFreeMemorySetting:
                return ConfigValue(static_cast<int>(state.memoryFreeKb));
            case kImageSetting:
                return ConfigValue(static_cast<int>(ImageBufferKb(state.model)));
            default:
                break;
        }
        if (!KeepsSetting(setting))
            return ConfigValue();
        return state.config.settings[static_cast<std::size_t>(setting)];
    });
}

bool PrinterSim::setConfigValue(int setting, ConfigValue value, std::string* error) {
    return impl_->changeState(
        [&](PrinterState& state) { return SetSettingValue(&state, setting, value); }, error);
}

std::vector<ConfigValue> PrinterSim::configValues(char letter) const {
    return impl_->readState([letter](const PrinterState& state, const LineSettings& line) {
        return LetterValues(state, line, letter);
    });
}

bool PrinterSim::setConfigValues(char letter, const std::vector<ConfigValue>& values,
                                 std::string* error) {
    return impl_->changeState(
        [&](PrinterState& state) { return SetLetterValues(&state, letter, values); }, error);
}

bool PrinterSim::addObject(ObjectKind kind, const StoredObject& object, std::string* error) {
    return impl_->changeState(
        [&](PrinterState& state) { return StoreObject(&state, kind, object); }, error);
}

bool PrinterSim::deleteObject(ObjectKind kind, unsigned id) {
    return impl_->changeState(
        [&](PrinterState& state) {
            return RemoveObject(&state, kind, id) ? std::string() : std::string("no such object");
        },
        nullptr);
}

std::vector<StoredObject> PrinterSim::objects(ObjectKind kind) const {
    return impl_->readState([kind](const PrinterState& state, const LineSettings&) {
        std::vector<StoredObject> list;
        for (const auto& entry : state.objects.of(kind))
            list.push_back(entry.second);
        return list;
    });
}

unsigned PrinterSim::memoryFreeKb() const {
    return impl_->readState(
        [](const PrinterState& state, const LineSettings&) { return state.memoryFreeKb; });
}

std::string PrinterSim::shellUser() const {
    return impl_->readState(
        [](const PrinterState& state, const LineSettings&) { return state.shellUser; });
}

}  // namespace tarvo::sim

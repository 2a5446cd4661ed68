// What a test reads and changes of a running Brakenholm printer: its setup tree, files, clock
// and users.
#include "printer_sim_impl.h"
#include "protocol_engine.h"
#include "script_clock.h"
#include "script_engine.h"
#include "script_files.h"
#include "setup_tree.h"

namespace tarvo::sim {
namespace {

bool Report(const std::string& reason, std::string* error) {
    if (!reason.empty() && error != nullptr)
        *error = reason;
    return reason.empty();
}

}  // namespace

bool PrinterSim::Impl::changeScriptState(
    const std::function<std::string(PrinterState&, LineSettings&)>& change, std::string* error) {
    if (!started_)
        return Report("the printer is not running", error);
    if (options_.family != Family::Brakenholm)
        return Report("a Lanmere printer keeps no setup tree, files or clock", error);
    std::lock_guard lock(mutex_);
    PrinterState state = engine_->state();
    LineSettings line = line_;
    if (!Report(change(state, line), error))
        return false;
    engine_->state() = std::move(state);
    if (line != line_) {
        line_ = line;
        engine_->setLine(line);
    }
    return true;
}

void PrinterSim::Impl::setClockHardwareError(bool broken) {
    std::lock_guard lock(mutex_);
    engine_->setClockHardwareError(broken);
}

bool PrinterSim::setAdminPassword(const std::string& password, std::string* error) {
    const auto change = [&password](PrinterState& state) {
        if (!ValidPassword(password))
            return std::string("a password must be 1 to 32 printable characters, no blank");
        state.adminPassword = password;
        return std::string();
    };
    if (impl_->family() == Family::Lanmere)
        return impl_->changeState(change, error);
    return impl_->changeScriptState(
        [&change](PrinterState& state, LineSettings&) { return change(state); }, error);
}

std::string PrinterSim::setupTreeVersion() const {
    return impl_->readState([](const PrinterState& state, const LineSettings&) {
        return std::string(SetupTreeVersion(state.model));
    });
}

std::optional<std::string> PrinterSim::setupValue(const std::string& path) const {
    return impl_->readState([&path](const PrinterState& state, const LineSettings& line) {
        return SetupValue(state.model, state.setup, line, path);
    });
}

std::vector<std::string> PrinterSim::setupListing() const {
    return impl_->readState([](const PrinterState& state, const LineSettings& line) {
        return SetupListing(state.model, state.setup, line);
    });
}

bool PrinterSim::setSetupValue(const std::string& path, const std::string& value,
                               std::string* error) {
    return impl_->changeScriptState(
        [&](PrinterState& state, LineSettings& line) {
            return ApplySetupText(state.model, path + "," + value, &state.setup, &line);
        },
        error);
}

std::vector<PrinterFile> PrinterSim::files(const std::string& device) const {
    return impl_->readState([&device](const PrinterState& state, const LineSettings&) {
        if (!HasDevice(state.model, device))
            return std::vector<PrinterFile>();
        return FilesOn(state, device, true);
    });
}

std::optional<std::string> PrinterSim::fileContent(const std::string& device,
                                                   const std::string& name) const {
    return impl_->readEngine([&](const PrinterEngine& engine) -> std::optional<std::string> {
        if (const auto* script = dynamic_cast<const ScriptEngine*>(&engine))
            return script->receivedFile(device, name);
        // The escape-language printers keep one store for what comes over Zmodem.
        if (const auto* escape = dynamic_cast<const ProtocolEngine*>(&engine))
            return escape->receivedFile(name);
        return std::nullopt;
    });
}

bool PrinterSim::addFile(const PrinterFile& file, std::string* error) {
    return impl_->changeScriptState(
        [&file](PrinterState& state, LineSettings&) { return StoreFile(&state, file); }, error);
}

std::chrono::sys_seconds PrinterSim::clock() const {
    return impl_->readState(
        [](const PrinterState& state, const LineSettings&) { return PrinterNow(state); });
}

bool PrinterSim::setClock(std::chrono::sys_seconds when, std::string* error) {
    return impl_->changeScriptState(
        [when](PrinterState& state, LineSettings&) {
            SetPrinterNow(&state, when);
            return std::string();
        },
        error);
}

void PrinterSim::setClockHardwareError(bool broken) {
    impl_->setClockHardwareError(broken);
}

}  // namespace tarvo::sim

// The public face of a Lanmere printer's boot code.
#include "boot_engine.h"
#include "printer_sim_impl.h"

namespace tarvo::sim {

bool PrinterSim::invalidateFirmware(std::string* error) {
    return impl_->changeState(
        [](PrinterState& state) {
            state.firmwareInvalidated = true;
            return std::string();
        },
        error);
}

bool PrinterSim::inBootRom() const {
    impl_->settle();
    return impl_->readState(
        [](const PrinterState& state, const LineSettings&) { return state.firmwareInvalidated; });
}

std::string PrinterSim::bootState() const {
    impl_->settle();
    return impl_->readEngine([](const PrinterEngine& engine) -> std::string {
        if (!engine.state().firmwareInvalidated)
            return "running";
        const BootEngine* boot = engine.boot();
        return boot != nullptr && boot->phase() == BootEngine::Phase::Loader ? "loader" : "rom";
    });
}

unsigned PrinterSim::bootBaud() const {
    impl_->settle();
    return impl_->readEngine([](const PrinterEngine& engine) {
        const BootEngine* boot = engine.boot();
        if (boot == nullptr || boot->phase() == BootEngine::Phase::Running)
            return kBootRomBaud;
        return boot->baud();
    });
}

std::vector<std::uint8_t> PrinterSim::flashBytes(std::uint32_t address, std::size_t length) const {
    impl_->settle();
    return impl_->readEngine([&](const PrinterEngine& engine) {
        const BootEngine* boot = engine.boot();
        return boot != nullptr ? boot->flash().read(address, length)
                               : std::vector<std::uint8_t>(length, 0xFF);
    });
}

std::string PrinterSim::bootRefusal() const {
    impl_->settle();
    return impl_->readEngine([](const PrinterEngine& engine) {
        const BootEngine* boot = engine.boot();
        return boot != nullptr ? boot->refusal() : std::string();
    });
}

}  // namespace tarvo::sim

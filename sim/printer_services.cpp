// PrinterSim's readers of what the printer printed and of the last firmware invalidation.
#include "printer_sim_impl.h"
#include "printer_state.h"

namespace tarvo::sim {

std::vector<std::string> PrinterSim::printedLabels() const {
    impl_->settle();
    return impl_->readState(
        [](const PrinterState& state, const LineSettings&) { return state.printedLabels; });
}

std::string PrinterSim::invalidationText() const {
    impl_->settle();
    return impl_->readState(
        [](const PrinterState& state, const LineSettings&) { return state.invalidationText; });
}

}  // namespace tarvo::sim

#include "brakenholm/brak_test_label.h"

namespace tarvo::app {

OpResult SendSample(CBrakPrinter& /*printer*/, const SampleValues& /*values*/, bool /*metric*/) {
    return {OpStatus::NotSupported, std::nullopt, "sample labels are not built yet"};
}

}  // namespace tarvo::app

#include "port/wait.h"

#include <cstdlib>

#include "platform/clock.h"
#include "port/kernel_state.h"
#include "port/profile.h"
#include "tarvo/port.h"

namespace tarvo {

void WaitMs(int ms) {
    if (ms <= 0)
        return;
    platform::CurrentClock().sleepFor(platform::Millis{ms});
}

int ScaledWaitMs(int units, int baud) {
    switch (baud) {
        case 110:
            return 5 * units;
        case 300:
            return 4 * units;
        case 600:
            return 3 * units;
        case 1200:
            return 2 * units;
        case 2400:
        case 4800:
            return (3 * units) / 2;
        default:
            return units;
    }
}

}  // namespace tarvo

TARVO_API void PCUWait(int units) {
    if (units < 0)
        return;
    const int baud = std::atoi(tarvo::ProfileValue("Baud", "9600").c_str());
    tarvo::WaitMs(tarvo::ScaledWaitMs(units, baud) + tarvo::State().extraDelayMs);
}

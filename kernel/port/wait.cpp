#include "port/wait.h"

#include "platform/clock.h"
#include "port/profile.h"
#include "tarvo/port.h"

namespace tarvo {
namespace {

int gTimingChoice = PCU_TIMING_PROFILE;

}  // namespace

bool PrescribedTiming() {
    if (gTimingChoice != PCU_TIMING_PROFILE)
        return gTimingChoice == PCU_TIMING_PRESCRIBED;
    return ProfileValue("Timing", "Adaptive") == "Prescribed";
}

void SetTimingChoice(int timing) {
    gTimingChoice = timing;
}

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

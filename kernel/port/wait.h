// Waits used throughout the kernel.
#pragma once

namespace tarvo {

// Waits `ms` milliseconds on the current clock (sleeping and pumping the host's messages).
void WaitMs(int ms);

// True when replies are read only after their prescribed wait has passed in full: the
// process's choice (PCUSetTiming), else the profile's Timing value (default Adaptive).
bool PrescribedTiming();

// The process's choice of timing, a PCU_TIMING_* value (PCU_TIMING_PROFILE: none).
void SetTimingChoice(int timing);

// PCUWait's scaling: `units` milliseconds scaled by the line rate `baud`.
int ScaledWaitMs(int units, int baud);

}  // namespace tarvo

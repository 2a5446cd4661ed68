// Waits used throughout the kernel.
#pragma once

namespace tarvo {

// Waits `ms` milliseconds on the current clock (sleeping and pumping the host's messages).
void WaitMs(int ms);

// PCUWait's scaling: `units` milliseconds scaled by the line rate `baud`.
int ScaledWaitMs(int units, int baud);

}  // namespace tarvo

// Sample labels of the newer setup tree: a short Tallyscript program that prints the quality
// values being tried beside boxes, lines and Code 39 samples, against which print quality is
// judged. The quality page and the quality wizard send them.
#pragma once

#include <cstdint>

#include "brakenholm/brak_printer.h"

namespace tarvo::app {

// The quality values a sample label tries and shows.
struct SampleValues {
    bool thermalTransfer = false;
    std::int16_t constant = 0;    // label constant (direct thermal) or ribbon constant
    std::int16_t factor = 0;      // label factor or ribbon factor
    std::int16_t offset = 0;      // label offset; shown for thermal transfer only
    std::int32_t printSpeed = 0;  // mm/s; 0: the speed is not tried (the quality page)
    std::int16_t contrast = 0;    // contrast table position (0..10, shown as 2p - 10 percent)
};

// Sends the values to try with the setup writers, the test-label program for the printer's
// model and generation and RUN, then puts the record's own values back once the printer has
// finished (bounded wait), on every path. `metric` chooses how the speed is shown. Returns
// Done, or the first failure with the setting's name; the record is never changed.
OpResult SendSample(CBrakPrinter& printer, const SampleValues& values, bool metric);

}  // namespace tarvo::app

// The media size a sample label prints at, and the printer's own size put back afterwards.
//
// Sample labels (the test-label programs, the quality wizard's samples, the test-print samples)
// need a known label size. The size they replace is read from the printer first, since the
// record may hold values that were never read, and it goes back only once the printer has
// finished printing, so a sample never leaves its size behind.
#pragma once

#include <cstdint>

#include "brakenholm/brak_printer.h"

namespace tarvo::app {

// The printer's own width and length, as read before a sample changed them.
struct SavedMediaSize {
    bool read = false;  // false: nothing was read, nothing was changed, nothing is to restore
    std::uint16_t width = 0;
    std::int32_t length = 0;
};

// Reads the printer's setup listing for its own width and length, then sends `width` and
// `length` with the setup tree's own writers. The record keeps the printer's values. Returns
// Done, or the failure with the setting's name: NoAnswer when no listing could be read (then
// nothing was sent and saved->read is false). `saved` must not be null.
OpResult SetSampleSize(CBrakPrinter& printer, std::uint16_t width, std::int32_t length,
                       SavedMediaSize* saved);

// Waits (bounded) until the printer answers again, i.e. has finished the sample, then sends
// the saved width and length. Sends nothing when saved.read is false. Returns the first
// failure; a printer that never answered is still sent the size, and the result says so.
OpResult RestoreSampleSize(CBrakPrinter& printer, const SavedMediaSize& saved);

// Restores the size when it leaves scope unless Restore() ran: error and cancel paths included.
class SampleSizeScope {
  public:
    explicit SampleSizeScope(CBrakPrinter& printer) : printer_(printer) {}
    ~SampleSizeScope() { Restore(); }
    SampleSizeScope(const SampleSizeScope&) = delete;
    SampleSizeScope& operator=(const SampleSizeScope&) = delete;

    // SetSampleSize, remembering what to restore.
    OpResult Set(std::uint16_t width, std::int32_t length) {
        return SetSampleSize(printer_, width, length, &saved_);
    }
    // RestoreSampleSize once; later calls return Done and send nothing.
    OpResult Restore() {
        const SavedMediaSize saved = saved_;
        saved_.read = false;
        return RestoreSampleSize(printer_, saved);
    }

  private:
    CBrakPrinter& printer_;
    SavedMediaSize saved_;
};

}  // namespace tarvo::app

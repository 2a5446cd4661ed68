#include "fwxfer/gf_serial.h"

#include <algorithm>

namespace fwxfer {

GFIo GFSerial::PutBuffer(std::string_view bytes) {
    TimePoint lastProgress = link_.now();
    while (!bytes.empty()) {
        if (monitor_.TransferAbort())
            return GFIo::Aborted;
        std::size_t written = 0;
        const GFIo io = link_.write(bytes.data(), bytes.size(), kSlice, &written);
        if (io == GFIo::Closed || io == GFIo::Error)
            return io;
        if (written > 0) {
            bytes.remove_prefix(written);
            lastProgress = link_.now();
        } else if (link_.now() - lastProgress >= kStallLimit) {
            return GFIo::Stalled;
        }
        monitor_.Idle();
    }
    return GFIo::Ok;
}

GFIo GFSerial::fill(Millis timeout) {
    if (taken_ == input_.size()) {
        input_.clear();
        taken_ = 0;
    }
    char buffer[4096];
    std::size_t got = 0;
    const GFIo io = link_.read(buffer, sizeof buffer, timeout, &got);
    input_.append(buffer, got);
    return io;
}

GFIo GFSerial::GetByte(Millis timeout, char* byte) {
    const TimePoint deadline = link_.now() + timeout;
    while (RXCount() == 0) {
        if (monitor_.TransferAbort())
            return GFIo::Aborted;
        const auto left = std::chrono::duration_cast<Millis>(deadline - link_.now());
        if (left <= Millis{0})
            return GFIo::Timeout;
        const GFIo io = fill(std::min(left, kSlice));
        if (io == GFIo::Closed || io == GFIo::Error)
            return io;
        monitor_.Idle();
    }
    *byte = input_[taken_++];
    return GFIo::Ok;
}

GFIo GFSerial::Poll() {
    const GFIo io = fill(Millis{0});
    return io == GFIo::Timeout ? GFIo::Ok : io;
}

std::size_t GFSerial::GetBuffer(char* buffer, std::size_t size) {
    const std::size_t count = std::min(size, RXCount());
    std::copy_n(input_.data() + taken_, count, buffer);
    taken_ += count;
    return count;
}

void GFSerial::RXFlush() {
    input_.clear();
    taken_ = 0;
    link_.purgeInput();
}

}  // namespace fwxfer

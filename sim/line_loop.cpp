// The line thread: reads what the host sends, lets the protocol engine answer, and writes the
// answers out at the pace, and with the pauses, that the options and faults ask for.
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>

#include "frame_parser.h"
#include "line_check.h"
#include "models.h"
#include "printer_sim_impl.h"
#include "state_file.h"
#include "tarvo/base/line_format.h"

namespace tarvo::sim {
namespace {

using Clock = std::chrono::steady_clock;

// Longest sleep of the thread: bounds how late a paced byte, a split pause or the transcript
// file can be.
constexpr auto kPollInterval = std::chrono::milliseconds(5);
// Paced I/O moves this much line time per read or write.
constexpr double kPaceSliceSeconds = 0.005;
constexpr std::size_t kReadBufferBytes = 4096;
// A line cut waits for the host to take the bytes sent before it (closing the master throws
// away what the host has not read yet), but not for ever.
constexpr auto kCutDrainLimit = std::chrono::seconds(1);

std::size_t PaceChunk(double bytesPerSecond) {
    return std::max<std::size_t>(1, static_cast<std::size_t>(bytesPerSecond * kPaceSliceSeconds));
}

Clock::duration LineTime(std::size_t bytes, double bytesPerSecond) {
    return std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(static_cast<double>(bytes) / bytesPerSecond));
}

void Pace(Clock::time_point* next, std::size_t bytes, double bytesPerSecond) {
    if (bytesPerSecond <= 0)
        return;
    *next = std::max(*next, Clock::now()) + LineTime(bytes, bytesPerSecond);
}

}  // namespace

void PrinterSim::Impl::run() {
    const std::size_t receiveBuffer = ReceiveBufferBytes(options_.model);
    while (!stopping_) {
        double bytesPerSecond = 0;
        bool xonXoff = false;
        if (options_.pace) {
            std::lock_guard lock(mutex_);
            const LineSettings line = lineHeard();
            bytesPerSecond = BytesPerSecond(line);
            xonXoff = line.protocol == Protocol::XonXoff;
        }
        if (closing_ &&
            (hostHasReadEverything() || Clock::now() - closingSince_ > kCutDrainLimit)) {
            cutLine();
            break;
        }
        pollLine(Clock::now(), bytesPerSecond);
        holdOrReleaseHost(xonXoff, receiveBuffer);
        transcript_.flushQuietRun(Clock::now());
        saveStateIfChanged();
        publishActivity();
    }
    transcript_.flushQuietRun(Clock::now(), true);
}

void PrinterSim::Impl::pollLine(Clock::time_point now, double bytesPerSecond) {
    // Input is still taken while a line cut waits for the host, so that a host writing instead
    // of reading is not left waiting in settle().
    const bool canRead = now >= nextReadAt_;
    const bool canWrite = readyToWrite(now);
    int relayFd = -1;
    {
        std::lock_guard lock(mutex_);
        relayFd = engine_->relayFd();
    }
    relayActive_ = relayFd >= 0;
    pollfd fds[3] = {
        {wake_.get(), POLLIN, 0},
        {pty_.master(), static_cast<short>((canRead ? POLLIN : 0) | (canWrite ? POLLOUT : 0)), 0},
        {relayFd, POLLIN, 0}};
    const auto wait =
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::clamp<Clock::duration>(
            timeUntilNextDeed(now), Clock::duration::zero(), kPollInterval));
    const timespec timeout{0, static_cast<long>(wait.count())};
    const int ready = ::ppoll(fds, relayFd >= 0 ? 3 : 2, &timeout, nullptr);
    if (relayFd >= 0)
        relayFromReceiver();
    if (ready <= 0)
        return;
    if (fds[0].revents & POLLIN) {
        std::uint64_t count = 0;
        [[maybe_unused]] const ssize_t n = ::read(wake_.get(), &count, sizeof count);
    }
    if (fds[1].revents & POLLIN)
        readFromHost(bytesPerSecond);
    if (fds[1].revents & POLLOUT)
        writeToHost(bytesPerSecond);
}

Clock::duration PrinterSim::Impl::timeUntilNextDeed(Clock::time_point now) const {
    Clock::duration wait = kPollInterval;
    if (now < nextReadAt_)
        wait = std::min(wait, nextReadAt_ - now);
    if (!output_.empty() && !outputPaused_) {
        Clock::time_point writeAt = std::max(nextWriteAt_, frontReadyAt_.value_or(now));
        if (now < writeAt)
            wait = std::min(wait, writeAt - now);
    }
    return wait;
}

bool PrinterSim::Impl::readyToWrite(Clock::time_point now) {
    // Empty pieces carry nothing but perhaps the line cut.
    while (!output_.empty() && output_.front().bytes.empty() && !closing_) {
        finishPiece();
    }
    if (output_.empty() || outputPaused_ || closing_)
        return false;
    if (!frontReadyAt_)
        frontReadyAt_ = now + output_.front().pauseBefore;
    return now >= *frontReadyAt_ && now >= nextWriteAt_;
}

// A paced read takes a slice of line time. While the host keeps the line full, the thread
// waking late must not cost the line anything: the bytes the line carried meanwhile are taken
// too, and the next read is due a slice after the last byte's line time, not after the wake.
void PrinterSim::Impl::readFromHost(double bytesPerSecond) {
    activity_ = Activity::Busy;
    char buffer[kReadBufferBytes];
    const Clock::time_point now = Clock::now();
    std::size_t chunk = sizeof buffer;
    if (bytesPerSecond > 0) {
        chunk = PaceChunk(bytesPerSecond);
        if (hostLineBusy_ && now > nextReadAt_)
            chunk += static_cast<std::size_t>(
                std::chrono::duration<double>(now - nextReadAt_).count() * bytesPerSecond);
    }
    const ssize_t n = ::read(pty_.master(), buffer, std::min(chunk, sizeof buffer));
    if (n > 0) {
        const std::string_view bytes(buffer, static_cast<std::size_t>(n));
        transcript_.append(Direction::HostToPrinter, secrets_.mask(bytes));
        if (hostLineBusy_ && bytesPerSecond > 0)
            nextReadAt_ += LineTime(bytes.size(), bytesPerSecond);
        else
            Pace(&nextReadAt_, bytes.size(), bytesPerSecond);
        hear(bytes);
    }
    int waiting = 0;
    hostLineBusy_ = bytesPerSecond > 0 && n > 0 &&
                    ::ioctl(pty_.master(), FIONREAD, &waiting) == 0 && waiting > 0;
    markActive();
}

// The bytes the host has written and the printer has not yet taken wait in the line; that is
// the printer's receive buffer. On a paced XON/XOFF line the printer sends <DC3> when they fill
// three quarters of it, and <DC1> once nearly all are taken, so that the host's writes finish
// about when the printer has the bytes, as on a real line. The byte goes out at once, ahead of
// any reply being written.
void PrinterSim::Impl::holdOrReleaseHost(bool xonXoff, std::size_t receiveBuffer) {
    if (!xonXoff && !holdingHost_)
        return;  // nothing to hold back, nothing to release
    int pending = 0;
    if (::ioctl(pty_.master(), FIONREAD, &pending) != 0)
        return;
    const auto waiting = static_cast<std::size_t>(pending);
    if (!holdingHost_ && xonXoff && waiting >= receiveBuffer * 3 / 4 && sendFlowByte(kDc3))
        holdingHost_ = true;
    else if (holdingHost_ && (!xonXoff || waiting <= receiveBuffer / 16) && sendFlowByte(kDc1))
        holdingHost_ = false;
}

bool PrinterSim::Impl::sendFlowByte(char byte) {
    if (::write(pty_.master(), &byte, 1) != 1)
        return false;  // the line is full; the next turn tries again
    transcript_.append(Direction::PrinterToHost, std::string_view(&byte, 1));
    markActive();
    return true;
}

// The line the printer is on now: its own, or its boot code's while that answers. Called under
// the lock.
LineSettings PrinterSim::Impl::lineHeard() const {
    const std::vector<LineSettings> boot = engine_->bootLines();
    return boot.empty() ? line_ : boot.front();
}

// A host whose note says it is on other line settings is heard as noise: kept in the
// transcript, never understood.
void PrinterSim::Impl::hear(std::string_view bytes) {
    const auto hostLine = platform::ReadLineNote(pty_.number());
    std::vector<OutgoingPiece> pieces;
    {
        std::lock_guard lock(mutex_);
        std::vector<LineSettings> lines = engine_->bootLines();
        if (lines.empty())
            lines.push_back(line_);
        if (std::none_of(lines.begin(), lines.end(), [&](const LineSettings& line) {
                return HostLineMatches(hostLine, line, options_.family);
            }))
            return;
        std::string heard(bytes);
        if (lines.front().dataBits == 7) {
            for (char& c : heard)
                c = static_cast<char>(c & 0x7F);
        }
        engine_->hear(heard, &pieces);
        outputPaused_ = engine_->outputPaused();
        if (auto line = engine_->takeLineChange())
            line_ = *line;
    }
    for (OutgoingPiece& piece : pieces)
        output_.push_back(std::move(piece));
}

// A file transfer's receiver answers on its own descriptor; its bytes join the printer's output
// like any reply, and its end is noticed here.
void PrinterSim::Impl::relayFromReceiver() {
    std::vector<OutgoingPiece> pieces;
    {
        std::lock_guard lock(mutex_);
        engine_->relay(&pieces);
    }
    if (!pieces.empty())
        markActive();
    for (OutgoingPiece& piece : pieces)
        output_.push_back(std::move(piece));
}

void PrinterSim::Impl::writeToHost(double bytesPerSecond) {
    if (output_.empty())
        return;
    const std::string& bytes = output_.front().bytes;
    const std::size_t remaining = bytes.size() - frontOffset_;
    const std::size_t chunk = bytesPerSecond > 0 ? PaceChunk(bytesPerSecond) : remaining;
    const ssize_t n =
        ::write(pty_.master(), bytes.data() + frontOffset_, std::min(chunk, remaining));
    if (n < 0) {
        // A full line: the host is not reading. Anything else: nobody will read it.
        blockedByHost_ = errno == EAGAIN || errno == EINTR;
        if (!blockedByHost_)
            finishPiece();
        return;
    }
    blockedByHost_ = false;
    const auto written = static_cast<std::size_t>(n);
    transcript_.append(Direction::PrinterToHost,
                       std::string_view(bytes).substr(frontOffset_, written));
    Pace(&nextWriteAt_, written, bytesPerSecond);
    frontOffset_ += written;
    if (frontOffset_ == bytes.size())
        finishPiece();
    markActive();
}

void PrinterSim::Impl::finishPiece() {
    if (output_.front().closeLineAfter) {
        closing_ = true;
        closingSince_ = Clock::now();
    }
    output_.pop_front();
    frontOffset_ = 0;
    frontReadyAt_.reset();
}

bool PrinterSim::Impl::hostHasReadEverything() {
    return SlaveInputEmpty(pty_.slave());
}

void PrinterSim::Impl::cutLine() {
    {
        std::lock_guard lock(ptyMutex_);
        pty_.close();
    }
    output_.clear();
    lineCut_ = true;
    markActive();
    activity_ = Activity::Idle;
}

void PrinterSim::Impl::publishActivity() {
    Activity activity = Activity::Busy;
    if (relayActive_) {
        activity = Activity::Busy;  // a transfer's receiver works on until it ends
    } else if (closing_) {
        activity = Activity::CutAwaitingHost;
    } else if (output_.empty()) {
        activity = Activity::Idle;
    } else if (outputPaused_) {
        activity = Activity::HeldByHost;
    } else if (blockedByHost_) {
        activity = Activity::LineFull;
    }
    activity_ = activity;
}

void PrinterSim::Impl::markActive() {
    lastActivity_ = Clock::now().time_since_epoch().count();
}

void PrinterSim::Impl::saveStateIfChanged() {
    if (options_.statePath.empty())
        return;
    PrinterState state;
    {
        std::lock_guard lock(mutex_);
        state = engine_->state();
    }
    if (state == savedState_)
        return;
    std::string error;
    if (SaveStateFile(options_.statePath, state, &error)) {
        savedState_ = state;
        saveFailureReported_ = false;
    } else if (!saveFailureReported_) {
        // Nobody else can hear about it from this thread; the old file is still intact.
        std::fprintf(stderr, "tarvo-printersim: %s\n", error.c_str());
        saveFailureReported_ = true;
    }
}

}  // namespace tarvo::sim

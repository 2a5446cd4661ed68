// Inside of PrinterSim: the lifecycle (printer_sim.cpp) and the thread that works the line
// (line_loop.cpp).
#pragma once

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "printer_engine.h"
#include "pseudo_terminal.h"
#include "secret_mask.h"
#include "tarvo/base/unique_fd.h"
#include "tarvo/sim/printer_sim.h"
#include "transcript.h"

namespace tarvo::sim {

class PrinterSim::Impl {
  public:
    using Clock = std::chrono::steady_clock;

    explicit Impl(Options options);
    ~Impl();

    bool start(std::string* error);
    void stop();
    std::string devicePath() const;
    bool settle();

    Transcript& transcript() { return transcript_; }
    std::vector<std::string> receivedMessages() const;
    void clearMessages();
    void setFaults(const Faults& faults);
    void setLine(const LineSettings& line);
    LineSettings line() const;
    void setFrameCharacters(char preamble, char postamble);

    // Reads the printer's memory under the lock.
    template <typename Read>
    auto readState(Read read) const {
        std::lock_guard lock(mutex_);
        return read(engine_->state(), line_);
    }
    // Reads the engine (its boot code, say) under the lock.
    template <typename Read>
    auto readEngine(Read read) const {
        std::lock_guard lock(mutex_);
        return read(*engine_);
    }
    // A copy of the downloaded content of type T stored for object `id` of `kind`, once the
    // printer has settled; nullopt when there is none of that type.
    template <typename T>
    std::optional<T> downloadContent(ObjectKind kind, unsigned id) {
        settle();
        std::lock_guard lock(mutex_);
        const T* content = FindContent<T>(engine_->state().downloads, kind, id);
        return content == nullptr ? std::nullopt : std::optional<T>(*content);
    }
    // Changes the printer's memory under the lock: `change` returns empty, or why it refused
    // (and then must have left the state alone). Refused unless a Lanmere printer is running.
    bool changeState(const std::function<std::string(PrinterState&)>& change, std::string* error);
    // The same for a Brakenholm printer, whose line a change may move as well.
    bool changeScriptState(const std::function<std::string(PrinterState&, LineSettings&)>& change,
                           std::string* error);
    void setClockHardwareError(bool broken);
    Family family() const { return options_.family; }

  private:
    // What the line thread is doing, for settle(). The last three wait for the host; settle()
    // checks the line itself for them, since the host may have acted since the thread looked.
    enum class Activity {
        Idle,
        Busy,
        HeldByHost,      // XON/XOFF: output held by the host's <DC3>
        LineFull,        // the host is not reading and the line holds no more
        CutAwaitingHost  // a line cut waits for the host to read what came before it
    };

    bool prepareState(std::string* error);
    bool hostInputWaiting();
    bool waitingOnHost(Activity activity);
    bool settled();

    // The line thread (line_loop.cpp).
    void run();
    void pollLine(Clock::time_point now, double bytesPerSecond);
    Clock::duration timeUntilNextDeed(Clock::time_point now) const;
    bool readyToWrite(Clock::time_point now);
    void readFromHost(double bytesPerSecond);
    void holdOrReleaseHost(bool xonXoff, std::size_t receiveBuffer);
    bool sendFlowByte(char byte);
    void hear(std::string_view bytes);
    LineSettings lineHeard() const;
    void relayFromReceiver();
    void writeToHost(double bytesPerSecond);
    void finishPiece();
    bool hostHasReadEverything();
    void cutLine();
    void publishActivity();
    void saveStateIfChanged();
    void markActive();

    Options options_;
    Transcript transcript_;
    PseudoTerminal pty_;
    platform::UniqueFd wake_;  // eventfd that wakes the line thread to stop
    std::thread thread_;
    bool everStarted_ = false;

    // Shared with the caller's thread.
    mutable std::mutex mutex_;  // guards engine_ and line_
    std::unique_ptr<PrinterEngine> engine_;
    LineSettings line_;
    std::mutex ptyMutex_;  // the master is closed by the line thread while settle() polls it
    std::atomic<bool> started_{false};
    std::atomic<bool> stopping_{false};
    std::atomic<bool> lineCut_{false};
    std::atomic<Activity> activity_{Activity::Idle};
    std::atomic<Clock::rep> lastActivity_{0};

    // Line thread only.
    std::deque<OutgoingPiece> output_;
    std::size_t frontOffset_ = 0;
    std::optional<Clock::time_point> frontReadyAt_;
    Clock::time_point nextReadAt_{};
    // Bytes from the host were still waiting after the last paced read: the line has carried
    // bytes without a gap since then.
    bool hostLineBusy_ = false;
    Clock::time_point nextWriteAt_{};
    bool outputPaused_ = false;
    bool holdingHost_ = false;  // <DC3> sent and no <DC1> since
    bool blockedByHost_ = false;
    bool closing_ = false;
    bool relayActive_ = false;  // a file transfer's receiver runs
    Clock::time_point closingSince_{};
    PrinterState savedState_;
    bool saveFailureReported_ = false;
    SecretMask secrets_;
};

}  // namespace tarvo::sim

#include "tarvo/sim/printer_sim.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "models.h"
#include "printer_sim_impl.h"
#include "printer_state.h"
#include "state_file.h"

namespace tarvo::sim {
namespace {

// settle() waits as long as the printer keeps working, and gives up only on a printer that has
// stayed busy this long without moving a byte: that one is stuck, not slow.
constexpr auto kStuckLimit = std::chrono::seconds(30);
// Bytes written on one side of a pseudo-terminal reach the other side through a kernel work
// queue, so "nothing to read" is only believed after the line has been quiet this long.
constexpr auto kQuietTime = std::chrono::milliseconds(3);
constexpr auto kSettlePollInterval = std::chrono::microseconds(250);

constexpr int kLastInstalledOption = 4;
constexpr const char* kDefaultInterface = "eth0";

PrinterState InitialState(const Options& options) {
    PrinterState state;
    state.model = options.model;
    state.firmware = options.firmware;
    state.memoryTotalKb = options.memoryTotalKb;
    state.memoryFreeKb = options.memoryFreeKb;
    state.imageBandLimit = options.imageBandLimit;
    if (options.family == Family::Lanmere)
        state.config = DefaultConfig(options.model);
    else if (FamilyOfModel(options.model) == Family::Brakenholm)
        state.setup = DefaultSetup(options.model);
    state.adminPassword = options.adminPassword;
    return state;
}

Identity IdentityOf(const Options& options) {
    return {options.programNumber,
            options.identReply,
            options.networkInterface.value_or(kDefaultInterface),
            options.installedOption,
            options.serviceReplies,
            options.processingDelays,
            options.headDots};
}

// An interface name goes into the shell's output as it is: printable, no blank, like a password.
bool ValidInterfaceName(const std::optional<std::string>& name) {
    return !name || name->empty() || ValidPassword(*name);
}

const char* FamilyName(Family family) {
    return family == Family::Brakenholm ? "Brakenholm" : "Lanmere";
}

std::string CheckOptions(const Options& options) {
    const std::optional<Family> family = FamilyOfModel(options.model);
    if (!family) {
        return "model " + std::to_string(options.model) + " is not a model number 0..24 or 26..40";
    }
    if (*family != options.family) {
        return "model " + ModelName(options.model) + " is a " + FamilyName(*family) +
               " printer, not a " + FamilyName(options.family) + " one";
    }
    if (!ValidFirmware(options.firmware)) {
        return "firmware must be 1 to 32 printable characters, no comma";
    }
    if (!options.programNumber.empty() && !ValidFirmware(options.programNumber)) {
        return "a program number must be 1 to 32 printable characters, no comma";
    }
    if (options.memoryFreeKb > options.memoryTotalKb) {
        return "free memory exceeds total memory";
    }
    if (options.installedOption < 0 || options.installedOption > kLastInstalledOption) {
        return "the installed option is a number from 0 to 4";
    }
    if (!ValidPassword(options.adminPassword)) {
        return "a password must be 1 to 32 printable characters, no blank";
    }
    if (!ValidInterfaceName(options.networkInterface)) {
        return "a network interface name is up to 32 printable characters, no blank";
    }
    if (!options.objects.empty() && options.family != Family::Lanmere) {
        return "only a Lanmere printer stores objects";
    }
    return {};
}

}  // namespace

PrinterSim::Impl::Impl(Options options)
    : options_(std::move(options)),
      engine_(MakeEngine(options_.family, InitialState(options_), IdentityOf(options_))),
      line_(options_.line) {
    engine_->setLine(line_);
    engine_->setFrameCharacters(options_.preamble, options_.postamble);
    engine_->setFaults(options_.faults);
}

PrinterSim::Impl::~Impl() {
    stop();
}

bool PrinterSim::Impl::start(std::string* error) {
    if (everStarted_) {
        *error = "a simulated printer can be started only once";
        return false;
    }
    if (std::string problem = CheckOptions(options_); !problem.empty()) {
        *error = problem;
        return false;
    }
    if (!prepareState(error) || !transcript_.openFile(options_.transcriptPath, error) ||
        !pty_.open(error)) {
        return false;
    }
    wake_ = platform::UniqueFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!wake_) {
        *error = std::string("cannot create an event descriptor: ") + std::strerror(errno);
        pty_.close();
        return false;
    }
    if (!options_.linkPath.empty() && !MakeDeviceLink(options_.linkPath, pty_.slaveName(), error)) {
        pty_.close();
        return false;
    }
    everStarted_ = true;
    started_ = true;
    markActive();
    thread_ = std::thread(&Impl::run, this);
    return true;
}

namespace {

// Stores the options' objects over those of the state.
bool StoreOptionObjects(const std::vector<ObjectEntry>& objects, PrinterState* state,
                        std::string* error) {
    for (const ObjectEntry& entry : objects) {
        if (std::string reason = StoreObject(state, entry.kind, entry.object); !reason.empty()) {
            *error = "cannot store " + std::string(ObjectKindName(entry.kind)) + " " +
                     std::to_string(entry.object.id) + ": " + reason;
            return false;
        }
    }
    return true;
}

}  // namespace

// Loads the saved state over the options' one, or writes the file when there is none yet, so
// that a state path that cannot be written is reported now and not lost at the end.
bool PrinterSim::Impl::prepareState(std::string* error) {
    PrinterState state = InitialState(options_);
    LoadResult result = LoadResult::Missing;
    if (!options_.statePath.empty()) {
        result = LoadStateFile(options_.statePath, &state, error);
        if (result == LoadResult::Failed)
            return false;
    }
    if (options_.family == Family::Brakenholm)
        MatchFlagsToProtocol(options_.line.protocol, &state.setup);
    // What the file holds; objects of the options stored over it are saved as changes.
    savedState_ = state;
    if (!StoreOptionObjects(options_.objects, &state, error))
        return false;
    if (!options_.statePath.empty() && result == LoadResult::Missing) {
        if (!SaveStateFile(options_.statePath, state, error))
            return false;
        savedState_ = state;
    }
    std::lock_guard lock(mutex_);
    engine_->setState(state);
    return true;
}

void PrinterSim::Impl::stop() {
    if (!started_)
        return;
    started_ = false;
    stopping_ = true;
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(wake_.get(), &one, sizeof one);
    if (thread_.joinable())
        thread_.join();
    {
        std::lock_guard lock(ptyMutex_);
        pty_.close();
    }
    transcript_.flushQuietRun(Clock::now(), true);
    saveStateIfChanged();
    if (!options_.linkPath.empty()) {
        RemoveDeviceLink(options_.linkPath, pty_.slaveName());
    }
}

std::string PrinterSim::Impl::devicePath() const {
    if (pty_.slaveName().empty())
        return {};
    return options_.linkPath.empty() ? pty_.slaveName() : options_.linkPath;
}

// poll() rather than FIONREAD: when nothing is queued yet, the kernel's poll first finishes
// passing on what the host side has written, so a byte the host wrote before calling settle()
// cannot be missed.
bool PrinterSim::Impl::hostInputWaiting() {
    std::lock_guard lock(ptyMutex_);
    if (!pty_.isOpen())
        return false;
    pollfd fd{pty_.master(), POLLIN, 0};
    return ::poll(&fd, 1, 0) > 0 && (fd.revents & POLLIN) != 0;
}

// The order matters: input is checked before the thread's state, and the thread marks itself
// busy before it reads and records its last deed before it says it is idle.
bool PrinterSim::Impl::settled() {
    if (!started_ || lineCut_)
        return true;
    if (hostInputWaiting())
        return false;
    const Clock::time_point last{Clock::duration(lastActivity_.load())};
    if (Clock::now() - last < kQuietTime)
        return false;
    const Activity activity = activity_.load();
    return activity == Activity::Idle || waitingOnHost(activity);
}

// Whether the printer still cannot go on before the host acts. A host that has read since the
// thread last looked makes a cut or more output imminent.
bool PrinterSim::Impl::waitingOnHost(Activity activity) {
    std::lock_guard lock(ptyMutex_);
    if (!pty_.isOpen())
        return false;
    switch (activity) {
        case Activity::HeldByHost:
            return true;  // only a <DC1> from the host changes that, and it is input
        case Activity::LineFull:
            return !MasterWritable(pty_.master());
        case Activity::CutAwaitingHost:
            return !SlaveInputEmpty(pty_.slave());
        case Activity::Idle:
        case Activity::Busy:
            break;
    }
    return false;
}

bool PrinterSim::Impl::settle() {
    Clock::rep lastSeen = lastActivity_.load();
    Clock::time_point since = Clock::now();
    while (!settled()) {
        const Clock::time_point now = Clock::now();
        if (const Clock::rep last = lastActivity_.load(); last != lastSeen) {
            lastSeen = last;
            since = now;
        } else if (now - since > kStuckLimit) {
            return false;
        }
        std::this_thread::sleep_for(kSettlePollInterval);
    }
    return true;
}

std::vector<std::string> PrinterSim::Impl::receivedMessages() const {
    std::lock_guard lock(mutex_);
    return engine_->messages();
}

void PrinterSim::Impl::clearMessages() {
    std::lock_guard lock(mutex_);
    engine_->clearMessages();
}

void PrinterSim::Impl::setFaults(const Faults& faults) {
    std::lock_guard lock(mutex_);
    engine_->setFaults(faults);
}

void PrinterSim::Impl::setLine(const LineSettings& line) {
    std::lock_guard lock(mutex_);
    line_ = line;
    engine_->setLine(line);
}

LineSettings PrinterSim::Impl::line() const {
    std::lock_guard lock(mutex_);
    return line_;
}

void PrinterSim::Impl::setFrameCharacters(char preamble, char postamble) {
    std::lock_guard lock(mutex_);
    engine_->setFrameCharacters(preamble, postamble);
}

PrinterSim::PrinterSim(Options options) : impl_(std::make_unique<Impl>(std::move(options))) {}
PrinterSim::~PrinterSim() = default;
bool PrinterSim::start(std::string* error) {
    std::string ignored;
    return impl_->start(error != nullptr ? error : &ignored);
}
void PrinterSim::stop() {
    impl_->stop();
}
std::string PrinterSim::devicePath() const {
    return impl_->devicePath();
}
bool PrinterSim::settle() {
    return impl_->settle();
}
// What was exchanged is read once the printer has taken in what the host wrote, so a reader
// never sees bytes the printer has not yet had time to act on.
std::vector<TranscriptEntry> PrinterSim::transcript() const {
    impl_->settle();
    return impl_->transcript().entries();
}
std::string PrinterSim::transcriptText() const {
    impl_->settle();
    return impl_->transcript().text();
}
void PrinterSim::clearTranscript() {
    impl_->settle();
    impl_->transcript().clear();
    impl_->clearMessages();
}
std::vector<std::string> PrinterSim::receivedMessages() const {
    impl_->settle();
    return impl_->receivedMessages();
}
void PrinterSim::setFaults(const Faults& faults) {
    impl_->setFaults(faults);
}
void PrinterSim::setLine(const LineSettings& line) {
    impl_->setLine(line);
}
LineSettings PrinterSim::line() const {
    return impl_->line();
}
void PrinterSim::setFrameCharacters(char preamble, char postamble) {
    impl_->setFrameCharacters(preamble, postamble);
}

}  // namespace tarvo::sim

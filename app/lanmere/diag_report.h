// The diagnostics report of an escape-language printer: the sensor and print-head values its
// test-and-service mode measures, read once or again and again (auto mode).
//
// Auto mode re-arms a one-shot timer after each reading instead of running a periodic one, so
// a reading slower than the interval is never started again while it runs, and it stops at the
// first reading that fails, saying why, instead of failing at every tick on a dead printer.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "shell/prompt.h"

namespace tarvo::app::lanmere {

// The report's fields, in the order the report shows them.
enum class DiagField {
    Gap,
    Mark,
    LabelTaken,
    HeadTemperature,
    LabelPath,  // only on the models with a label-path sensor
    Supply40V,
    HeadSupply,
    HeadTestMax,
    HeadTestMin,
    HeadTestAverage,
};
inline constexpr int kDiagFieldCount = 10;

// The field's label ("Gap", "Label path", ...) and its name in JSON ("gap", "labelPath", ...).
std::string_view DiagFieldLabel(DiagField field);
std::string_view DiagFieldKey(DiagField field);

// What a field shows for `value`: blank for a negative value (not measured; the field is then
// disabled), "OPEN" or "CLOSED" for the label path (any value but 0 is open), else the decimal.
std::string DiagFieldText(DiagField field, std::int32_t value);

struct DiagReading {
    std::array<std::int32_t, kDiagFieldCount> values{};  // -1: not measured
    // Empty when the reading succeeded; otherwise why not (the port, a missing reply, or a
    // printer that measured nothing at all).
    std::string failure;
    bool ok() const { return failure.empty(); }
};

// One reading through the kernel's test service on context `ctx` (PCUTestService: the printer
// enters its test-and-service mode and always leaves it again).
DiagReading ReadDiagReport(int ctx);

// The timer auto mode runs on: one shot at a time.
class DiagTimer {
  public:
    virtual ~DiagTimer() = default;
    // Calls the owner's Tick once after `ms`; a shot already armed is replaced.
    virtual void StartOnce(int ms) = 0;
    virtual void Stop() = 0;
};

inline constexpr int kDiagIntervalMs = 1000;

// The report's buttons (Manual, Auto, Stop) and their status texts. Messages go to `prompt`
// (caption "Diagnostics", exclamation icon).
class DiagAutoMode {
  public:
    enum class State { Off, SettingUp, On };

    struct Hooks {
        std::function<DiagReading()> read;               // one reading
        std::function<void(const DiagReading&)> show;    // fills the fields
        std::function<void(const std::string&)> status;  // the status text ("" clears it)
    };

    // `intervalMs` (at least 1) between the end of one reading and the start of the next.
    DiagAutoMode(Prompt& prompt, DiagTimer& timer, Hooks hooks, int intervalMs = kDiagIntervalMs);

    // "Manual": one reading, unless auto mode is on (then says so).
    void Manual();
    // "Auto": one reading, then one every interval until Stop, Close or a failure.
    void Auto();
    // "Stop": ends auto mode (says so when it is not on).
    void Stop();
    // The timer's shot: the next reading, then the timer is armed again.
    void Tick();
    // The dialog closes: auto mode ends without a word.
    void Close();

    State state() const { return state_; }
    // The reason auto mode last stopped by itself (empty when it did not).
    const std::string& stoppedBecause() const { return stoppedBecause_; }

  private:
    DiagReading readAndShow();
    void stopAfterFailure(const std::string& failure);
    void tell(const std::string& text);

    Prompt& prompt_;
    DiagTimer& timer_;
    Hooks hooks_;
    int intervalMs_;
    State state_ = State::Off;
    bool reading_ = false;  // a reading is under way (a nested event may call in)
    std::string stoppedBecause_;
};

}  // namespace tarvo::app::lanmere

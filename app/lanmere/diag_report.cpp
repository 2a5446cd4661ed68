#include "lanmere/diag_report.h"

#include <algorithm>
#include <utility>

#include "tarvo/kernel.h"

namespace tarvo::app::lanmere {
namespace {

struct FieldRow {
    const char* label;
    const char* key;
    std::uint16_t item;  // the test-and-service item that measures it
};

constexpr std::array<FieldRow, kDiagFieldCount> kFields = {{
    {"Gap", "gap", PCU_SERVICE_G},
    {"Mark", "mark", PCU_SERVICE_M},
    {"Label taken", "labelTaken", PCU_SERVICE_P},
    {"Print head temperature", "headTemperature", PCU_SERVICE_T},
    {"Label path", "labelPath", PCU_SERVICE_L},
    {"40 V supply", "supply40V", PCU_SERVICE_U},
    {"Print head supply", "headSupply", PCU_SERVICE_V},
    {"Head test maximum", "headTestMax", PCU_SERVICE_S1},
    {"Head test minimum", "headTestMin", PCU_SERVICE_S2},
    {"Head test average", "headTestAverage", PCU_SERVICE_S3},
}};

const FieldRow& RowOf(DiagField field) {
    return kFields[static_cast<std::size_t>(field)];
}

constexpr const char* kCaption = "Diagnostics";

}  // namespace

std::string_view DiagFieldLabel(DiagField field) {
    return RowOf(field).label;
}

std::string_view DiagFieldKey(DiagField field) {
    return RowOf(field).key;
}

std::string DiagFieldText(DiagField field, std::int32_t value) {
    if (value < 0)
        return {};
    if (field == DiagField::LabelPath)
        return value != 0 ? "OPEN" : "CLOSED";
    return std::to_string(value);
}

DiagReading ReadDiagReport(int ctx) {
    DiagReading reading;
    reading.values.fill(-1);
    std::array<std::uint16_t, kDiagFieldCount> items{};
    for (std::size_t i = 0; i < items.size(); ++i)
        items[i] = kFields[i].item;
    auto count = static_cast<std::uint16_t>(items.size());
    const int rc = PCUTestService(ctx, items.data(), reading.values.data(), &count);
    if (rc != PCU_OK) {
        reading.failure = PCUErrStr(ctx);
        if (reading.failure.empty())
            reading.failure = "the test service failed (code " + std::to_string(rc) + ")";
        return reading;
    }
    // Some models may skip a reply without an error; one that answered nothing at all is gone.
    const bool anyValue =
        std::any_of(reading.values.begin(), reading.values.end(), [](auto v) { return v >= 0; });
    if (count > 0 && !anyValue)
        reading.failure = "The printer did not answer any test-and-service query.";
    return reading;
}

DiagAutoMode::DiagAutoMode(Prompt& prompt, DiagTimer& timer, Hooks hooks, int intervalMs)
    : prompt_(prompt),
      timer_(timer),
      hooks_(std::move(hooks)),
      intervalMs_(std::max(1, intervalMs)) {}

void DiagAutoMode::tell(const std::string& text) {
    prompt_.Tell(kCaption, text, PromptIcon::Exclamation);
}

DiagReading DiagAutoMode::readAndShow() {
    reading_ = true;
    DiagReading reading = hooks_.read();
    reading_ = false;
    hooks_.show(reading);
    return reading;
}

void DiagAutoMode::stopAfterFailure(const std::string& failure) {
    timer_.Stop();
    state_ = State::Off;
    stoppedBecause_ = failure;
    hooks_.status("AUTO MODE STOPPED");
    tell("Auto mode stopped: " + failure);
}

void DiagAutoMode::Manual() {
    if (reading_)
        return;
    if (state_ != State::Off) {
        tell("Auto mode is currently engaged. To terminate, select STOP pushbutton.");
        return;
    }
    hooks_.status("TEST IN PROGRESS");
    const DiagReading reading = readAndShow();
    if (reading.ok()) {
        hooks_.status("");
    } else {
        hooks_.status("TEST FAILED");
        tell(reading.failure);
    }
}

void DiagAutoMode::Auto() {
    if (reading_)
        return;
    if (state_ != State::Off) {
        tell("Auto mode is already engaged.");
        return;
    }
    state_ = State::SettingUp;
    stoppedBecause_.clear();
    hooks_.status("SETTING UP...");
    const DiagReading reading = readAndShow();
    if (state_ != State::SettingUp)
        return;  // stopped or closed while the reading ran
    if (!reading.ok()) {
        stopAfterFailure(reading.failure);
        return;
    }
    state_ = State::On;
    hooks_.status("AUTO MODE ON");
    timer_.StartOnce(intervalMs_);
}

void DiagAutoMode::Stop() {
    if (state_ == State::Off) {
        tell("Auto mode is not engaged.");
        return;
    }
    timer_.Stop();
    state_ = State::Off;
    hooks_.status("");
}

void DiagAutoMode::Tick() {
    if (state_ != State::On || reading_)
        return;
    const DiagReading reading = readAndShow();
    if (state_ != State::On)
        return;  // stopped or closed while the reading ran
    if (!reading.ok()) {
        stopAfterFailure(reading.failure);
        return;
    }
    timer_.StartOnce(intervalMs_);
}

void DiagAutoMode::Close() {
    timer_.Stop();
    state_ = State::Off;
}

}  // namespace tarvo::app::lanmere

// PCUTestService: sensor and test values read in the printer's test-and-service mode.
#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "port/wait.h"
#include "services/service_link.h"
#include "services/service_reply.h"
#include "session/export_boundary.h"
#include "session/kernel_state.h"
#include "tarvo/base/model_capabilities.h"
#include "tarvo/port.h"
#include "tarvo/services.h"

namespace tarvo {
namespace {

constexpr std::array<char, PCU_SERVICE_ITEMS> kLetters = {'G', 'L', 'M', 'P', 'S',
                                                          'S', 'S', 'T', 'U', 'V'};
using ItemMask = std::array<bool, PCU_SERVICE_ITEMS>;
constexpr ItemMask kBasic = {true, false, true, true, false, false, false, true, false, false};
constexpr ItemMask kWithL = {true, true, true, true, false, false, false, true, false, false};
constexpr ItemMask kAll = {true, true, true, true, true, true, true, true, true, true};
constexpr ItemMask kAllButUV = {true, true, true, true, true, true, true, true, false, false};
constexpr ItemMask kNone = {};

constexpr std::size_t kReplySize = 256;
constexpr int kUnknown = -1;
constexpr int kLeaveWaitMs = 50;
// How long a model with a slow S sensor measures before it answers.
constexpr int kSlowSensorMs = 6000;

const ItemMask& ItemsOf(int model) {
    switch (CapabilitiesOf(model).serviceItems) {
        case ServiceItems::kBasic:
            return kBasic;
        case ServiceItems::kWithL:
            return kWithL;
        case ServiceItems::kAllButUV:
            return kAllButUV;
        case ServiceItems::kAll:
            return kAll;
        case ServiceItems::kNone:
            break;
    }
    return kNone;
}

// These models may stay silent on a letter, and the silence means nothing.
bool MaySkipReplies(int model) {
    return CapabilitiesOf(model).serviceRepliesOptional;
}

bool SlowSensor(int model) {
    return CapabilitiesOf(model).slowServiceS;
}

class ServiceSession {
  public:
    ServiceSession(Context& context, int model) : link_(context), model_(model) {}

    ServiceLink& link() { return link_; }

    // The value of `item`, asking the printer when needed.
    std::int32_t value(int item) {
        if (!ItemsOf(model_)[static_cast<std::size_t>(item)])
            return kUnknown;
        const char letter = kLetters[static_cast<std::size_t>(item)];
        if (letter == 'S') {
            if (!sensor_)
                sensor_ = askSensor();
            return (*sensor_)[static_cast<std::size_t>(item - PCU_SERVICE_S1)];
        }
        const std::optional<std::string> reply = ask(letter);
        const std::optional<std::int32_t> n = reply ? ServiceNumber(*reply) : std::nullopt;
        if (!n)
            missing();
        return n.value_or(kUnknown);
    }

    int sent() const { return sent_; }
    bool replyMissing() const { return replyMissing_; }

  private:
    std::array<std::int32_t, 3> askSensor() {
        const std::optional<std::string> reply = ask('S');
        const auto numbers = reply ? SensorNumbers(*reply) : std::nullopt;
        if (!numbers)
            missing();
        return numbers.value_or(std::array<std::int32_t, 3>{kUnknown, kUnknown, kUnknown});
    }

    // Sends the letter and reads its reply, acknowledges skipped; nullopt when none came.
    std::optional<std::string> ask(char letter) {
        link_.send(std::string(1, letter));
        ++sent_;
        if (!SlowSensor(model_))
            PCUWait(100);
        else if (letter == 'S')
            WaitMs(kSlowSensorMs);
        else
            PCUWait(200);
        std::string reply;
        if (MaySkipReplies(model_)) {
            PCUWait(100);
            reply = link_.read(kReplySize, 15, 2500);
        } else {
            reply = link_.read(kReplySize, 5, 500);
        }
        const std::string_view text = SkipAcknowledges(reply);
        if (text.empty())
            return std::nullopt;
        return std::string(text);
    }

    void missing() {
        if (!MaySkipReplies(model_))
            replyMissing_ = true;
    }

    ServiceLink link_;
    int model_;
    std::optional<std::array<std::int32_t, 3>> sensor_;
    int sent_ = 0;
    bool replyMissing_ = false;
};

int TestService(Context& context, int model, const std::uint16_t* items, std::int32_t* values,
                std::uint16_t* count) {
    const int requested = *count;
    *count = 0;
    std::fill(values, values + requested, kUnknown);
    ServiceSession session(context, model);
    session.link().send("<ESC>T");
    if (session.link().portRefused())
        return session.link().failure();
    for (int i = 0; i < requested; ++i)
        values[i] = session.value(items[i]);
    // Whatever happened, the printer goes back to printing.
    session.link().send("R");
    WaitMs(kLeaveWaitMs);
    *count = static_cast<std::uint16_t>(session.sent());
    const int closed = session.link().close();
    if (session.replyMissing()) {
        context.recordError(PCU_ERR_TEST_SERVICE, 0);
        return PCU_ERR_TEST_SERVICE;
    }
    return closed;
}

}  // namespace
}  // namespace tarvo

using namespace tarvo;

TARVO_API int PCUTestService(int ctx, const uint16_t* items, int32_t* values, uint16_t* count) {
    return RunExport(ctx, [&](Context& context) -> int {
        if (count == nullptr || (*count > 0 && (items == nullptr || values == nullptr)))
            return PCU_ERR_ARGUMENT;
        for (int i = 0; i < *count; ++i) {
            if (items[i] >= PCU_SERVICE_ITEMS)
                return PCU_ERR_ARGUMENT;
        }
        const int model = context.settings.model;
        return TestService(context, model, items, values, count);
    });
}

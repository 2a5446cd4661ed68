// PCUGetFmtLoc: where a new format should go.
#include <bitset>
#include <charconv>
#include <cstdint>
#include <limits>
#include <new>
#include <string>

#include "objects/directory_list.h"
#include "port/profile.h"
#include "session/export_boundary.h"
#include "tarvo/directory.h"

namespace tarvo {
namespace {

constexpr int kModel5240 = 4;
constexpr int kModel5040 = 5;
constexpr int kFormatSlots = 100;  // these models number their formats 1..100

// The lowest number from 1 to 100 that no format of the list uses; 0 when all are taken. The
// list is searched whole, so an unsorted list or a missing number 1 is no trap.
int LowestFreeFormat(cl_node* formats) {
    std::bitset<kFormatSlots + 1> used;
    for (const FormatInfo* format : Entries<FormatInfo>(formats)) {
        if (format->id >= 1 && format->id <= kFormatSlots)
            used.set(format->id);
    }
    for (int n = 1; n <= kFormatSlots; ++n) {
        if (!used.test(static_cast<std::size_t>(n)))
            return n;
    }
    return 0;
}

// The profile's FormatLoc as a format number; -1 when it is not one.
int ConfiguredFormatLocation() {
    const std::string text = ProfileValue("FormatLoc", "19");
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 0 ||
        value > std::numeric_limits<std::uint16_t>::max()) {
        return -1;
    }
    return value;
}

// The proposed location, or -1 when there is none.
int ProposedLocation(Context& context) {
    const int model = context.settings.model;
    if (model != kModel5240 && model != kModel5040)
        return ConfiguredFormatLocation();
    const int free = LowestFreeFormat(ListOf<FormatInfo>(context));
    return free > 0 ? free : -1;
}

}  // namespace
}  // namespace tarvo

using namespace tarvo;

TARVO_API int PCUGetFmtLoc(int ctx, int* location) {
    return RunExportOr(
        0, ctx,
        [&](Context& context) {
            if (location == nullptr)
                return 0;
            const int found = ProposedLocation(context);
            if (found < 0)
                return 0;
            *location = found;
            return 1;
        },
        WhileBusy::Run);
}

// The configuration record by setting index, the download flags and the directory lists:
// exports that touch no printer.
#include <cstring>

#include "config/setting_access.h"
#include "tarvo/base/model_tables.h"
#include "session/export_boundary.h"
#include "tarvo/config.h"

namespace tarvo {
namespace {

bool ArraysUsable(int count, const void* a, const void* b, const void* c) {
    return count >= 0 && (count == 0 || (a != nullptr && b != nullptr && c != nullptr));
}

const unsigned char* SlotOf(const void* values, int i) {
    return static_cast<const unsigned char*>(values) + 4 * static_cast<std::size_t>(i);
}

// A model value in a slot that names no model at all would leave the record pointing nowhere.
bool ModelsAreKnown(int count, const int* settings, const void* values) {
    for (int i = 0; i < count; ++i) {
        if (settings[i] != 0)
            continue;
        ConfigRecord probe;
        unsigned char slot[4];
        std::memcpy(slot, SlotOf(values, i), sizeof slot);
        WriteSetting(probe, 0, slot);
        if (probe.model < 0 || probe.model >= kModelCount)
            return false;
    }
    return true;
}

}  // namespace
}  // namespace tarvo

using namespace tarvo;

TARVO_API int PCUGetParms(int ctx, int count, const int* settings, int* kinds, int* values) {
    return RunExport(
        ctx,
        [&](Context& context) -> int {
            if (!ArraysUsable(count, settings, kinds, values))
                return PCU_ERR_ARGUMENT;
            for (int i = 0; i < count; ++i) {
                kinds[i] = SettingParmKind(settings[i]);
                values[i] = ReadSetting(context.settings, settings[i]);
            }
            return PCU_OK;
        },
        WhileBusy::Run);
}

TARVO_API int PCUPutParms(int ctx, int count, const int* settings, const void* values) {
    return RunExport(
        ctx,
        [&](Context& context) -> int {
            if (!ArraysUsable(count, settings, values, values) ||
                !ModelsAreKnown(count, settings, values))
                return PCU_ERR_ARGUMENT;
            for (int i = 0; i < count; ++i) {
                unsigned char slot[4];
                std::memcpy(slot, SlotOf(values, i), sizeof slot);
                WriteSetting(context.settings, settings[i], slot);
            }
            return PCU_OK;
        },
        WhileBusy::Run);
}

TARVO_API int PCUSetDnldFlags(int ctx, int f1, int f2, int f3, int f4) {
    return RunExportOr(
        0, ctx,
        [&](Context& context) {
            context.downloadFlags = {f1, f2, f3, f4};
            return 1;
        },
        WhileBusy::Run);
}

TARVO_API int PCUClearDirectoryInfo(int ctx) {
    // A download in progress walks these lists; clearing them under it is refused.
    return RunExport(ctx, [](Context& context) {
        cl_clrlist(context.fontList.head());
        cl_clrlist(context.formatList.head());
        cl_clrlist(context.graphicList.head());
        return PCU_OK;
    });
}

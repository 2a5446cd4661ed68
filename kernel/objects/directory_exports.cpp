// The host-side directory functions: counting, listing, reading, storing and withdrawing entries
// of a context's four object lists. None of them talks to a printer.
#include <cstring>
#include <type_traits>

#include "objects/directory_list.h"
#include "port/bounded_copy.h"
#include "session/export_boundary.h"
#include "tarvo/directory.h"

namespace tarvo {
namespace {

using Description = char[PCU_DESCRIPTION_SIZE];

template <class Record>
int GetCount(int ctx, std::uint16_t* count) {
    return RunExport(
        ctx,
        [&](Context& context) -> int {
            if (count == nullptr)
                return PCU_ERR_ARGUMENT;
            *count = EntryCount(ListOf<Record>(context));
            return PCU_OK;
        },
        WhileBusy::Run);
}

void CopyText(const char* text, Description* out, std::size_t i) {
    if (out != nullptr)
        CopyBounded(text, out[i], sizeof out[i]);
}

template <class Record>
int GetIds(int ctx, std::uint16_t* ids, Description* descriptions, Description* newDescriptions,
           std::uint16_t* count) {
    return RunExport(
        ctx,
        [&](Context& context) -> int {
            if (ids == nullptr || count == nullptr)
                return PCU_ERR_ARGUMENT;
            const auto entries = Entries<Record>(ListOf<Record>(context));
            std::size_t copied = 0;
            for (; copied < entries.size() && copied < *count; ++copied) {
                const Record& entry = *entries[copied];
                ids[copied] = entry.id;
                if constexpr (!std::is_same_v<Record, PageInfo>) {
                    CopyText(entry.description, descriptions, copied);
                }
                if constexpr (std::is_same_v<Record, FontInfo> ||
                              std::is_same_v<Record, GraphicInfo>) {
                    CopyText(entry.newDescription, newDescriptions, copied);
                }
            }
            *count = static_cast<std::uint16_t>(copied);
            return PCU_OK;
        },
        WhileBusy::Run);
}

template <class Record>
int GetInfo(Context& context, std::uint16_t number, Record* out) {
    if (out == nullptr)
        return PCU_ERR_ARGUMENT;
    const Record* entry = FindEntry<Record>(ListOf<Record>(context), number);
    if (entry == nullptr)
        return PCU_ERR_NO_ENTRY;
    if constexpr (std::is_same_v<Record, FontInfo>) {
        // The double-byte ranges only travel into the kernel; the caller's stay as they were.
        unsigned char ranges[PCU_DBCS_RANGES_SIZE];
        std::memcpy(ranges, out->dbcsRanges, sizeof ranges);
        *out = *entry;
        std::memcpy(out->dbcsRanges, ranges, sizeof ranges);
    } else {
        *out = *entry;
    }
    return PCU_OK;
}

template <class Record>
int PutInfo(Context& context, std::uint16_t number, const Record* in) {
    if (in == nullptr)
        return PCU_ERR_ARGUMENT;
    if constexpr (!std::is_same_v<Record, PageInfo>) {
        // The new description goes into the download command as it is.
        if (!IsSendableDescriptionField(in->newDescription))
            return PCU_ERR_ARGUMENT;
    }
    return PutEntry(ListOf<Record>(context), number, *in);
}

}  // namespace
}  // namespace tarvo

using namespace tarvo;

TARVO_API int PCUGetFontCount(int ctx, uint16_t* count) {
    return GetCount<FontInfo>(ctx, count);
}
TARVO_API int PCUGetGraphicCount(int ctx, uint16_t* count) {
    return GetCount<GraphicInfo>(ctx, count);
}
TARVO_API int PCUGetFormatCount(int ctx, uint16_t* count) {
    return GetCount<FormatInfo>(ctx, count);
}
TARVO_API int PCUGetPageCount(int ctx, uint16_t* count) {
    return GetCount<PageInfo>(ctx, count);
}

TARVO_API int PCUGetFontIDs(int ctx, uint16_t* ids, char (*descriptions)[PCU_DESCRIPTION_SIZE],
                            char (*newDescriptions)[PCU_DESCRIPTION_SIZE], uint16_t* count) {
    return GetIds<FontInfo>(ctx, ids, descriptions, newDescriptions, count);
}
TARVO_API int PCUGetGraphicIDs(int ctx, uint16_t* ids, char (*descriptions)[PCU_DESCRIPTION_SIZE],
                               char (*newDescriptions)[PCU_DESCRIPTION_SIZE], uint16_t* count) {
    return GetIds<GraphicInfo>(ctx, ids, descriptions, newDescriptions, count);
}
TARVO_API int PCUGetFormatIDs(int ctx, uint16_t* ids, char (*descriptions)[PCU_DESCRIPTION_SIZE],
                              uint16_t* count) {
    return GetIds<FormatInfo>(ctx, ids, descriptions, nullptr, count);
}
TARVO_API int PCUGetPageIDs(int ctx, uint16_t* ids, uint16_t* count) {
    return GetIds<PageInfo>(ctx, ids, nullptr, nullptr, count);
}

TARVO_API int PCUGetFontInfo(int ctx, uint16_t number, FontInfo* out) {
    return RunExport(
        ctx, [&](Context& context) { return GetInfo(context, number, out); }, WhileBusy::Run);
}
TARVO_API int PCUGetGraphicInfo(int ctx, uint16_t number, GraphicInfo* out) {
    return RunExport(
        ctx, [&](Context& context) { return GetInfo(context, number, out); }, WhileBusy::Run);
}
TARVO_API int PCUGetFormatInfo(int ctx, uint16_t number, FormatInfo* out) {
    return RunExport(
        ctx, [&](Context& context) { return GetInfo(context, number, out); }, WhileBusy::Run);
}
TARVO_API int PCUGetPageInfo(int ctx, uint16_t number, PageInfo* out) {
    return RunExport(
        ctx, [&](Context& context) { return GetInfo(context, number, out); }, WhileBusy::Run);
}

TARVO_API int PCUGetFontPrintStatus(int ctx, uint16_t number, int16_t* status) {
    return RunExport(
        ctx,
        [&](Context& context) -> int {
            if (status == nullptr)
                return PCU_ERR_ARGUMENT;
            const FontInfo* font = FindEntry<FontInfo>(ListOf<FontInfo>(context), number);
            if (font == nullptr)
                return PCU_ERR_NO_ENTRY;
            *status = font->status;
            return PCU_OK;
        },
        WhileBusy::Run);
}

TARVO_API int PCUPutFontInfo(int ctx, uint16_t number, const FontInfo* in) {
    return RunExport(ctx, [&](Context& context) { return PutInfo(context, number, in); });
}
TARVO_API int PCUPutGraphicInfo(int ctx, uint16_t number, const GraphicInfo* in) {
    return RunExport(ctx, [&](Context& context) { return PutInfo(context, number, in); });
}
TARVO_API int PCUPutFormatInfo(int ctx, uint16_t number, const FormatInfo* in) {
    return RunExport(ctx, [&](Context& context) { return PutInfo(context, number, in); });
}
TARVO_API int PCUPutPageInfo(int ctx, uint16_t number, const PageInfo* in) {
    return RunExport(ctx, [&](Context& context) { return PutInfo(context, number, in); });
}

TARVO_API int PCUDelFont(int ctx, uint16_t number) {
    return RunExport(ctx, [&](Context& context) {
        return WithdrawEntry<FontInfo>(ListOf<FontInfo>(context), number);
    });
}
TARVO_API int PCUDelGraphic(int ctx, uint16_t number) {
    return RunExport(ctx, [&](Context& context) {
        return WithdrawEntry<GraphicInfo>(ListOf<GraphicInfo>(context), number);
    });
}
TARVO_API int PCUDelFormat(int ctx, uint16_t number) {
    return RunExport(ctx, [&](Context& context) {
        return WithdrawEntry<FormatInfo>(ListOf<FormatInfo>(context), number);
    });
}
TARVO_API int PCUDelPage(int ctx, uint16_t number) {
    return RunExport(ctx, [&](Context& context) {
        return WithdrawEntry<PageInfo>(ListOf<PageInfo>(context), number);
    });
}

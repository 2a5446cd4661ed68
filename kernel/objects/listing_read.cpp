// Reading the directory listings from the printer: PCUGetFonts, PCUGetGraphics, PCUGetFormats
// and PCUGetPages.
#include "objects/directory_list.h"
#include "objects/listing_parser.h"
#include "objects/printer_query.h"
#include "session/export_boundary.h"
#include "tarvo/directory.h"
#include "tarvo/session.h"

namespace tarvo {
namespace {

template <class Record>
using ListingParser = Listing<Record> (*)(std::string_view, std::size_t);

template <class Record>
struct ListingRequest {
    const char* command;
    ListingParser<Record> parse;
    bool silenceIsError;  // no answer at all is a failure, not an empty directory
};

// A printer with nothing of a kind sends nothing, which is also what a printer that has
// stopped answering sends, and what a busy one sends before its answer comes late: only one
// that still answers a ping holds an empty directory. Its answer to the ping also shows that it
// has caught up with everything sent before, so the listing is asked once more: a late answer
// to the first request went with the ping, and this one comes in time.
QueryResult AskAgainIfSilent(int ctx, Context& context, const char* command, QueryResult answer) {
    if (!answer.reply.empty() || answer.status == PCU_ERR_OPEN)
        return answer;
    if (PCUPing(ctx) != 1) {
        answer.status = PCU_ERR_NO_ANSWER;
        return answer;
    }
    return QueryPrinter(context, command);
}

template <class Record>
int StoreListing(Context& context, const Listing<Record>& listing) {
    cl_node* head = ListOf<Record>(context);
    for (const Record& entry : listing.entries) {
        if (!AppendEntry(head, entry))
            return PCU_ERR_NO_MEMORY;
    }
    if (listing.badLines > 0)
        context.recordError(PCU_ERR_DIRECTORY_ENTRY, 0);
    return PCU_OK;
}

template <class Record>
int ReadListing(int ctx, std::uint16_t* count, const ListingRequest<Record>& request) {
    return RunExport(ctx, [&](Context& context) -> int {
        if (count == nullptr)
            return PCU_ERR_ARGUMENT;
        *count = 0;
        // Whatever the printer says, the host-side changes of this kind are gone.
        cl_clrlist(ListOf<Record>(context));
        const QueryResult answer =
            AskAgainIfSilent(ctx, context, request.command, QueryPrinter(context, request.command));
        if (answer.status == PCU_ERR_OPEN) {
            context.recordError(PCU_ERR_OPEN, answer.sysError);
            return PCU_ERR_OPEN;
        }
        if (answer.reply.empty()) {
            if (!request.silenceIsError && answer.status != PCU_ERR_NO_ANSWER)
                return answer.status;
            context.recordError(PCU_ERR_NO_ANSWER, 0);
            return PCU_ERR_NO_ANSWER;
        }
        // The printer frames every line, whatever the protocol; the characters are the ones
        // the context holds (from the profile, or as identification found them).
        const std::size_t step =
            ListingLineStep(context.comm.preamble != '\0', context.comm.postamble != '\0');
        if (const int stored = StoreListing(context, request.parse(answer.reply, step));
            stored != PCU_OK) {
            return stored;
        }
        *count = EntryCount(ListOf<Record>(context));
        return answer.status;
    });
}

}  // namespace
}  // namespace tarvo

using namespace tarvo;

TARVO_API int PCUGetFonts(int ctx, uint16_t* count) {
    return ReadListing<FontInfo>(ctx, count, {"<ESC>v", ParseFontListing, true});
}

TARVO_API int PCUGetGraphics(int ctx, uint16_t* count) {
    return ReadListing<GraphicInfo>(ctx, count, {"<ESC>u", ParseGraphicListing, false});
}

TARVO_API int PCUGetFormats(int ctx, uint16_t* count) {
    return ReadListing<FormatInfo>(ctx, count, {"<ESC>x", ParseFormatListing, false});
}

TARVO_API int PCUGetPages(int ctx, uint16_t* count) {
    return ReadListing<PageInfo>(ctx, count, {"<ESC>y", ParsePageListing, false});
}

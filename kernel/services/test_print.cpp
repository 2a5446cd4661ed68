// PCUTestPrint: built-in test labels, stored formats and pages, and labels composed on the fly
// as a temporary format that is printed once and erased.
#include <bitset>
#include <charconv>
#include <optional>
#include <string>

#include "objects/directory_list.h"
#include "objects/listing_parser.h"
#include "objects/printer_query.h"
#include "port/profile.h"
#include "port/wait.h"
#include "services/service_link.h"
#include "services/test_labels.h"
#include "session/export_boundary.h"
#include "session/kernel_state.h"
#include "tarvo/models.h"
#include "tarvo/services.h"

namespace tarvo {
namespace {

constexpr int kLastFormat = 99;  // the highest format number a label format may take
constexpr int kSettleMs = 100;   // the printer finishes its label before the line closes

struct TestRequest {
    int kind;
    int labelSize;
    int selector;
    int fontNumber;
    int pointSize;
    int graphicNumber;
    int symbology;
};

bool IsComposed(int kind) {
    return kind == PCU_TEST_FONT || kind == PCU_TEST_GRAPHIC || kind == PCU_TEST_BARCODE;
}

const char* BuiltInLetter(int selector) {
    switch (selector) {
        case PCU_BUILT_IN_HARDWARE:
            return "h;";
        case PCU_BUILT_IN_QUALITY:
            return "Q;";
        case PCU_BUILT_IN_SOFTWARE:
            return "C;";
        default:
            return "s;";
    }
}

int CheckRequest(const Context& context, const TestRequest& r) {
    if (r.kind < PCU_TEST_FORMAT || r.kind > PCU_TEST_BUILT_IN)
        return PCU_ERR_ARGUMENT;
    if (IsComposed(r.kind) && OriginsFor(r.labelSize, context.settings.emulation) == nullptr)
        return PCU_ERR_ARGUMENT;
    if (r.kind == PCU_TEST_BARCODE && r.symbology >= PCU_BARCODE_SAMPLES)
        return PCU_ERR_ARGUMENT;
    return PCU_OK;
}

// The profile's FormatLoc when it is a format number 1..99; nullopt otherwise.
std::optional<int> PreferredFormat() {
    const std::string text = ProfileValue("FormatLoc", "1");
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 1 || value > kLastFormat)
        return std::nullopt;
    return value;
}

struct FormatChoice {
    int status = PCU_OK;
    int number = 0;
};

FormatChoice NoFreeFormat(Context& context) {
    context.recordError(PCU_ERR_NO_FREE_FORMAT, 0);
    return {PCU_ERR_NO_FREE_FORMAT, 0};
}

// Chooses the temporary format's number from the printer's listing as it is now, so that a
// stored format is never overwritten, whatever the context's own list says. The listing is
// parsed apart from the context: its format list (and what the user has queued there) stays.
// Without a listing nothing is known to be free: a model that cannot list its formats, or a
// printer that answers neither the listing nor the ping after it, gets no temporary format. (A
// printer that holds no formats lists nothing at all, so an empty listing counts only from a
// printer that is still answering.)
FormatChoice ChooseTemporaryFormat(int ctx, Context& context) {
    if (propDirCmd(context.settings.model) == 0)
        return NoFreeFormat(context);
    const QueryResult answer = QueryPrinter(context, "<ESC>x");
    if (answer.status == PCU_ERR_OPEN) {
        context.recordError(PCU_ERR_OPEN, answer.sysError);
        return {PCU_ERR_OPEN, 0};
    }
    if (answer.reply.empty() && !PrinterAnswers(ctx))
        return NoFreeFormat(context);
    const std::size_t step =
        ListingLineStep(context.comm.preamble != '\0', context.comm.postamble != '\0');
    std::bitset<kLastFormat + 1> taken;
    for (const FormatInfo& format : ParseFormatListing(answer.reply, step).entries) {
        if (format.id >= 1 && format.id <= kLastFormat)
            taken.set(format.id);
    }
    if (const std::optional<int> preferred = PreferredFormat(); preferred && !taken[*preferred])
        return {PCU_OK, *preferred};
    for (int n = 1; n <= kLastFormat; ++n) {
        if (!taken[static_cast<std::size_t>(n)])
            return {PCU_OK, n};
    }
    return NoFreeFormat(context);
}

// The description a font label shows: the printer's name for a font it stores, when that name
// can go into a field's data unchanged; otherwise none.
std::string FontDescription(Context& context, int fontNumber) {
    const FontInfo* font =
        FindEntry<FontInfo>(ListOf<FontInfo>(context), static_cast<std::uint16_t>(fontNumber));
    if (font == nullptr || font->status == 0 || !IsSendableDescriptionField(font->description))
        return {};
    return font->description;
}

std::string ComposedFields(Context& context, const TestRequest& r) {
    const FieldOrigins& origins = *OriginsFor(r.labelSize, context.settings.emulation);
    switch (r.kind) {
        case PCU_TEST_FONT:
            return FontLabelFields(origins, r.fontNumber, FontDescription(context, r.fontNumber),
                                   r.pointSize);
        case PCU_TEST_GRAPHIC:
            return GraphicLabelFields(r.graphicNumber);
        default:
            return BarcodeLabelFields(origins, r.symbology);
    }
}

// Defines the label as format `number`, prints it and erases it again. Every message goes out
// even when one before it failed, so that the temporary format does not stay behind.
void PrintComposed(ServiceLink& link, int number, const std::string& fields) {
    const std::string n = std::to_string(number);
    link.send("<ESC>P");
    if (link.portRefused())
        return;
    link.send(TemporaryFormat(number, fields));
    link.send("R");
    link.send("<ESC>E" + n + "<ETB>");
    link.send("<ESC>P");
    link.send("E" + n);
    link.send("R");
}

void PrintStored(ServiceLink& link, const TestRequest& r) {
    const std::string n = std::to_string(r.selector);
    switch (r.kind) {
        case PCU_TEST_FORMAT:
            link.send("<ESC>E" + n + "<ETB>");
            break;
        case PCU_TEST_PAGE:
            link.send("<ESC>G" + n + "<ETB>");
            break;
        default:
            link.send("<ESC>T;");
            if (link.portRefused())
                return;
            link.send(BuiltInLetter(r.selector));
            link.send("R");
            break;
    }
}

int TestPrint(int ctx, Context& context, const TestRequest& r) {
    if (!PrinterAnswers(ctx))
        return PCU_ERR_NO_PING;
    int number = 0;
    std::string fields;
    if (IsComposed(r.kind)) {
        const FormatChoice choice = ChooseTemporaryFormat(ctx, context);
        if (choice.status != PCU_OK)
            return choice.status;
        number = choice.number;
        fields = ComposedFields(context, r);
    }
    ServiceLink link(context);
    if (IsComposed(r.kind))
        PrintComposed(link, number, fields);
    else
        PrintStored(link, r);
    const int failed = link.failure();
    if (failed == PCU_ERR_OPEN)
        return failed;
    WaitMs(kSettleMs);
    const int closed = link.close();
    return failed != PCU_OK ? failed : closed;
}

}  // namespace
}  // namespace tarvo

using namespace tarvo;

TARVO_API int PCUTestPrint(int ctx, uint16_t kind, uint16_t labelSize, uint16_t selector,
                           uint16_t fontNumber, uint16_t pointSize, uint16_t graphicNumber,
                           uint16_t symbology) {
    return RunExport(ctx, [&](Context& context) {
        const TestRequest request{kind,      labelSize,     selector, fontNumber,
                                  pointSize, graphicNumber, symbology};
        if (const int refused = CheckRequest(context, request); refused != PCU_OK)
            return refused;
        return TestPrint(ctx, context, request);
    });
}

TARVO_API const char* PCUGetBarcodeSampleName(uint16_t index) {
    const auto samples = BarcodeSamples();
    return index < samples.size() ? samples[index].name.data() : nullptr;
}

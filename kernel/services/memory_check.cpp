// PCUMemoryCheck: whether the fonts and graphics queued for download fit the printer, before
// any of them is sent.
#include <sys/stat.h>

#include <cstdint>
#include <optional>
#include <string>

#include "fonts/font_resolve.h"
#include "fonts/font_size.h"
#include "fonts/rendered_font.h"
#include "objects/directory_list.h"
#include "objects/ibf_file.h"
#include "services/service_link.h"
#include "session/export_boundary.h"
#include "session/kernel_state.h"
#include "tarvo/base/graphic_command.h"
#include "tarvo/base/model_capabilities.h"
#include "tarvo/base/model_tables.h"
#include "tarvo/downloads.h"
#include "tarvo/port.h"
#include "tarvo/services.h"

namespace tarvo {
namespace {

constexpr std::int64_t kBytesPerKb = 1000;
constexpr int kAnswerWait = 250;
constexpr std::size_t kReplySize = 256;

// The side in dots of the largest graphic the model takes (0: no limit), by the firmware variant
// identification found.
std::int64_t LargestSideOf(int model, bool secondVariant) {
    const LargestGraphic& largest = CapabilitiesOf(model).largestGraphic;
    return secondVariant ? largest.secondVariant : largest.firstVariant;
}

bool Exceeds(std::int64_t largestSide, const GraphicEstimate& size) {
    return largestSide != 0 && (largestSide < size.width || largestSide < size.height);
}

// Characters a bitmap font of `charRange` holds (double-byte fonts are not estimated).
std::int64_t CharactersOf(int charRange) {
    switch (charRange) {
        case 1:
            return 62;
        case 2:
            return 10;
        case 3:
            return 95;
        case 4:
        case 5:
        case 6:
        case 7:
            return 0;
        default:
            return 224;
    }
}

std::optional<std::int64_t> FileSize(const std::string& path) {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return static_cast<std::int64_t>(info.st_size);
}

struct Estimate {
    int status = PCU_OK;  // the reason the object adds nothing
    std::int64_t bytes = 0;
};

Estimate BitmapFontBytes(const FontInfo& font, int emulation) {
    using namespace fonts;
    CharSize size;
    if (const int status = ComputeCharSize(font, emulation, &size); status != 0)
        return {status, 0};
    const std::optional<ResolvedFace> face = ResolveEntry(font);
    if (!face)
        return {PCU_ERR_FACE, 0};
    const auto rendered = RenderedFont::Open(face->file, face->index, size, face->charSet);
    if (!rendered)
        return {PCU_ERR_FACE, 0};
    const TextMetrics& m = rendered->metrics();
    const std::int64_t rows = (static_cast<std::int64_t>(m.height) + 7) / 8;
    return {PCU_OK, rows * m.avgWidth * CharactersOf(font.charRange)};
}

// An outline font goes down as its file: a listed face as the file it resolves to.
Estimate OutlineFontBytes(const FontInfo& font, bool resolve) {
    std::string path = font.path;
    if (resolve && font.source == PCU_FONT_SOURCE_FACE) {
        const std::optional<fonts::ResolvedFace> face = fonts::ResolveEntry(font);
        if (!face)
            return {PCU_ERR_FACE, 0};
        path = face->file;
    }
    const std::optional<std::int64_t> size = FileSize(path);
    if (!size)
        return {PCU_ERR_FILE_OPEN, 0};
    return {PCU_OK, *size};
}

Estimate FontBytes(const FontInfo& font, int emulation) {
    if (font.kind == PCU_FONT_KIND_BITMAP)
        return BitmapFontBytes(font, emulation);
    if (font.fontType == PCU_FONT_TYPE_TRUETYPE)
        return OutlineFontBytes(font, true);
    if (font.fontType == PCU_FONT_TYPE_SPEEDO)
        return OutlineFontBytes(font, false);
    return {};
}

class MemoryCheck {
  public:
    MemoryCheck(Context& context, PCUMemoryReport* report) : context_(context), report_(report) {}

    int run(cl_node* fonts, cl_node* graphics) {
        const int emulation = context_.settings.emulation;
        if (fonts != nullptr)
            addFonts(fonts, emulation);
        if (graphics != nullptr) {
            if (const int status = addGraphics(graphics, emulation); status != PCU_OK)
                return status;
        }
        report_->bytesNeeded = bytes_;
        report_->freeKb = context_.settings.memoryFree;
        if (cl_count(fonts) == 0 && cl_count(graphics) == 0)
            return PCU_OK;
        if (const int status = askFreeMemory(); status != PCU_OK)
            return status;
        report_->asked = 1;
        report_->freeKb = context_.settings.memoryFree;
        const std::int64_t free = static_cast<std::int64_t>(context_.settings.memoryFree);
        if (bytes_ > free * kBytesPerKb)
            return PCU_ERR_PRINTER_MEMORY;
        return PCU_OK;
    }

  private:
    void skipped(int kind, std::uint16_t id, int reason) {
        if (report_->skipped != nullptr)
            report_->skipped(report_->user, kind, id, reason);
    }

    void addFonts(cl_node* fonts, int emulation) {
        for (const FontInfo* font : Entries<FontInfo>(fonts)) {
            if (font->pending == PCU_PENDING_DOWNLOAD) {
                const Estimate e = FontBytes(*font, emulation);
                if (e.status != PCU_OK)
                    skipped(PCU_OBJECT_FONT, font->id, e.status);
                bytes_ += e.bytes;
            }
            if (font->status == PCU_STATUS_DELETE)
                bytes_ -= font->size;
        }
    }

    int addGraphics(cl_node* graphics, int emulation) {
        const std::int64_t largest =
            LargestSideOf(context_.settings.model, State().programNumberSecond);
        for (const GraphicInfo* graphic : Entries<GraphicInfo>(graphics)) {
            if (graphic->pending == PCU_PENDING_DOWNLOAD) {
                GraphicEstimate size;
                if (const int status = EstimateGraphicSize(*graphic, emulation, &size);
                    status != PCU_OK) {
                    skipped(PCU_OBJECT_GRAPHIC, graphic->id, status);
                } else if (Exceeds(largest, size)) {
                    context_.recordError(PCU_ERR_GRAPHIC_LIMIT, graphic->id,
                                         graphic->newDescription);
                    return PCU_ERR_GRAPHIC_LIMIT;
                }
                bytes_ += size.bytes;
            }
            if (graphic->status == PCU_STATUS_DELETE)
                bytes_ -= graphic->size;
        }
        return PCU_OK;
    }

    // Reads the printer's free memory into the configuration; a missing or unreadable answer
    // leaves the value the context had.
    int askFreeMemory() {
        ServiceLink link(context_);
        link.send("<ESC>m");
        if (link.portRefused())
            return link.failure();
        PCUWait(kAnswerWait);
        const std::string reply = link.read(kReplySize, 5, 500);
        if (const std::optional<std::uint16_t> free = FreeMemoryFromReply(reply))
            context_.settings.memoryFree = *free;
        link.close();
        return PCU_OK;
    }

    Context& context_;
    PCUMemoryReport* report_;
    std::int64_t bytes_ = 0;
};

int CheckMemory(int ctx, cl_node* fonts, cl_node* graphics, PCUMemoryReport* report) {
    return RunExport(ctx, [&](Context& context) -> int {
        if (report == nullptr)
            return PCU_ERR_ARGUMENT;
        report->bytesNeeded = 0;
        report->freeKb = 0;
        report->asked = 0;
        return MemoryCheck(context, report).run(fonts, graphics);
    });
}

}  // namespace
}  // namespace tarvo

using namespace tarvo;

TARVO_API int PCUMemoryCheck(int ctx, cl_node* fonts, cl_node* graphics) {
    PCUMemoryReport report{};
    return CheckMemory(ctx, fonts, graphics, &report);
}

TARVO_API int PCUMemoryCheckReport(int ctx, cl_node* fonts, cl_node* graphics,
                                   PCUMemoryReport* report) {
    return CheckMemory(ctx, fonts, graphics, report);
}

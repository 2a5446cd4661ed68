// The Font Setup sheet's View page: what tells the fonts from the graphics in the shared View
// page (their columns, and the resident fonts that cannot be deleted).
#include <cstdio>

#include "lanmere/font_pages.h"
#include "tarvo/models.h"

namespace tarvo::app::lanmere {
namespace {

std::string StoreOption(const FontInfo& f) {
    return f.kind == PCU_FONT_KIND_BITMAP ? "Fixed" : "Scalable";
}

std::string CharSetText(int charRange) {
    switch (charRange) {
        case 1:
            return "Alphanumeric";
        case 2:
            return "Numeric";
        case 3:
            return "Printable";
        default:
            break;
    }
    const std::string name = DoubleByteSetName(charRange);
    return name.empty() ? "Full" : name;
}

std::string SizeText(const FontInfo& f, bool metric) {
    char text[64];
    if (f.sizeMode == PCU_SIZE_BY_POINTS) {
        std::snprintf(text, sizeof text, "%2d pt", f.pointSize);
    } else {
        const double scale = metric ? 2.54 : 1.0;
        const char* unit = metric ? "cm." : "in.";
        std::snprintf(text, sizeof text, "%.2f%s(ht)/%.2f%s(wd)", f.height * scale, unit,
                      f.width * scale, unit);
    }
    return text;
}

std::string TypeText(const FontInfo& f, int model) {
    if (propCheckFontLoc(model, f.id) == 1)
        return "Resident";
    switch (f.fontType) {
        case PCU_FONT_TYPE_SPEEDO:
            return "Speedo";
        case PCU_FONT_TYPE_TRUETYPE:
            return "True Type";
        default:
            return "Bitmap";
    }
}

}  // namespace

CFontPage2::CFontPage2(Desk& desk)
    : ObjectViewPage(
          desk, {.queuedGroup = "Fonts to send:",
                 .queuedColumns = {"Description", "ID", "Fontname/Path", "Store Option", "Char Set",
                                   "Size"},
                 .installedGroup = "Fonts installed in printer:",
                 .installedColumns = {"Description", "ID", "Size", "Type", "At next send"}}) {}

// Resident fonts included.
std::vector<FontInfo> CFontPage2::Installed() {
    return InstalledRecords<FontInfo>(
        desk_.ctx(), PCUGetFontCount,
        [](int ctx, std::uint16_t* ids, std::uint16_t* count) {
            return PCUGetFontIDs(ctx, ids, nullptr, nullptr, count);
        },
        PCUGetFontInfo);
}

std::vector<std::string> CFontPage2::QueuedDetails(const FontInfo& f) const {
    const std::string source = f.source == PCU_FONT_SOURCE_FACE ? f.faceName : f.path;
    return {source, StoreOption(f), CharSetText(f.charRange), SizeText(f, metric())};
}

std::vector<std::string> CFontPage2::InstalledDetails(const FontInfo& f) const {
    return {TypeText(f, model())};
}

// Resident fonts are part of the printer's firmware and cannot be deleted.
bool CFontPage2::MayDelete(const FontInfo& f) const {
    return propCheckFontLoc(model(), f.id) == 0;
}

int CFontPage2::PutInstalled(const FontInfo& f) {
    return PCUPutFontInfo(desk_.ctx(), f.id, &f);
}

CFontSheet::CFontSheet(Desk& desk, int localeId, FaceChooser chooseFace)
    : SheetModel("Font Setup") {
    AddPage<CFontPage1>(desk, localeId, std::move(chooseFace));
    AddPage<CFontPage2>(desk);
}

}  // namespace tarvo::app::lanmere

// The Font Setup sheet's View page: the fonts queued for sending and the fonts the printer
// holds. Its buttons change nothing before OK: taking back a queued font and marking an
// installed one for deletion are kept on the page until it is saved.
#include <algorithm>
#include <cstdio>

#include "lanmere/font_pages.h"
#include "lanmere/object_pages.h"
#include "tarvo/models.h"

namespace tarvo::app::lanmere {
namespace {

std::string Number(unsigned id) {
    char text[8];
    std::snprintf(text, sizeof text, "%02u", id);
    return text;
}

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
        case 4:
            return "Japanese";
        case 5:
            return "Traditional Chinese";
        case 6:
            return "Simplified Chinese";
        case 7:
            return "Korean";
        default:
            return "Full";
    }
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

std::vector<FontInfo> InstalledFonts(int ctx) {
    std::uint16_t count = 0;
    if (PCUGetFontCount(ctx, &count) != PCU_OK || count == 0)
        return {};
    std::vector<std::uint16_t> ids(count);
    if (PCUGetFontIDs(ctx, ids.data(), nullptr, nullptr, &count) != PCU_OK)
        return {};
    std::vector<FontInfo> fonts;
    for (std::uint16_t i = 0; i < count; ++i) {
        FontInfo info{};
        if (PCUGetFontInfo(ctx, ids[i], &info) == PCU_OK && info.status != PCU_STATUS_HOST_ONLY)
            fonts.push_back(info);
    }
    return fonts;
}

void CFontPage2::Load() {
    Reset();
    queued_ = QueuedRecords<FontInfo>(desk_.config.fonts);
    installed_ = InstalledFonts(desk_.ctx());
    removed_.clear();
    marks_.clear();
    for (const FontInfo& f : installed_)
        marks_.push_back(f.status);
    Add({.id = "queued",
         .control = Control::Table,
         .group = "Fonts to send:",
         .columns = {"Description", "ID", "Fontname/Path", "Store Option", "Char Set", "Size"}});
    Add({.id = "delete",
         .control = Control::Button,
         .label = "&Delete",
         .group = "Fonts to send:"});
    Add({.id = "installed",
         .control = Control::Table,
         .group = "Fonts installed in printer:",
         .columns = {"Description", "ID", "Size", "Type", "At next send"}});
    Add({.id = "deleteInstalled",
         .control = Control::Button,
         .label = "D&elete",
         .group = "Fonts installed in printer:"});
    Add({.id = "restore",
         .control = Control::Button,
         .label = "Re&store",
         .group = "Fonts installed in printer:"});
    Fill();
}

void CFontPage2::Fill() {
    Field& queued = at("queued");
    queued.rows.clear();
    for (const FontInfo& f : queued_) {
        if (std::find(removed_.begin(), removed_.end(), f.id) != removed_.end())
            continue;
        const std::string source = f.source == PCU_FONT_SOURCE_FACE ? f.faceName : f.path;
        queued.rows.push_back({f.newDescription, Number(f.id), source, StoreOption(f),
                               CharSetText(f.charRange), SizeText(f, metric())});
    }
    queued.selected = std::min(queued.selected, static_cast<int>(queued.rows.size()) - 1);
    Field& installed = at("installed");
    installed.rows.clear();
    for (std::size_t i = 0; i < installed_.size(); ++i) {
        const FontInfo& f = installed_[i];
        installed.rows.push_back({f.description, Number(f.id), std::to_string(f.size) + " bytes",
                                  TypeText(f, model()),
                                  marks_[i] == PCU_STATUS_DELETE ? "delete" : ""});
    }
}

void CFontPage2::OnPress(const std::string& id) {
    if (id == "delete") {
        const int row = field("queued").selected;
        if (row < 0)
            return;
        // The shown rows skip what was taken back already.
        int shown = -1;
        for (const FontInfo& f : queued_) {
            if (std::find(removed_.begin(), removed_.end(), f.id) != removed_.end())
                continue;
            if (++shown == row) {
                removed_.push_back(f.id);
                break;
            }
        }
    } else {
        const int row = field("installed").selected;
        if (row < 0)
            return;
        const auto i = static_cast<std::size_t>(row);
        // Resident fonts are part of the printer's firmware and cannot be deleted.
        if (id == "deleteInstalled" && propCheckFontLoc(model(), installed_[i].id) == 0)
            marks_[i] = PCU_STATUS_DELETE;
        else if (id == "restore" && marks_[i] == PCU_STATUS_DELETE)
            marks_[i] = installed_[i].status == PCU_STATUS_DELETE ? PCU_STATUS_STORED
                                                                  : installed_[i].status;
    }
    Fill();
}

void CFontPage2::Save() {
    if (!removed_.empty()) {
        RemoveQueued<FontInfo>(desk_.config.fonts, removed_);
        desk_.session.flags.modified = true;
    }
    for (std::size_t i = 0; i < installed_.size(); ++i) {
        if (marks_[i] == installed_[i].status)
            continue;
        FontInfo f = installed_[i];
        f.status = static_cast<std::int16_t>(marks_[i]);
        if (PCUPutFontInfo(desk_.ctx(), f.id, &f) == PCU_OK)
            desk_.session.flags.modified = true;
    }
}

CFontSheet::CFontSheet(Desk& desk, int localeId, FaceChooser chooseFace)
    : SheetModel("Font Setup") {
    AddPage<CFontPage1>(desk, localeId, std::move(chooseFace));
    AddPage<CFontPage2>(desk);
}

}  // namespace tarvo::app::lanmere

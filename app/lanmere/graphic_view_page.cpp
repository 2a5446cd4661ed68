// The Graphics Setup sheet's View page: the graphics queued for sending and the graphics the
// printer holds. As on the font View page, its buttons act at OK.
#include <algorithm>
#include <cstdio>

#include "lanmere/graphic_pages.h"
#include "lanmere/object_pages.h"

namespace tarvo::app::lanmere {
namespace {

std::string Number(unsigned id) {
    char text[8];
    std::snprintf(text, sizeof text, "%02u", id);
    return text;
}

std::string SizeText(const GraphicInfo& g, bool metric) {
    char text[64];
    if (g.scaleMode == PCU_SCALE_BY_FACTOR && g.scale >= 1.0F) {
        std::snprintf(text, sizeof text, "%2.fx mag.", static_cast<double>(g.scale));
    } else if (g.scaleMode == PCU_SCALE_BY_FACTOR) {
        std::snprintf(text, sizeof text, "1/%1.fx mag.", 1.0 / static_cast<double>(g.scale));
    } else {
        const double scale = metric ? 2.54 : 1.0;
        const char* unit = metric ? "cm." : "in.";
        std::snprintf(text, sizeof text, "%.2f%s(ht)/%.2f%s(wd)", g.height * scale, unit,
                      g.width * scale, unit);
    }
    return text;
}

std::vector<GraphicInfo> InstalledGraphics(int ctx) {
    std::uint16_t count = 0;
    if (PCUGetGraphicCount(ctx, &count) != PCU_OK || count == 0)
        return {};
    std::vector<std::uint16_t> ids(count);
    if (PCUGetGraphicIDs(ctx, ids.data(), nullptr, nullptr, &count) != PCU_OK)
        return {};
    std::vector<GraphicInfo> graphics;
    for (std::uint16_t i = 0; i < count; ++i) {
        GraphicInfo info{};
        if (PCUGetGraphicInfo(ctx, ids[i], &info) == PCU_OK && info.status != PCU_STATUS_HOST_ONLY)
            graphics.push_back(info);
    }
    return graphics;
}

}  // namespace

void CGraphicPage2::Load() {
    Reset();
    queued_ = QueuedRecords<GraphicInfo>(desk_.config.graphics);
    installed_ = InstalledGraphics(desk_.ctx());
    removed_.clear();
    marks_.clear();
    for (const GraphicInfo& g : installed_)
        marks_.push_back(g.status);
    Add({.id = "queued",
         .control = Control::Table,
         .group = "Graphics to send:",
         .columns = {"Description", "ID", "Pathname", "Size", "Rotation"}});
    Add({.id = "delete",
         .control = Control::Button,
         .label = "&Delete",
         .group = "Graphics to send:"});
    Add({.id = "installed",
         .control = Control::Table,
         .group = "Graphics installed in printer:",
         .columns = {"Description", "ID", "Size", "At next send"}});
    Add({.id = "deleteInstalled",
         .control = Control::Button,
         .label = "D&elete",
         .group = "Graphics installed in printer:"});
    Add({.id = "restore",
         .control = Control::Button,
         .label = "Re&store",
         .group = "Graphics installed in printer:"});
    Fill();
}

void CGraphicPage2::Fill() {
    Field& queued = at("queued");
    queued.rows.clear();
    for (const GraphicInfo& g : queued_) {
        if (std::find(removed_.begin(), removed_.end(), g.id) != removed_.end())
            continue;
        queued.rows.push_back({g.newDescription, Number(g.id), g.path, SizeText(g, metric()),
                               std::to_string(g.rotation * 90) + " degrees"});
    }
    queued.selected = std::min(queued.selected, static_cast<int>(queued.rows.size()) - 1);
    Field& installed = at("installed");
    installed.rows.clear();
    for (std::size_t i = 0; i < installed_.size(); ++i) {
        const GraphicInfo& g = installed_[i];
        installed.rows.push_back({g.description, Number(g.id), std::to_string(g.size) + " bytes",
                                  marks_[i] == PCU_STATUS_DELETE ? "delete" : ""});
    }
}

void CGraphicPage2::OnPress(const std::string& id) {
    if (id == "delete") {
        const int row = field("queued").selected;
        int shown = -1;
        for (const GraphicInfo& g : queued_) {
            if (std::find(removed_.begin(), removed_.end(), g.id) != removed_.end())
                continue;
            if (++shown == row) {
                removed_.push_back(g.id);
                break;
            }
        }
    } else {
        const int row = field("installed").selected;
        if (row < 0)
            return;
        const auto i = static_cast<std::size_t>(row);
        if (id == "deleteInstalled")
            marks_[i] = PCU_STATUS_DELETE;
        else if (id == "restore" && marks_[i] == PCU_STATUS_DELETE)
            marks_[i] = installed_[i].status == PCU_STATUS_DELETE ? PCU_STATUS_STORED
                                                                  : installed_[i].status;
    }
    Fill();
}

void CGraphicPage2::Save() {
    if (!removed_.empty()) {
        RemoveQueued<GraphicInfo>(desk_.config.graphics, removed_);
        desk_.session.flags.modified = true;
    }
    for (std::size_t i = 0; i < installed_.size(); ++i) {
        if (marks_[i] == installed_[i].status)
            continue;
        GraphicInfo g = installed_[i];
        g.status = static_cast<std::int16_t>(marks_[i]);
        if (PCUPutGraphicInfo(desk_.ctx(), g.id, &g) == PCU_OK)
            desk_.session.flags.modified = true;
    }
}

CGraphicSheet::CGraphicSheet(Desk& desk) : SheetModel("Graphics Setup") {
    AddPage<CGraphicPage1>(desk);
    AddPage<CGraphicPage2>(desk);
}

}  // namespace tarvo::app::lanmere

// The Graphics Setup sheet's View page: the graphics' columns in the shared View page.
#include <cstdio>

#include "lanmere/graphic_pages.h"

namespace tarvo::app::lanmere {
namespace {

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

}  // namespace

CGraphicPage2::CGraphicPage2(Desk& desk)
    : ObjectViewPage(desk, {.queuedGroup = "Graphics to send:",
                            .queuedColumns = {"Description", "ID", "Pathname", "Size", "Rotation"},
                            .installedGroup = "Graphics installed in printer:",
                            .installedColumns = {"Description", "ID", "Size", "At next send"}}) {}

std::vector<GraphicInfo> CGraphicPage2::Installed() {
    return InstalledRecords<GraphicInfo>(
        desk_.ctx(), PCUGetGraphicCount,
        [](int ctx, std::uint16_t* ids, std::uint16_t* count) {
            return PCUGetGraphicIDs(ctx, ids, nullptr, nullptr, count);
        },
        PCUGetGraphicInfo);
}

std::vector<std::string> CGraphicPage2::QueuedDetails(const GraphicInfo& g) const {
    return {g.path, SizeText(g, metric()), std::to_string(g.rotation * 90) + " degrees"};
}

int CGraphicPage2::PutInstalled(const GraphicInfo& g) {
    return PCUPutGraphicInfo(desk_.ctx(), g.id, &g);
}

CGraphicSheet::CGraphicSheet(Desk& desk) : SheetModel("Graphics Setup") {
    AddPage<CGraphicPage1>(desk);
    AddPage<CGraphicPage2>(desk);
}

}  // namespace tarvo::app::lanmere

// The Directory page: what the kernel's directory knows the printer stores, read from the host
// side's lists (the last load filled them), so opening the page costs no printer traffic.
#include <cstdint>
#include <vector>

#include "lanmere/printer_pages.h"
#include "tarvo/directory.h"

namespace tarvo::app::lanmere {
namespace {

using Row = std::vector<std::string>;

const char* FontType(int type) {
    switch (type) {
        case PCU_FONT_TYPE_TRUETYPE:
            return "TruTyp";
        case PCU_FONT_TYPE_SPEEDO:
            return "Speedo";
        default:
            return "Bitmap";
    }
}

void AddFonts(int ctx, std::vector<Row>& rows) {
    const auto numbers =
        DirectoryNumbers(ctx, PCUGetFontCount, [](int c, std::uint16_t* ids, std::uint16_t* n) {
            return PCUGetFontIDs(c, ids, nullptr, nullptr, n);
        });
    for (std::uint16_t id : numbers) {
        FontInfo info{};
        if (PCUGetFontInfo(ctx, id, &info) == PCU_OK)
            rows.push_back({info.description, ObjectNumberText(id), std::to_string(info.size),
                            FontType(info.fontType)});
    }
}

void AddGraphics(int ctx, std::vector<Row>& rows) {
    const auto numbers =
        DirectoryNumbers(ctx, PCUGetGraphicCount, [](int c, std::uint16_t* ids, std::uint16_t* n) {
            return PCUGetGraphicIDs(c, ids, nullptr, nullptr, n);
        });
    for (std::uint16_t id : numbers) {
        GraphicInfo info{};
        if (PCUGetGraphicInfo(ctx, id, &info) == PCU_OK)
            rows.push_back(
                {info.description, ObjectNumberText(id), std::to_string(info.size), "Graphic"});
    }
}

void AddFormatsAndPages(int ctx, std::vector<Row>& rows) {
    const auto formats =
        DirectoryNumbers(ctx, PCUGetFormatCount, [](int c, std::uint16_t* ids, std::uint16_t* n) {
            return PCUGetFormatIDs(c, ids, nullptr, n);
        });
    for (std::uint16_t id : formats) {
        FormatInfo info{};
        if (PCUGetFormatInfo(ctx, id, &info) == PCU_OK)
            rows.push_back(
                {info.description, ObjectNumberText(id), std::to_string(info.size), "Format"});
    }
    for (std::uint16_t id : DirectoryNumbers(ctx, PCUGetPageCount, PCUGetPageIDs)) {
        PageInfo info{};
        if (PCUGetPageInfo(ctx, id, &info) == PCU_OK)
            rows.push_back({"Pagefile", ObjectNumberText(id), "", "Page"});
    }
}

}  // namespace

void CCfgPrtPage3::Load() {
    Reset();
    Field& list = Add({.id = "objects", .control = Control::Table});
    list.columns = {"Description", "ID", "Size", "Type"};
    const int ctx = desk_.ctx();
    AddFonts(ctx, list.rows);
    AddGraphics(ctx, list.rows);
    AddFormatsAndPages(ctx, list.rows);
}

}  // namespace tarvo::app::lanmere

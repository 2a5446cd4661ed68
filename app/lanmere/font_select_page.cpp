// The Font Setup sheet's Select page and the character sets it offers.
#include <array>
#include <cstring>

#include "desk/config_values.h"
#include "lanmere/font_pages.h"
#include "lanmere/object_pages.h"
#include "lanmere/units.h"
#include "tarvo/base/dbcs_ranges.h"
#include "tarvo/fonts.h"
#include "tarvo/models.h"

namespace tarvo::app::lanmere {
namespace {

constexpr std::array kPointSizes = {8, 9, 10, 12, 14, 16, 20, 24, 36, 48, 72};
constexpr int kDefaultPointPosition = 3;  // 12 points
constexpr int kSingleByteSets = 4;
constexpr int kHighestLocation = 47;
constexpr int kEmulationValue = 2;

constexpr const char* kUnrecognisedFont =
    "You are attempting to open an unrecognizable file. Please select a TrueType or Speedo font "
    "file to open.";

struct ByteRange {
    unsigned char first, last;
};
struct DoubleByteRanges {
    int set;
    std::vector<ByteRange> lead, trail;
};

const std::vector<DoubleByteRanges>& RangeTable() {
    static const std::vector<DoubleByteRanges> table = {
        {4, {{0x81, 0x9F}, {0xE0, 0xFC}}, {{0x40, 0x7E}, {0x80, 0xFC}}},
        {5, {{0xA1, 0xC8}}, {{0x40, 0x7E}, {0xA1, 0xFE}}},
        {6, {{0xA1, 0xFE}}, {{0xA1, 0xFE}}},
        {7, {{0xA1, 0xC8}}, {{0xA1, 0xFE}}},
    };
    return table;
}

void StoreRanges(const std::vector<ByteRange>& ranges, std::size_t first, std::size_t last,
                 std::size_t count, unsigned char* raw) {
    for (std::size_t i = 0; i < ranges.size(); ++i) {
        raw[first + i] = ranges[i].first;
        raw[last + i] = ranges[i].last;
    }
    raw[count] = static_cast<unsigned char>(ranges.size());
}

// The characters the preview draws: what the character set sends.
const char* SampleText(int charRange) {
    switch (charRange) {
        case 1:
            return "AaBbYyZz0123";
        case 2:
            return "0123456789";
        default:
            return "AaBbYyZz 0123 &?!";
    }
}

}  // namespace

int LocaleIdOf(std::string_view name) {
    static const std::array<std::pair<std::string_view, int>, 8> ids = {{
        {"zh_CN", 0x804},
        {"zh_TW", 0x404},
        {"zh_HK", 0xC04},
        {"zh_SG", 0x1004},
        {"zh", 0x804},
        {"ja", 0x411},
        {"ko", 0x412},
        {"ko_KP", 0x812},
    }};
    for (const auto& [prefix, id] : ids) {
        if (name == prefix)
            return id;
    }
    // A language with a territory of its own: the language's identifier.
    const std::string_view language = name.substr(0, name.find('_'));
    for (const auto& [prefix, id] : ids) {
        if (language == prefix && (language == "ja" || language == "ko"))
            return id;
    }
    return 0;
}

std::string DoubleByteEntry(int localeId) {
    return DoubleByteSetName(DoubleByteSet(localeId));
}

std::string DoubleByteSetName(int set) {
    switch (set) {
        case 4:
            return "Japanese";
        case 5:
            return "Traditional Chinese";
        case 6:
            return "Simplified Chinese";
        case 7:
            return "Korean";
        default:
            return {};
    }
}

int DoubleByteSet(int localeId) {
    switch (localeId) {
        case 0x411:
            return 4;
        case 0x404:
        case 0xC04:
        case 0x1004:
            return 5;
        case 0x804:
            return 6;
        case 0x412:
        case 0x812:
            return 7;
        default:
            return 0;
    }
}

void StoreDoubleByteRanges(int set, FontInfo* entry) {
    std::memset(entry->dbcsRanges, 0, sizeof entry->dbcsRanges);
    for (const DoubleByteRanges& r : RangeTable()) {
        if (r.set != set)
            continue;
        entry->dbcsRanges[kDbcsFlag] = 1;
        StoreRanges(r.lead, kDbcsLeadFirst, kDbcsLeadLast, kDbcsLeadCount, entry->dbcsRanges);
        StoreRanges(r.trail, kDbcsTrailFirst, kDbcsTrailLast, kDbcsTrailCount, entry->dbcsRanges);
    }
}

CFontPage1::CFontPage1(Desk& desk, int localeId, FaceChooser chooseFace)
    : LanPage(desk, "Select"), localeId_(localeId), chooseFace_(std::move(chooseFace)) {}

void CFontPage1::Load() {
    Reset();
    source_ = FontInfo{};
    chosen_ = false;
    Add({.id = "installed",
         .control = Control::Button,
         .label = "Select &Installed Font",
         .group = "Font"});
    Add({.id = "path", .control = Control::Button, .label = "Select Font &Path", .group = "Font"});
    Add({.id = "source", .label = "Font:", .group = "Font"});
    AddChoice("storage", Control::Radios, "Store as:", {"Scalable", "Fixed"}, "Storage").selected =
        0;
    AddChoice("sizeBy", Control::Radios, "Size by:", {"Point Size", "Height/Width"}, "Size")
        .selected = 0;
    std::vector<std::string> points;
    for (const int p : kPointSizes)
        points.push_back(std::to_string(p));
    AddChoice("points", Control::DropList, "Point Size:", points, "Size").selected =
        kDefaultPointPosition;
    const std::string unit = LengthUnitText(metric());
    const std::string preset = metric() ? "0.42" : "0.17";
    Add({.id = "height",
         .control = Control::Edit,
         .label = "Height:",
         .group = "Size",
         .unit = unit,
         .text = preset,
         .maxLength = 6});
    Add({.id = "width",
         .control = Control::Edit,
         .label = "Width:",
         .group = "Size",
         .unit = unit,
         .text = preset,
         .maxLength = 6});
    std::vector<std::string> sets = {"Full (224 characters)", "Alphanumeric", "Numeric",
                                     "Printable (ASCII 32-126)"};
    if (const std::string entry = DoubleByteEntry(localeId_); !entry.empty())
        sets.push_back(entry);
    AddChoice("charset", Control::DropList, "Character Set:", sets, "Printer").selected = 0;
    // Resident fonts' locations are taken too.
    std::vector<std::string> locations = FreeLocations<FontInfo>(
        desk_.config.fonts, "FONT", kHighestLocation, [this](std::uint16_t n) {
            std::int16_t status = 0;
            const bool known = PCUGetFontPrintStatus(desk_.ctx(), n, &status) == PCU_OK;
            return known || propCheckFontLoc(model(), n) != 0;
        });
    const bool any = !locations.empty();
    AddChoice("location", Control::DropList, "Location:", std::move(locations), "Printer")
        .selected = any ? 0 : -1;
    Add({.id = "description",
         .control = Control::Edit,
         .label = "Description:",
         .group = "Printer",
         .maxLength = PCU_DESCRIPTION_SIZE - 1});
    Add({.id = "preview", .control = Control::Image, .group = "Preview"});
    Add({.id = "previewInfo", .group = "Preview", .text = "Choose a font to see it."});
    ApplyRules();
}

bool CFontPage1::Speedo() const {
    return source_.source != PCU_FONT_SOURCE_FACE && HasExtension(source_.path, ".spd");
}

void CFontPage1::ApplyRules() {
    for (const char* id :
         {"storage", "sizeBy", "points", "height", "width", "charset", "location", "description"})
        at(id).enabled = chosen_;
    at("storage").choiceEnabled = {true, !Speedo()};
    if (Speedo())
        at("storage").selected = 0;
    const bool byPoints = field("sizeBy").selected == 0;
    at("points").enabled = chosen_ && byPoints;
    at("height").enabled = chosen_ && !byPoints;
    at("width").enabled = chosen_ && !byPoints;
}

void CFontPage1::OnPress(const std::string& id) {
    if (id == "installed")
        ChooseInstalled();
    else if (id == "path")
        ChooseFile();
}

void CFontPage1::ChooseInstalled() {
    HostFontList list{};
    if (PCUGetHostFontList(&list) != 1 || !chooseFace_) {
        desk_.prompt.Tell("Error", "Cannot access TrueType Selection dialog box", PromptIcon::Stop);
        return;
    }
    std::vector<std::string> names(list.names, list.names + list.count);
    PCUFreeHostFontList(&list);
    const std::optional<std::string> name = chooseFace_(names);
    if (!name)
        return;
    FontInfo chosen{};
    if (name->size() < sizeof chosen.faceName) {
        chosen.source = PCU_FONT_SOURCE_FACE;
        std::strcpy(chosen.faceName, name->c_str());
    } else {
        // A longer name does not fit the record: the face's own file names it instead.
        PCULogicalFont face{};
        PCUTextMetrics metrics{};
        const std::size_t cut = name->find(" (");
        if (fonGetFontStructs(nullptr, name->substr(0, cut).c_str(), &face, &metrics) != 1 ||
            std::strlen(face.filePath) >= sizeof chosen.path) {
            desk_.prompt.Tell("Error!", "The font \"" + *name + "\" cannot be found.",
                              PromptIcon::Stop);
            return;
        }
        std::strcpy(chosen.path, face.filePath);
    }
    source_ = chosen;
    AdoptSource(*name);
}

void CFontPage1::ChooseFile() {
    FileRequest request;
    request.filter = "TrueType (*.ttf)|*.ttf|Speedo (*.spd)|*.spd||";
    request.defaultExtension = "ttf";
    request.mustExist = true;
    const std::optional<std::string> path = ChooseObjectFile(desk_.prompt, request);
    if (!path)
        return;
    if (!HasExtension(*path, ".ttf") && !HasExtension(*path, ".spd")) {
        desk_.prompt.Tell("Error!", kUnrecognisedFont, PromptIcon::Stop);
        return;
    }
    FontInfo chosen{};
    if (path->size() >= sizeof chosen.path) {
        desk_.prompt.Tell("Error!",
                          "The font file's path is longer than 256 characters; move the file to "
                          "a folder with a shorter path.",
                          PromptIcon::Stop);
        return;
    }
    std::strcpy(chosen.path, path->c_str());
    source_ = chosen;
    AdoptSource(*path);
}

void CFontPage1::AdoptSource(const std::string& shown) {
    chosen_ = true;
    at("source").text = shown;
    const std::string title =
        source_.source == PCU_FONT_SOURCE_FACE ? std::string(source_.faceName) : FileTitle(shown);
    at("description").text = title.substr(0, PCU_DESCRIPTION_SIZE - 1);
    ApplyRules();
    UpdatePreview();
}

void CFontPage1::OnEdit(const std::string& id) {
    ApplyRules();
    if (id != "description" && id != "location")
        UpdatePreview();
}

FontInfo CFontPage1::Request() const {
    FontInfo r = source_;
    r.kind = field("storage").selected == 0 ? PCU_FONT_KIND_OUTLINE : PCU_FONT_KIND_BITMAP;
    r.fontType = Speedo() ? PCU_FONT_TYPE_SPEEDO : PCU_FONT_TYPE_TRUETYPE;
    r.sizeMode = field("sizeBy").selected == 0 ? PCU_SIZE_BY_POINTS : 2;
    const int point = field("points").selected;
    r.pointSize = static_cast<std::int16_t>(
        kPointSizes[static_cast<std::size_t>(point < 0 ? kDefaultPointPosition : point)]);
    const int set = field("charset").selected;
    r.charRange = static_cast<std::int16_t>(set < kSingleByteSets ? std::max(set, 0)
                                                                  : DoubleByteSet(localeId_));
    if (r.charRange >= 4)
        StoreDoubleByteRanges(r.charRange, &r);
    FillRequest(*this, metric(), &r);
    return r;
}

std::string CFontPage1::SizeProblem() const {
    if (field("sizeBy").selected == 0)
        return {};
    const double low = metric() ? 0.25 : 0.1;
    const double high = propGetMaxFontSize(model(), metric() ? 1 : 0);
    for (const char* id : {"height", "width"}) {
        const std::optional<double> v = ParseDecimal(field(id).text);
        if (!v || *v < low || *v > high)
            return std::string(id == std::string("height") ? "Height" : "Width") +
                   " takes a number from " + FormatFixed(low, 2) + " to " + FormatFixed(high, 2) +
                   " " + LengthUnitText(metric());
    }
    return {};
}

std::string CFontPage1::Validate() const {
    if (!chosen_)
        return {};
    return RequestProblem(*this, "The printer has no free font location left: delete a font first.",
                          SizeProblem());
}

void CFontPage1::Save() {
    if (!chosen_ || field("location").selected < 0)
        return;
    if (QueueRecord(desk_.config.fonts, Request()))
        desk_.session.flags.modified = true;
}

void CFontPage1::UpdatePreview() {
    Field& info = at("previewInfo");
    at("preview").image = {};
    if (!chosen_)
        return;
    if (Speedo()) {
        info.text = "Speedo fonts are drawn by the printer; no preview.";
        return;
    }
    if (!SizeProblem().empty()) {
        info.text = SizeProblem();
        return;
    }
    const FontInfo request = Request();
    PCUFontPreview preview{};
    const int emulation = EmulationToKernel(value(kEmulationValue));
    const int status =
        PCURenderFontPreview(&request, emulation, SampleText(request.charRange), &preview);
    if (status != PCU_OK) {
        info.text = status == PCU_ERR_ARGUMENT ? "No preview: the size does not suit the printer."
                                               : "No preview: the font cannot be rendered.";
        return;
    }
    at("preview").image = MakeDotImage(preview.width, preview.height, preview.dots);
    info.text = std::to_string(preview.height) + " dots high, " + std::to_string(preview.width) +
                " dots for " + std::to_string(preview.characters) + " characters";
    if (request.kind == PCU_FONT_KIND_OUTLINE)
        info.text += " (scalable: the printer draws the outline itself)";
    PCUFreeFontPreview(&preview);
}

}  // namespace tarvo::app::lanmere

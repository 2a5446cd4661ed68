// The Graphics Setup sheet's Select page.
#include <cstring>

#include "desk/config_values.h"
#include "lanmere/graphic_pages.h"
#include "lanmere/object_pages.h"
#include "lanmere/units.h"
#include "tarvo/base/dot_size.h"
#include "tarvo/base/graphic_command.h"
#include "tarvo/base/image_ops.h"

namespace tarvo::app::lanmere {
namespace {

constexpr int kOneTimes = 3;  // "1x" in the magnification list
constexpr int kHighestLocation = 99;
constexpr std::size_t kTitleLength = 10;
constexpr int kEmulationValue = 2;
constexpr int kFreeMemoryValue = 7;  // KB

constexpr const char* kUnrecognisedBitmap =
    "You are attempting to open an unrecognizable file. Please select a bitmap file (.BMP) to "
    "open.";

}  // namespace

const std::vector<std::string>& MagnificationTexts() {
    static const std::vector<std::string> texts = {"1/8x", "1/4x", "1/2x", "1x", "2x", "3x", "4x",
                                                   "5x",   "6x",   "7x",   "8x", "9x", "10x"};
    return texts;
}

double MagnificationFactor(int position) {
    if (position < kOneTimes)
        return 1.0 / (1 << (kOneTimes - std::max(position, 0)));
    return position - kOneTimes + 1;
}

void CGraphicPage1::Load() {
    Reset();
    path_.clear();
    Add({.id = "path",
         .control = Control::Button,
         .label = "Select Graphic &Path",
         .group = "Graphic"});
    Add({.id = "file", .label = "File:", .group = "Graphic"});
    AddChoice("scaleBy", Control::Radios, "Size by:", {"Magnification", "Width/Height"}, "Size")
        .selected = 0;
    AddChoice("magnification", Control::DropList, "Magnification:", MagnificationTexts(), "Size")
        .selected = kOneTimes;
    const std::string unit = LengthUnitText(metric());
    Add({.id = "height",
         .control = Control::Edit,
         .label = "Height:",
         .group = "Size",
         .unit = unit,
         .maxLength = 7});
    Add({.id = "width",
         .control = Control::Edit,
         .label = "Width:",
         .group = "Size",
         .unit = unit,
         .maxLength = 7});
    AddChoice("rotation", Control::Radios,
              "Rotation (clockwise):", {"0 degrees", "90 degrees", "180 degrees", "270 degrees"},
              "Storage")
        .selected = 0;
    std::vector<std::string> locations = FreeLocations<GraphicInfo>(
        desk_.config.graphics, "GRFX", kHighestLocation, [this](std::uint16_t n) {
            GraphicInfo known{};
            return PCUGetGraphicInfo(desk_.ctx(), n, &known) == PCU_OK;
        });
    const bool any = !locations.empty();
    AddChoice("location", Control::DropList, "Location:", std::move(locations), "Storage")
        .selected = any ? 0 : -1;
    Add({.id = "description",
         .control = Control::Edit,
         .label = "Description:",
         .group = "Storage",
         .maxLength = PCU_DESCRIPTION_SIZE - 1});
    Add({.id = "preview", .control = Control::Image, .group = "Preview"});
    Add({.id = "previewInfo", .group = "Preview", .text = "Choose a bitmap to see it."});
    ApplyRules();
}

void CGraphicPage1::ApplyRules() {
    const bool chosen = !path_.empty();
    for (const char* id : {"scaleBy", "rotation", "location", "description"})
        at(id).enabled = chosen;
    const bool byFactor = field("scaleBy").selected == 0;
    at("magnification").enabled = chosen && byFactor;
    at("height").enabled = chosen && !byFactor;
    at("width").enabled = chosen && !byFactor;
}

void CGraphicPage1::OnPress(const std::string& id) {
    if (id == "path")
        ChooseFile();
}

void CGraphicPage1::ChooseFile() {
    FileRequest request;
    request.filter = " Bitmap (*.bmp)|*.bmp||";
    request.defaultExtension = "bmp";
    request.mustExist = true;
    const std::optional<std::string> path = ChooseObjectFile(desk_.prompt, request);
    if (!path)
        return;
    if (!HasExtension(*path, ".bmp")) {
        desk_.prompt.Tell("Error!", kUnrecognisedBitmap, PromptIcon::Stop);
        return;
    }
    if (path->size() >= PCU_OBJECT_PATH_SIZE) {
        desk_.prompt.Tell("Error!",
                          "The bitmap's path is longer than 257 characters; move the file to a "
                          "folder with a shorter path.",
                          PromptIcon::Stop);
        return;
    }
    path_ = *path;
    at("file").text = path_;
    at("description").text = FileTitle(path_).substr(0, kTitleLength);
    ApplyRules();
    PresetSize();
    UpdatePreview();
}

// The bitmap's own size at the chosen rotation, in the unit shown.
void CGraphicPage1::PresetSize() {
    GraphicInfo probe = Request();
    probe.scaleMode = PCU_SCALE_BY_FACTOR;
    probe.scale = 1.0F;
    const int emulation = EmulationToKernel(value(kEmulationValue));
    GraphicEstimate estimate;
    const std::optional<double> mmPerDot = DotSizeMm(emulation);
    if (!mmPerDot || EstimateGraphicSize(probe, emulation, &estimate) != 0)
        return;
    at("height").text = ShowLength(static_cast<int>(estimate.height), *mmPerDot, metric());
    at("width").text = ShowLength(static_cast<int>(estimate.width), *mmPerDot, metric());
}

void CGraphicPage1::OnEdit(const std::string& id) {
    ApplyRules();
    if (id == "rotation" && !field("height").edited && !field("width").edited)
        PresetSize();
    if (id != "description" && id != "location")
        UpdatePreview();
}

GraphicInfo CGraphicPage1::Request() const {
    GraphicInfo r{};
    std::strncpy(r.path, path_.c_str(), sizeof r.path - 1);
    r.scaleMode = field("scaleBy").selected == 0 ? PCU_SCALE_BY_FACTOR : 2;
    r.scale = static_cast<float>(MagnificationFactor(field("magnification").selected));
    r.rotation = static_cast<std::int16_t>(std::max(field("rotation").selected, 0));
    FillRequest(*this, metric(), &r);
    return r;
}

std::string CGraphicPage1::SizeProblem() const {
    if (field("scaleBy").selected == 0)
        return {};
    for (const char* id : {"height", "width"}) {
        const std::optional<double> v = ParseDecimal(field(id).text);
        if (!v || *v <= 0)
            return std::string(id == std::string("height") ? "Height" : "Width") +
                   " takes a length above 0 " + LengthUnitText(metric());
    }
    return {};
}

std::string CGraphicPage1::Validate() const {
    if (path_.empty())
        return {};
    return RequestProblem(*this,
                          "The printer has no free graphic location left: delete a graphic first.",
                          SizeProblem());
}

void CGraphicPage1::Save() {
    if (path_.empty() || field("location").selected < 0)
        return;
    if (QueueRecord(desk_.config.graphics, Request()))
        desk_.session.flags.modified = true;
}

void CGraphicPage1::UpdatePreview() {
    Field& info = at("previewInfo");
    at("preview").image = {};
    if (path_.empty())
        return;
    if (std::string problem = SizeProblem(); !problem.empty()) {
        info.text = problem;
        return;
    }
    const GraphicInfo request = Request();
    RgbImage image;
    std::string why;
    if (PrepareGraphic(request, EmulationToKernel(value(kEmulationValue)), &image, &why) != 0) {
        info.text = "No preview: " + why;
        return;
    }
    DotImage& dots = at("preview").image;
    dots.width = image.width;
    dots.height = image.height;
    dots.dots.resize(image.pixels.size());
    for (std::size_t i = 0; i < image.pixels.size(); ++i)
        dots.dots[i] = IsPrintedPixel(image.pixels[i]) ? 1 : 0;
    const std::int64_t bytes = (std::int64_t{image.width} * image.height + 7) / 8;
    info.text = std::to_string(image.width) + " x " + std::to_string(image.height) + " dots, " +
                std::to_string(bytes) + " bytes; ";
    const std::int64_t freeBytes = std::int64_t{value(kFreeMemoryValue)} * 1000;
    if (desk_.session.flags.configNotRetrieved)
        info.text += "the printer's free memory is not known";
    else
        info.text += std::string(bytes <= freeBytes ? "fits" : "does not fit") +
                     " the printer's free memory (" + std::to_string(value(kFreeMemoryValue)) +
                     " KB)";
}

}  // namespace tarvo::app::lanmere

#include "brakenholm/brak_media_rules.h"

#include <algorithm>
#include <array>

#include "brakenholm/brak_commands.h"
#include "brakenholm/brak_host.h"
#include "brakenholm/brak_model.h"

namespace tarvo::app {
namespace {

// Peel off, tear off, and cut off for other media and for variable length strip.
struct AdjustRow {
    AdjustPair peel;
    AdjustPair tear;
    AdjustPair cut;
    AdjustPair cutStrip;
};

constexpr AdjustRow kGeneration0 = {{-88, -48}, {-152, 0}, {-252, 100}, {-252, 100}};
constexpr AdjustRow kGeneration1Res8 = {{-90, -24}, {-114, 0}, {-114, 70}, {-294, 250}};
constexpr AdjustRow kGeneration1 = {{-135, -36}, {-171, 0}, {-171, 105}, {-441, 375}};
constexpr AdjustRow kGeneration2 = {{-115, -60}, {-175, 0}, {-425, 250}, {-425, 250}};
constexpr AdjustRow kWideRes8 = {{-90, -24}, {-114, 0}, {-294, 180}, {-294, 250}};
constexpr AdjustRow kWide = {{-137, -37}, {-174, 0}, {-448, 275}, {-448, 381}};
constexpr AdjustRow kOtherRes8 = {{-56, -44}, {-100, 0}, {-240, 160}, {-250, 275}};
constexpr AdjustRow kOther = {{-84, -66}, {-150, 0}, {-360, 240}, {-375, 412}};
// The G3 and G5 cut off whatever their resolution; they peel and tear as the other models.
constexpr AdjustPair kSmallCut = {-240, 160};
constexpr AdjustPair kSmallCutStrip = {-250, 275};

AdjustRow RowOf(const MediaModel& model) {
    const bool res8 = model.resolution == "8";
    switch (model.generation) {
        case 0:
            return kGeneration0;
        case 1:
            return res8 ? kGeneration1Res8 : kGeneration1;
        case 2:
            return kGeneration2;
        default:
            break;
    }
    if (model.modelText == "TQ5e" || model.modelText == "TQ8e")
        return res8 ? kWideRes8 : kWide;
    AdjustRow row = res8 ? kOtherRes8 : kOther;
    if (model.modelText == "G3" || model.modelText == "G5") {
        row.cut = kSmallCut;
        row.cutStrip = kSmallCutStrip;
    }
    return row;
}

// The value of one setting, as a pointer-to-member per field type.
template <typename T>
void CopyField(BrakSetup& to, const BrakSetup& from, T BrakSetup::*field) {
    to.*field = from.*field;
}

}  // namespace

MediaModel MediaModelOf(const CBrakPrinter& printer) {
    return {printer.SetupGeneration(), printer.Identity().version1, printer.Identity().sysvar21};
}

AdjustPair AutosetAdjust(FeedMode mode, const MediaModel& model, bool variableLengthStrip) {
    const AdjustRow row = RowOf(model);
    switch (mode) {
        case FeedMode::PeelOff:
            return row.peel;
        case FeedMode::TearOff:
            return row.tear;
        case FeedMode::CutOff:
            break;
    }
    return variableLengthStrip ? row.cutStrip : row.cut;
}

std::string_view FeedModeName(FeedMode mode) {
    switch (mode) {
        case FeedMode::PeelOff:
            return "Peel off";
        case FeedMode::TearOff:
            return "Tear off";
        case FeedMode::CutOff:
            break;
    }
    return "Cut off";
}

std::string_view CurrentSettingName(AdjustPair current, const MediaModel& model,
                                    bool variableLengthStrip) {
    for (FeedMode mode : {FeedMode::PeelOff, FeedMode::TearOff, FeedMode::CutOff}) {
        if (AutosetAdjust(mode, model, variableLengthStrip) == current)
            return FeedModeName(mode);
    }
    return "Custom";
}

std::string ContrastText(int position) {
    return std::to_string(2 * position - 10) + "%";
}

int SpeedSpinValue(int mmPerSecond, bool metric) {
    const int clamped = std::clamp(mmPerSecond, kMinPrintSpeed, kMaxPrintSpeed);
    return metric ? clamped : clamped / kPrintSpeedStep;
}

int SpeedFromSpin(int value, bool metric) {
    const int mm = metric ? value : value * kPrintSpeedStep;
    return std::clamp(mm, kMinPrintSpeed, kMaxPrintSpeed);
}

std::string_view SpeedCaption(bool metric) {
    return metric ? "Print Speed (mm/sec.):" : "Print Speed (in/sec.):";
}

PaperTypeCheck CheckPaperTypeChoice(CBrakPrinter& printer, bool scriptReply,
                                    bool toThermalTransfer) {
    const bool printerTransfer = printer.Identity().sysvar20 != 0;
    if (toThermalTransfer == printerTransfer)
        return {};
    if (toThermalTransfer && !scriptReply) {
        return {false, "Printer not connected.\nCannot change paper type to thermal transfer."};
    }
    const std::optional<std::int16_t> ribbon = printer.ReadRibbonSensor();
    if (!ribbon) {
        return {false,
                "No answer from the printer's ribbon sensor.\nThe paper type was not "
                "changed."};
    }
    if (toThermalTransfer && *ribbon == 0)
        return {false,
                "No ribbon detected in printer.\nCannot change paper type to thermal "
                "transfer."};
    if (!toThermalTransfer && *ribbon != 0)
        return {false, "Ribbon detected in printer.\nCannot change paper type to direct thermal."};
    return {};
}

std::vector<BrakSetting> SetupPageSettings(int generation) {
    using S = BrakSetting;
    if (UsesNewTree(generation))
        return {S::MediaType, S::PaperType, S::PrintSpeed};
    return {S::MediaType, S::Performance};
}

std::vector<BrakSetting> HandlingPageSettings() {
    using S = BrakSetting;
    return {S::StartAdjust, S::StopAdjust, S::XStart, S::Width, S::Length};
}

std::vector<BrakSetting> QualityPageSettings() {
    using S = BrakSetting;
    return {S::LabelConstant, S::LabelFactor, S::RibbonConstant,
            S::RibbonFactor,  S::LabelOffset, S::Contrast};
}

std::vector<BrakSetting> ClassicQualityPageSettings() {
    using S = BrakSetting;
    return {S::PaperType, S::Contrast, S::NewSupplies1, S::NewSupplies2};
}

void CopySetting(BrakSetup& to, const BrakSetup& from, BrakSetting setting) {
    using S = BrakSetting;
    switch (setting) {
        case S::StartAdjust:
            CopyField(to, from, &BrakSetup::startAdjust);
            break;
        case S::StopAdjust:
            CopyField(to, from, &BrakSetup::stopAdjust);
            break;
        case S::XStart:
            CopyField(to, from, &BrakSetup::xStart);
            break;
        case S::Width:
            CopyField(to, from, &BrakSetup::width);
            break;
        case S::Length:
            CopyField(to, from, &BrakSetup::length);
            break;
        case S::MediaType:
            CopyField(to, from, &BrakSetup::mediaType);
            break;
        case S::PaperType:
            CopyField(to, from, &BrakSetup::paperType);
            break;
        case S::LabelConstant:
            CopyField(to, from, &BrakSetup::labelConstant);
            break;
        case S::LabelFactor:
            CopyField(to, from, &BrakSetup::labelFactor);
            break;
        case S::RibbonConstant:
            CopyField(to, from, &BrakSetup::ribbonConstant);
            break;
        case S::RibbonFactor:
            CopyField(to, from, &BrakSetup::ribbonFactor);
            break;
        case S::LabelOffset:
            CopyField(to, from, &BrakSetup::labelOffset);
            break;
        case S::Contrast:
            CopyField(to, from, &BrakSetup::contrast);
            break;
        case S::PrintSpeed:
            CopyField(to, from, &BrakSetup::printSpeed);
            break;
        case S::NewSupplies1:
            CopyField(to, from, &BrakSetup::newSupplies1);
            break;
        case S::NewSupplies2:
            CopyField(to, from, &BrakSetup::newSupplies2);
            break;
        case S::Performance:
            CopyField(to, from, &BrakSetup::performance);
            break;
        default:
            return;  // not a media setting: the pages never copy it
    }
    if (WasRead(from, setting))
        MarkRead(to, setting);
    else
        MarkUnread(to, setting);
}

OpResult StoreAndSend(CBrakPrinter& printer, const BrakSetup& page,
                      std::span<const BrakSetting> settings) {
    const int generation = printer.SetupGeneration();
    for (BrakSetting setting : settings) {
        if (IsUnset(setting, page, generation) || !CanWriteSetting(setting, generation).writable)
            continue;
        const BrakSetup before = printer.GetSetup();
        BrakSetup stored = before;
        CopySetting(stored, page, setting);
        printer.SetSetup(stored);
        const TxResult sent = printer.SendSetting(setting);
        if (!sent.ok()) {
            printer.SetSetup(before);
            return {OpStatus::Failed, std::string(SettingName(setting)), DescribeTx(sent)};
        }
    }
    return {};
}

}  // namespace tarvo::app

// The rules of the Brakenholm media pages, without widgets: the start and stop adjust pairs of
// each feed mode by model, the name of the mode a pair matches, the contrast and speed texts,
// the checks a paper-type choice must pass, and the sending of a page's values.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "brakenholm/brak_printer.h"

namespace tarvo::app {

// The media-type table position of variable length strip.
inline constexpr std::uint16_t kVariableLengthStrip = 4;

enum class FeedMode { PeelOff, TearOff, CutOff };

// What the adjust pairs depend on: the setup generation, the model text (PRINT VERSION$(1)) and
// the resolution text (SYSVAR(21), "8" for 8 dots per millimetre).
struct MediaModel {
    int generation = 0;
    std::string modelText;
    std::string resolution;
};

// The model of `printer` as the pages see it.
MediaModel MediaModelOf(const CBrakPrinter& printer);

struct AdjustPair {
    std::int16_t start = 0;
    std::int16_t stop = 0;
    bool operator==(const AdjustPair&) const = default;
};

// The start and stop adjust (dots) that `mode` sets on `model`; cut off depends on whether the
// media is variable length strip.
AdjustPair AutosetAdjust(FeedMode mode, const MediaModel& model, bool variableLengthStrip);

// "Peel off", "Tear off", "Cut off".
std::string_view FeedModeName(FeedMode mode);

// The name of the mode whose pair for `model` equals `current`, else "Custom".
std::string_view CurrentSettingName(AdjustPair current, const MediaModel& model,
                                    bool variableLengthStrip);

// The contrast slider's positions 0..10 (the "7.12" contrast table positions) and the text of
// a position: "%d%%" of 2p - 10, so "-10%" .. "10%".
inline constexpr int kContrastPositions = 11;
std::string ContrastText(int position);

// Print speed. The page keeps millimetres per second; the operator sees inches per second
// (mm/s divided by 25) unless the session is metric. The spin steps through 100..300 mm/s in
// steps of 25 mm/s.
inline constexpr int kMinPrintSpeed = 100;
inline constexpr int kMaxPrintSpeed = 300;
inline constexpr int kPrintSpeedStep = 25;
// The spin's value for `mmPerSecond` (clamped to the spin's range) in the shown unit.
int SpeedSpinValue(int mmPerSecond, bool metric);
// The speed in mm/s of spin value `value` in the shown unit.
int SpeedFromSpin(int value, bool metric);
// "Print Speed (mm/sec.):" or "Print Speed (in/sec.):".
std::string_view SpeedCaption(bool metric);

// The outcome of a paper-type choice on a printer. When refused, `notice` says why (caption
// "Notice") and the choice goes back to what it was; the record is not touched.
struct PaperTypeCheck {
    bool allowed = true;
    std::string notice;
};

// Checks a choice of thermal transfer (`toThermalTransfer`) or direct thermal against what the
// printer states: a printer set for direct thermal (SYSVAR(20) 0) takes transfer only when it
// has answered before and its ribbon sensor sees a ribbon; a printer set for transfer takes
// direct thermal only when the sensor sees none. A sensor that does not answer refuses the
// change with "No answer", never with a ribbon verdict.
PaperTypeCheck CheckPaperTypeChoice(CBrakPrinter& printer, bool scriptReply,
                                    bool toThermalTransfer);

// The settings each page sends on confirm, in order, for `generation`.
std::vector<BrakSetting> SetupPageSettings(int generation);
std::vector<BrakSetting> HandlingPageSettings();
std::vector<BrakSetting> QualityPageSettings();
std::vector<BrakSetting> ClassicQualityPageSettings();

// Copies the value of `setting` from `from` into `to` (its read mark too).
void CopySetting(BrakSetup& to, const BrakSetup& from, BrakSetting setting);

// Stores each of `settings` from `page` in the printer's record and sends it with the setup
// tree's own writer, in order. A setting the page holds no value for, or that the printer's
// generation lacks, is neither stored nor sent. Stops at the first failure, which is named
// (that setting and the ones after it are not stored). Done when everything went.
OpResult StoreAndSend(CBrakPrinter& printer, const BrakSetup& page,
                      std::span<const BrakSetting> settings);

}  // namespace tarvo::app

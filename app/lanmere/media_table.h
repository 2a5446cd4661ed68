// The media sensitivity numbers the print quality wizard knows: 63 media, each with the models
// it suits, grouped into eight series by hundreds digit (8xx first). A number names the media's
// series (hundreds), its kind within the series (tens) and the ribbon it takes (units).
#pragma once

#include <string>
#include <vector>

namespace tarvo::app::lanmere {

enum class MediaClass { Paper = 0, Plastic = 1, Kapton = 2, DirectThermal = 3 };

struct MediaRecord {
    int number;
    unsigned modelMask;  // bit n: model index n
};

inline constexpr int kMediaSeriesCount = 8;

// The text shown for a number no record has.
inline constexpr const char* kNonMakerMedia = "Non Quorvane media sensitivity number";

// Every record, in series order (8xx, 7xx, ... 1xx).
const std::vector<MediaRecord>& MediaRecords();

// The series of `number` (0 for 8xx .. 7 for 1xx), or -1 outside 100..899.
int SeriesOf(int number);
// Series `series`'s hundreds (800 .. 100), its class, and whether it takes a ribbon.
int SeriesHundreds(int series);
MediaClass SeriesClass(int series);
bool SeriesTransfer(int series);

// Whether a record of `number` suits `model`.
bool MediaValid(int number, int model);
// The name of the media of `number` (kNonMakerMedia when no record has it).
std::string MediaName(int number);
// "420  <name>": how lists show a number.
std::string MediaEntry(int number);

// The numbers of `series` that suit `model`, in table order.
std::vector<int> SeriesNumbers(int series, int model);
// Whether a number of the same tens as `number` suits `model`.
bool TensValid(int number, int model);
// Whether the ribbon of class `ribbonClass` and fine digit `fine` suits `model`: a record of
// series `ribbonClass`xx ending in `fine` does.
bool RibbonValid(int ribbonClass, int fine, int model);

}  // namespace tarvo::app::lanmere

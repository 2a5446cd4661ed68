#include "lanmere/media_table.h"

#include <array>

namespace tarvo::app::lanmere {
namespace {

struct Series {
    bool transfer;
    MediaClass kind;
    const char* name;  // our own description of the series' stock
};

constexpr std::array<Series, kMediaSeriesCount> kSeries = {{
    {true, MediaClass::Paper, "Coated paper, wax ribbon"},
    {false, MediaClass::DirectThermal, "Direct thermal tag"},
    {true, MediaClass::Plastic, "Matte synthetic film, resin ribbon"},
    {true, MediaClass::Paper, "Paper, wax-resin ribbon"},
    {false, MediaClass::DirectThermal, "Direct thermal paper"},
    {true, MediaClass::Plastic, "Gloss film, resin ribbon"},
    {true, MediaClass::Kapton, "Polyimide, high-heat ribbon"},
    {false, MediaClass::DirectThermal, "Direct thermal economy paper"},
}};

const std::vector<MediaRecord> kRecords = {
    {864, 0x1fffbff}, {854, 0xf08ff},   {834, 0xf08df},   {740, 0x8cf},     {720, 0xf0fff},
    {678, 0x400},     {677, 0xf3bff},   {673, 0x380f},    {688, 0x400},     {687, 0x1fffbff},
    {647, 0xc08c0},   {683, 0x38cf},    {643, 0xc08c0},   {633, 0xf3bf4},   {628, 0x400},
    {627, 0x1fffbff}, {637, 0x380f},    {635, 0x800},     {623, 0xf3bdf},   {622, 0x400},
    {568, 0x400},     {567, 0x1fffbff}, {528, 0x400},     {527, 0x1fffbff}, {523, 0x380f},
    {548, 0x400},     {563, 0xf38df},   {562, 0x400},     {557, 0x300f},    {553, 0x300f},
    {547, 0x804},     {545, 0x800},     {543, 0x804},     {537, 0x380f},    {533, 0xf38e4},
    {565, 0xf3fd0},   {517, 0x382f},    {564, 0x400},     {518, 0x400},     {513, 0x1fffbd4},
    {515, 0x800},     {450, 0x1ffffff}, {470, 0x1ffffd2}, {480, 0x1fffbc0}, {440, 0x1fffbff},
    {420, 0x1ffffff}, {460, 0xf3bff},   {430, 0xb00},     {369, 0xf0bff},   {366, 0x1fffbff},
    {381, 0x400},     {238, 0xe08f3},   {236, 0xe08f3},   {226, 0xe08f3},   {222, 0xe08f3},
    {180, 0x1fffbff}, {170, 0xf3bff},   {160, 0x1ffffff}, {150, 0xc00},     {140, 0x1fffbff},
    {190, 0xc1f},     {130, 0x1ffffff}, {120, 0x80b},
};

const MediaRecord* Find(int number) {
    for (const MediaRecord& r : kRecords) {
        if (r.number == number)
            return &r;
    }
    return nullptr;
}

constexpr int kMaskBits = 32;

bool Suits(const MediaRecord& r, int model) {
    const int bit = model;
    return bit >= 0 && bit < kMaskBits && (r.modelMask >> bit & 1u) != 0;
}

// The grade letter of a record: its place within its series.
char Grade(int number) {
    const int series = SeriesOf(number);
    char grade = 'A';
    for (const MediaRecord& r : kRecords) {
        if (r.number == number)
            return grade;
        if (SeriesOf(r.number) == series)
            ++grade;
    }
    return grade;
}

}  // namespace

const std::vector<MediaRecord>& MediaRecords() {
    return kRecords;
}

int SeriesOf(int number) {
    if (number < 100 || number > 899)
        return -1;
    return 8 - number / 100;
}

int SeriesHundreds(int series) {
    return (8 - series) * 100;
}

MediaClass SeriesClass(int series) {
    return kSeries.at(static_cast<std::size_t>(series)).kind;
}

bool SeriesTransfer(int series) {
    return kSeries.at(static_cast<std::size_t>(series)).transfer;
}

bool MediaValid(int number, int model) {
    const MediaRecord* r = Find(number);
    return r != nullptr && Suits(*r, model);
}

std::string MediaName(int number) {
    if (Find(number) == nullptr)
        return kNonMakerMedia;
    return std::string(kSeries[static_cast<std::size_t>(SeriesOf(number))].name) + ", grade " +
           Grade(number);
}

std::string MediaEntry(int number) {
    return std::to_string(number) + "  " + MediaName(number);
}

std::vector<int> SeriesNumbers(int series, int model) {
    std::vector<int> numbers;
    for (const MediaRecord& r : kRecords) {
        if (SeriesOf(r.number) == series && Suits(r, model))
            numbers.push_back(r.number);
    }
    return numbers;
}

bool TensValid(int number, int model) {
    for (const MediaRecord& r : kRecords) {
        if (r.number / 10 == number / 10 && Suits(r, model))
            return true;
    }
    return false;
}

bool RibbonValid(int ribbonClass, int fine, int model) {
    for (const MediaRecord& r : kRecords) {
        if (r.number / 100 == ribbonClass && r.number % 10 == fine && Suits(r, model))
            return true;
    }
    return false;
}

}  // namespace tarvo::app::lanmere

// The capabilities table. Each column is written once, as the models that differ from the
// column's default, in the words one would say it in ("6220 and 6240 take the take-up
// adjustment"); the 42 records are laid out from these lists at compile time. A list naming a
// model outside 0..41 does not build.
#include "tarvo/base/model_capabilities.h"

#include <array>
#include <cstddef>
#include <initializer_list>

#include "tarvo/base/model_tables.h"

namespace tarvo {
namespace {

using CapabilityRows = std::array<ModelCapabilities, kModelCount>;

template <typename T, typename ModelList>
constexpr void Give(CapabilityRows& rows, T ModelCapabilities::*column, T value,
                    const ModelList& models) {
    for (int model : models)
        rows.at(static_cast<std::size_t>(model)).*column = value;
}

template <typename T>
constexpr void Give(CapabilityRows& rows, T ModelCapabilities::*column, T value,
                    std::initializer_list<int> models) {
    Give<T, std::initializer_list<int>>(rows, column, value, models);
}

// The escape-language firmware of the G and T series (G3-QEL .. TQ8e-QEL), which runs on
// script-language hardware.
constexpr std::array kQelOnScriptHardware = {14, 15, 20, 21, 22, 23, 24};

constexpr CapabilityRows LayOutCapabilities() {
    using C = ModelCapabilities;
    CapabilityRows rows{};

    Give(rows, &C::firmwareRoad, FirmwareRoad::kBootLoader, {6, 7, 16, 17, 18, 19});
    Give(rows, &C::firmwareRoad, FirmwareRoad::kZmodem, kQelOnScriptHardware);
    Give(rows, &C::firmwareRoad, FirmwareRoad::kZmodem, {32, 33, 34, 35, 36, 37, 38, 39, 40, 41});

    // The rate ladder runs 110 .. 115200; most models keep 1200 .. 19200.
    Give(rows, &C::slowestBaud, 110, {8, 9, 10, 11});
    Give(rows, &C::fastestBaud, 38400, {2});
    Give(rows, &C::fastestBaud, 57600, {4});
    Give(rows, &C::fastestBaud, 115200, {6, 7, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24});

    // The tables offer the adjustment on 6220E and 6240E as well, but only these two take it.
    Give(rows, &C::sendsTakeUpAdjust, true, {6, 7});
    Give(rows, &C::omitsHandshakePins, true, kQelOnScriptHardware);
    Give(rows, &C::fixedEmulation, 4, {8, 9});  // 300 dpi

    Give(rows, &C::serviceItems, ServiceItems::kBasic, {0, 1, 2, 3, 10, 25});
    Give(rows, &C::serviceItems, ServiceItems::kWithL,
         {4, 5, 6, 7, 8, 9, 12, 13, 14, 15, 20, 21, 22, 23, 24});
    Give(rows, &C::serviceItems, ServiceItems::kAllButUV, {16, 17, 18, 19});
    Give(rows, &C::serviceItems, ServiceItems::kAll, {11});
    Give(rows, &C::slowServiceS, true, {8, 11});
    Give(rows, &C::serviceRepliesOptional, true, kQelOnScriptHardware);

    Give(rows, &C::largestGraphic, LargestGraphic{600, 0}, {0, 8, 9, 25});
    Give(rows, &C::largestGraphic, LargestGraphic{800, 0}, {1, 2, 3, 11, 12, 13});
    Give(rows, &C::largestGraphic, LargestGraphic{1015, 0}, {5});
    Give(rows, &C::largestGraphic, LargestGraphic{600, 800}, {10});
    Give(rows, &C::largestGraphic, LargestGraphic{1600, 0},
         {4, 6, 7, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24});

    Give(rows, &C::factoryLine, FactoryLine::kSevenBitsEven, {8, 9});
    Give(rows, &C::factoryLine, FactoryLine::kEightBitsNone, {12, 13});
    Give(rows, &C::factoryLine, FactoryLine::kEightBitsNone, kQelOnScriptHardware);
    Give(rows, &C::offersParallelPort, true, {6, 7, 12, 13, 16, 17, 18, 19});
    Give(rows, &C::hasParallelMode, true, {12, 13});                         // 9221, RK17
    Give(rows, &C::takesNoSevenBitsWithoutParity, true, {0, 1, 2, 12, 13});  // 5200s, 9221, RK17

    Give(rows, &C::mediaTypeSwitch, MediaTypeSwitch::kFrontPanelSwitch, {10});
    Give(rows, &C::mediaTypeSwitch, MediaTypeSwitch::kNone, {8, 9, 11, 12, 13});
    Give(rows, &C::mediaTypeSwitch, MediaTypeSwitch::kNone, kQelOnScriptHardware);
    Give(rows, &C::qualityLabel, QualityLabelLayout::k400Dpi, {4, 5, 7, 17, 19});
    Give(rows, &C::qualityLabel, QualityLabelLayout::kSmallFonts, {0});
    Give(rows, &C::qualityLabel, QualityLabelLayout::kNarrow, {14, 20});

    Give(rows, &C::setupGeneration, 0, {27, 28});
    Give(rows, &C::setupGeneration, 2, {32, 33});
    Give(rows, &C::setupGeneration, 3, {34, 35, 36, 37, 38, 39, 40, 41});
    // "Unknown" (41) takes group A: nothing is known of it.
    Give(rows, &C::assumedSetup, AssumedSetup::kB, {27, 28});
    Give(rows, &C::assumedSetup, AssumedSetup::kC, {32, 33, 34, 35, 36, 37, 38, 39, 40});
    Give(rows, &C::hasFlashDrive, true, {32, 33, 34, 35, 36, 37, 38, 39, 40, 41});
    Give(rows, &C::hasNetworkInterface, true, {36, 37, 38, 39, 40});
    Give(rows, &C::headDotsPerMm, 12, {34, 36});  // the "3" models have the finer head
    return rows;
}

constexpr CapabilityRows kCapabilities = LayOutCapabilities();
constexpr ModelCapabilities kNoCapabilities{};

constexpr bool GenerationsHaveTrees() {
    for (const ModelCapabilities& row : kCapabilities) {
        if (row.setupGeneration < 0 || row.setupGeneration > 3)
            return false;
    }
    return true;
}
static_assert(GenerationsHaveTrees(), "every setup generation is one of 0..3");

}  // namespace

const ModelCapabilities& CapabilitiesOf(int model) {
    if (model < 0 || model >= kModelCount)
        return kNoCapabilities;
    return kCapabilities[static_cast<std::size_t>(model)];
}

std::string_view SetupTreeOfGeneration(int generation) {
    switch (generation) {
        case 0:
        case 1:
            return "6.13";
        case 2:
        case 3:
            return "7.12";
        default:
            return {};
    }
}

}  // namespace tarvo

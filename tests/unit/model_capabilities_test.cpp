// The capabilities and emulation tables: what must hold between their columns, and a few values
// that the wire depends on. The values themselves are pinned by the tests of what reads them
// (configuration text, service queries, reset, firmware, setup trees).
#include <gtest/gtest.h>

#include <charconv>
#include <string>

#include "tarvo/base/model_capabilities.h"
#include "tarvo/base/model_tables.h"
#include "tarvo/base/setting_rules.h"

namespace tarvo {
namespace {

TEST(ModelCapabilities, EveryScriptModelHasASetupGenerationAndItsTree) {
    for (int model = kFirstBrakenholmModel; model <= kUnknownModel; ++model) {
        const ModelCapabilities& c = CapabilitiesOf(model);
        ASSERT_GE(c.setupGeneration, 0) << model;
        ASSERT_LE(c.setupGeneration, 3) << model;
        EXPECT_EQ(SetupTreeOfGeneration(c.setupGeneration),
                  c.setupGeneration >= 2 ? "7.12" : "6.13")
            << model;
        // Only the generation-0 models have the smallest store and their own assumed values.
        EXPECT_EQ(c.setupGeneration == 0, c.assumedSetup == AssumedSetup::kB) << model;
        // The network models are the newest, with a flash drive.
        if (c.hasNetworkInterface) {
            EXPECT_TRUE(c.hasFlashDrive) << model;
        }
        EXPECT_TRUE(c.headDotsPerMm == 8 || c.headDotsPerMm == 12) << model;
    }
    EXPECT_EQ(SetupTreeOfGeneration(4), "");
    EXPECT_EQ(SetupTreeOfGeneration(-1), "");
}

TEST(ModelCapabilities, EscapeLanguageColumnsAreEmptyOnScriptModels) {
    for (int model = kFirstBrakenholmModel; model <= kUnknownModel; ++model) {
        const ModelCapabilities& c = CapabilitiesOf(model);
        EXPECT_EQ(c.serviceItems, ServiceItems::kNone) << model;
        EXPECT_EQ(c.factoryLine, FactoryLine::kKept) << model;
        EXPECT_EQ(c.largestGraphic.firstVariant, 0) << model;
        EXPECT_FALSE(c.sendsTakeUpAdjust || c.omitsHandshakePins || c.slowServiceS) << model;
        EXPECT_NE(c.firmwareRoad, FirmwareRoad::kBootLoader) << model;
    }
}

// The escape-language firmware on script hardware differs from the other escape-language models
// in the same ways: firmware by Zmodem, no handshake pins, unanswered service queries allowed.
TEST(ModelCapabilities, QelOnScriptHardwareGoesTogether) {
    int count = 0;
    for (int model = 0; model < kTableModelCount; ++model) {
        const ModelCapabilities& c = CapabilitiesOf(model);
        const bool zmodem = c.firmwareRoad == FirmwareRoad::kZmodem;
        EXPECT_EQ(zmodem, c.omitsHandshakePins) << model;
        EXPECT_EQ(zmodem, c.serviceRepliesOptional) << model;
        count += zmodem ? 1 : 0;
    }
    EXPECT_EQ(count, 7);  // G3-QEL, G5-QEL, TG3e-QEL .. TQ8e-QEL
    EXPECT_EQ(CapabilitiesOf(ModelIndexOf("G5-QEL")).firmwareRoad, FirmwareRoad::kZmodem);
    EXPECT_EQ(CapabilitiesOf(ModelIndexOf("6240E")).firmwareRoad, FirmwareRoad::kBootLoader);
}

TEST(ModelCapabilities, SpotChecks) {
    // The settings table offers the take-up adjustment on 6220E, but the printer is never sent it.
    const int model6220E = ModelIndexOf("6220E");
    EXPECT_TRUE(SettingSupported(model6220E, 21, ""));
    EXPECT_FALSE(CapabilitiesOf(model6220E).sendsTakeUpAdjust);
    EXPECT_FALSE(SettingReachesPrinter(model6220E, "", 21, nullptr));
    EXPECT_TRUE(SettingReachesPrinter(ModelIndexOf("6240"), "", 21, nullptr));

    EXPECT_EQ(CapabilitiesOf(ModelIndexOf("6630")).fixedEmulation, 4);
    EXPECT_EQ(CapabilitiesOf(ModelIndexOf("6000")).largestGraphic.secondVariant, 800);
    EXPECT_EQ(CapabilitiesOf(ModelIndexOf("TG3e")).headDotsPerMm, 12);
    EXPECT_EQ(CapabilitiesOf(ModelIndexOf("Unknown")).setupGeneration, 3);
    EXPECT_EQ(CapabilitiesOf(ModelIndexOf("Unknown")).assumedSetup, AssumedSetup::kA);
}

TEST(ModelCapabilities, OutsideTheTableEveryColumnHasItsDefault) {
    for (const int model : {-1, kModelCount, 1000}) {
        const ModelCapabilities& c = CapabilitiesOf(model);
        EXPECT_EQ(c.firmwareRoad, FirmwareRoad::kNone);
        EXPECT_EQ(c.serviceItems, ServiceItems::kNone);
        EXPECT_EQ(c.setupGeneration, 1);
        EXPECT_EQ(c.fixedEmulation, kNoFixedEmulation);
        EXPECT_FALSE(c.hasFlashDrive);
    }
}

// Each emulation's bar width in mils is a thousandth of an inch over its dots per inch, and its
// place in the program's list runs from the finest bar to the coarsest.
TEST(EmulationTable, BarWidthsMatchResolutionsAndTheListRunsFinestFirst) {
    double previousMil = 0.0;
    for (int position = 0; position < kEmulationCount; ++position) {
        const int emulation = EmulationToKernelOrder(position);
        const EmulationRow* row = FindEmulation(emulation);
        ASSERT_NE(row, nullptr) << position;
        EXPECT_EQ(EmulationToProgramOrder(emulation), position);
        const std::string text(row->milText);
        double mil = 0.0;
        std::from_chars(text.data(), text.data() + text.size(), mil);
        EXPECT_NEAR(mil * row->dpi, 1000.0, 15.0) << text;
        EXPECT_GT(mil, previousMil) << text;
        previousMil = mil;
    }
    EXPECT_EQ(FindEmulation(kEmulationCount), nullptr);
    EXPECT_EQ(EmulationToKernelOrder(kEmulationCount), -1);
}

}  // namespace
}  // namespace tarvo

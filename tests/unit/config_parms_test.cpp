// The configuration record by setting index (PCUGetParms / PCUPutParms), the download flags,
// the directory lists, and the orders and units the command-line tool converts at its boundary.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>

#include "session/kernel_state.h"
#include "support/test_env.h"
#include "tarvo/base/setting_rules.h"
#include "tarvo/kernel.h"

namespace tarvo {
namespace {

class ConfigParmsTest : public ::testing::Test {
  protected:
    void SetUp() override { ctx = PCUCfgInit(); }
    ConfigRecord& record() { return FindContext(ctx)->settings; }

    struct Read {
        int kind;
        int value;
    };
    Read get(int setting) {
        Read r{-1, -1};
        EXPECT_EQ(PCUGetParms(ctx, 1, &setting, &r.kind, &r.value), PCU_OK);
        return r;
    }
    int put(int setting, std::array<unsigned char, 4> slot) {
        return PCUPutParms(ctx, 1, &setting, slot.data());
    }

    test::TestEnv env;
    int ctx = 0;
};

TEST_F(ConfigParmsTest, SettingsReadTheirOwnFields) {
    record().selfStrip = 1;
    record().secondSpeed = 30;
    record().valueP1 = 11;
    record().valueP2 = 22;
    record().darkness = -7;
    record().startChar = static_cast<char>(0xE9);
    EXPECT_EQ(get(9).value, 1);
    EXPECT_EQ(get(9).kind, PCU_PARM_BYTE);
    EXPECT_EQ(get(40).value, 30);
    EXPECT_EQ(get(37).value, 11) << "valueP1, sent first, is setting 37";
    EXPECT_EQ(get(36).value, 22);
    EXPECT_EQ(get(14).value, -7);
    EXPECT_EQ(get(14).kind, PCU_PARM_SIGNED);
    EXPECT_EQ(get(3).kind, PCU_PARM_WORD) << "the print speed travels as a word";
    EXPECT_EQ(get(28).value, 0xE9) << "8-bit fields are zero-extended";
    for (int none : {1, -1, 43, 1000}) {
        EXPECT_EQ(get(none).kind, PCU_PARM_NO_FIELD) << none;
        EXPECT_EQ(get(none).value, 0) << none;
    }
}

TEST_F(ConfigParmsTest, SlotWidths) {
    // A 32-bit field takes the whole slot, an 8-bit one only its first byte, a 16-bit one two.
    ASSERT_EQ(put(3, {0x78, 0x56, 0x34, 0x12}), PCU_OK);
    EXPECT_EQ(record().printSpeed, 0x12345678);
    ASSERT_EQ(put(9, {0x01, 0x01, 0xff, 0xff}), PCU_OK);
    EXPECT_EQ(record().selfStrip, 1);
    ASSERT_EQ(put(15, {0x34, 0x12, 0xff, 0xff}), PCU_OK);
    EXPECT_EQ(record().labelLength, 0x1234);
    ASSERT_EQ(put(29, {0x0d, 0x7f, 0, 0}), PCU_OK);
    EXPECT_EQ(record().endChar, '\r');
    // Neighbouring fields are not touched by a narrow store.
    record().cutter = 9;
    ASSERT_EQ(put(9, {0x00, 0xee, 0xee, 0xee}), PCU_OK);
    EXPECT_EQ(record().cutter, 9);
}

TEST_F(ConfigParmsTest, TopOfFormIsSigned) {
    const std::int32_t minusTen = -10;
    std::array<unsigned char, 4> slot{};
    std::memcpy(slot.data(), &minusTen, 4);
    ASSERT_EQ(put(18, slot), PCU_OK);
    EXPECT_EQ(record().topOfForm, -10);
    EXPECT_EQ(get(18).value, -10) << "sign-extended, not 65526";
    EXPECT_EQ(get(18).kind, PCU_PARM_WORD);
}

TEST_F(ConfigParmsTest, ManySettingsInOneCall) {
    const int settings[] = {14, 1, 42, 99, 17};
    const std::int32_t values[] = {-3, 55, 99, 77, 1};
    ASSERT_EQ(PCUPutParms(ctx, 5, settings, values), PCU_OK);
    EXPECT_EQ(record().darkness, -3);
    EXPECT_EQ(record().valueV, 99);
    EXPECT_EQ(record().retract, 1);
    int kinds[5];
    int out[5];
    ASSERT_EQ(PCUGetParms(ctx, 5, settings, kinds, out), PCU_OK);
    EXPECT_EQ(out[0], -3);
    EXPECT_EQ(out[1], 0) << "an index without a field reads 0";
    EXPECT_EQ(out[2], 99);
    EXPECT_EQ(out[3], 0);
    EXPECT_EQ(out[4], 1);
}

TEST_F(ConfigParmsTest, RefusalsChangeNothing) {
    record().darkness = 4;
    const ConfigRecord before = record();
    const int settings[] = {14, 0};
    const std::int32_t badModel[] = {-9, 42};
    EXPECT_EQ(PCUPutParms(ctx, 2, settings, badModel), PCU_ERR_ARGUMENT);
    const std::int32_t negativeModel[] = {-9, -1};
    EXPECT_EQ(PCUPutParms(ctx, 2, settings, negativeModel), PCU_ERR_ARGUMENT);
    EXPECT_EQ(PCUPutParms(ctx, -1, settings, badModel), PCU_ERR_ARGUMENT);
    EXPECT_EQ(PCUPutParms(ctx, 1, nullptr, badModel), PCU_ERR_ARGUMENT);
    EXPECT_EQ(PCUPutParms(ctx, 1, settings, nullptr), PCU_ERR_ARGUMENT);
    EXPECT_EQ(PCUPutParms(ctx + 1, 1, settings, badModel), PCU_ERR_NO_CONTEXT);
    EXPECT_EQ(PCUPutParms(0, 1, settings, badModel), PCU_ERR_NO_CONTEXT);
    EXPECT_EQ(record(), before);
    const std::int32_t lastModel[] = {-9, 41};
    EXPECT_EQ(PCUPutParms(ctx, 2, settings, lastModel), PCU_OK);
    EXPECT_EQ(record().model, 41);

    int kind = 7;
    int value = 7;
    EXPECT_EQ(PCUGetParms(ctx, 1, settings, nullptr, &value), PCU_ERR_ARGUMENT);
    EXPECT_EQ(PCUGetParms(ctx, -1, settings, &kind, &value), PCU_ERR_ARGUMENT);
    EXPECT_EQ(PCUGetParms(33, 1, settings, &kind, &value), PCU_ERR_NO_CONTEXT);
    EXPECT_EQ(kind, 7);
    EXPECT_EQ(value, 7);
    EXPECT_EQ(PCUGetParms(ctx, 0, nullptr, nullptr, nullptr), PCU_OK);
    EXPECT_EQ(PCUPutParms(ctx, 0, nullptr, nullptr), PCU_OK);
}

TEST_F(ConfigParmsTest, DownloadFlags) {
    EXPECT_EQ(PCUSetDnldFlags(ctx, 1, 0, 1, 0), 1);
    EXPECT_EQ(FindContext(ctx)->downloadFlags, (std::array<int, 4>{1, 0, 1, 0}));
    EXPECT_EQ(PCUSetDnldFlags(ctx + 1, 1, 1, 1, 1), 0);
}

TEST_F(ConfigParmsTest, ClearDirectoryInfoKeepsThePages) {
    Context& c = *FindContext(ctx);
    for (cl_node* head :
         {c.fontList.head(), c.graphicList.head(), c.formatList.head(), c.pageList.head()}) {
        ASSERT_NE(cl_ins(head, 16), nullptr);
        ASSERT_NE(cl_ins(head, 16), nullptr);
    }
    EXPECT_EQ(PCUClearDirectoryInfo(ctx), PCU_OK);
    EXPECT_EQ(cl_count(c.fontList.head()), 0);
    EXPECT_EQ(cl_count(c.graphicList.head()), 0);
    EXPECT_EQ(cl_count(c.formatList.head()), 0);
    EXPECT_EQ(cl_count(c.pageList.head()), 2);
    EXPECT_EQ(PCUClearDirectoryInfo(ctx + 1), PCU_ERR_NO_CONTEXT);
}

TEST(EmulationOrderTest, TableMasksAreReadInTheProgramsOrder) {
    // 5200A: "5 mil", "10 mil", "15 mil": 200, 100 and 66 dpi.
    EXPECT_TRUE(EmulationAllowed(0, 1));
    EXPECT_TRUE(EmulationAllowed(0, 0));
    EXPECT_TRUE(EmulationAllowed(0, 2));
    EXPECT_FALSE(EmulationAllowed(0, 3));
    EXPECT_FALSE(EmulationAllowed(0, 4));
    EXPECT_EQ(DefaultEmulation(0), 1);
    // 6430 and 6630 only 3.3 mil (300 dpi), which is what their replies are read as.
    EXPECT_TRUE(EmulationAllowed(8, 4));
    EXPECT_FALSE(EmulationAllowed(8, 1));
    EXPECT_EQ(DefaultEmulation(9), 4);
    EXPECT_EQ(DefaultEmulation(26), -1);
    EXPECT_FALSE(EmulationAllowed(26, 1));
}

}  // namespace
}  // namespace tarvo

// Contexts and the communication parameters they load from the profile.
#include <gtest/gtest.h>

#include "session/kernel_state.h"
#include "support/test_env.h"
#include "tarvo/kernel.h"

namespace tarvo {
namespace {

class ContextTest : public ::testing::Test {
  protected:
    commState Loaded() {
        const int ctx = PCUCfgInit();
        EXPECT_NE(ctx, 0);
        commState c{};
        PCUGetCommState(ctx, &c);
        return c;
    }
    test::TestEnv env;
};

TEST_F(ContextTest, HandlesRunFromOneToThirtyTwoAndThenRunOut) {
    for (int expected = 1; expected <= PCU_MAX_CONTEXTS; ++expected) {
        EXPECT_EQ(PCUCfgInit(), expected);
    }
    EXPECT_EQ(PCUCfgInit(), 0);
}

TEST_F(ContextTest, UnknownHandlesAreRefused) {
    const int ctx = PCUCfgInit();
    for (int bad : {0, -1, ctx + 1, PCU_MAX_CONTEXTS + 1, 1 << 30}) {
        EXPECT_EQ(PCUInitCommParm(bad), PCU_ERR_NO_CONTEXT) << bad;
        commState c{};
        c.baud = 1234;
        PCUGetCommState(bad, &c);
        EXPECT_EQ(c.baud, 1234) << "an unknown context must not touch the record";
        PCUSetCommState(bad, &c);
        EXPECT_EQ(PCUPing(bad), 0);
    }
    PCUGetCommState(ctx, nullptr);  // must not crash
    PCUSetCommState(ctx, nullptr);
}

TEST_F(ContextTest, DefaultsWithoutProfileValues) {
    const commState c = Loaded();
    EXPECT_EQ(c.port, PCU_PORT_COM1);
    EXPECT_EQ(c.baud, 9600);
    EXPECT_EQ(c.parity, PCU_PARITY_EVEN);
    EXPECT_EQ(c.dataBits, 7);
    EXPECT_EQ(c.stopBits, 1);
    EXPECT_EQ(c.protocol, PCU_PROTOCOL_XONXOFF);
    EXPECT_EQ(c.preamble, 0);
    EXPECT_EQ(c.postamble, 0);
}

TEST_F(ContextTest, ProfileValuesAreParsedAsThePrinterSettingsStoreThem) {
    env.setProfile("Port", "COM3");
    env.setProfile("Baud", "38400");
    env.setProfile("Parity", "none");
    env.setProfile("DataBits", "8");
    env.setProfile("StopBits", "2");
    env.setProfile("Protocol", "Standard");
    env.setProfile("Preamble", "#");
    env.setProfile("Postamble", "$x");
    const commState c = Loaded();
    EXPECT_EQ(c.port, PCU_PORT_COM3);
    EXPECT_EQ(c.baud, 38400);
    EXPECT_EQ(c.parity, PCU_PARITY_NONE);
    EXPECT_EQ(c.dataBits, 8);
    EXPECT_EQ(c.stopBits, 2);
    EXPECT_EQ(c.protocol, PCU_PROTOCOL_STANDARD);
    EXPECT_EQ(c.preamble, '#');
    EXPECT_EQ(c.postamble, '$') << "only the first character counts";
}

TEST_F(ContextTest, ParityTakesTheFirstLetterInAnyCase) {
    const std::pair<const char*, int> cases[] = {
        {"odd", PCU_PARITY_ODD},     {"Even", PCU_PARITY_EVEN}, {"mark", PCU_PARITY_MARK},
        {"SPACE", PCU_PARITY_SPACE}, {"None", PCU_PARITY_NONE}, {"x", PCU_PARITY_NONE}};
    for (const auto& [text, parity] : cases) {
        env.setProfile("Parity", text);
        EXPECT_EQ(Loaded().parity, parity) << text;
    }
}

TEST_F(ContextTest, ProtocolNamesAreExactAndEverythingElseIsStandard) {
    const std::pair<const char*, int> cases[] = {{"XON/XOFF", PCU_PROTOCOL_XONXOFF},
                                                 {"RTS/CTS", PCU_PROTOCOL_RTSCTS},
                                                 {"Standard", PCU_PROTOCOL_STANDARD},
                                                 {"xon/xoff", PCU_PROTOCOL_STANDARD}};
    for (const auto& [text, protocol] : cases) {
        env.setProfile("Protocol", text);
        EXPECT_EQ(Loaded().protocol, protocol) << text;
    }
}

TEST_F(ContextTest, ParallelPortTakesTheParallelProtocolAndReadsNothingMore) {
    const int ctx = PCUCfgInit();
    env.setProfile("Port", "LPT2");
    env.setProfile("Baud", "19200");
    env.setProfile("Parity", "Odd");
    ASSERT_EQ(PCUInitCommParm(ctx), PCU_OK);
    commState c{};
    PCUGetCommState(ctx, &c);
    EXPECT_EQ(c.port, PCU_PORT_LPT2);
    EXPECT_EQ(c.protocol, PCU_PROTOCOL_PARALLEL);
    EXPECT_EQ(c.baud, 9600) << "the earlier serial settings stay";
    EXPECT_EQ(c.parity, PCU_PARITY_EVEN);
}

TEST_F(ContextTest, UnknownFamilyAndPortLeaveTheFieldsAlone) {
    const int ctx = PCUCfgInit();
    commState c{};
    c.port = PCU_PORT_COM2;
    PCUSetCommState(ctx, &c);
    FindContext(ctx)->comm.family = PCU_FAMILY_BRAKENHOLM;
    env.setProfile("Port", "com1");
    env.setProfile("Family", "lanmere");
    ASSERT_EQ(PCUInitCommParm(ctx), PCU_OK);
    EXPECT_EQ(FindContext(ctx)->comm.port, PCU_PORT_COM2);
    EXPECT_EQ(FindContext(ctx)->comm.family, PCU_FAMILY_BRAKENHOLM);
    env.setProfile("Family", "Lanmere");
    ASSERT_EQ(PCUInitCommParm(ctx), PCU_OK);
    EXPECT_EQ(FindContext(ctx)->comm.family, PCU_FAMILY_LANMERE);
}

TEST_F(ContextTest, CommStateCopiesTheLineFieldsOnly) {
    const int ctx = PCUCfgInit();
    commState in{};
    in.family = PCU_FAMILY_BRAKENHOLM;
    in.port = PCU_PORT_COM4;
    in.baud = 115200;
    in.parity = PCU_PARITY_ODD;
    in.dataBits = 8;
    in.stopBits = 2;
    in.protocol = PCU_PROTOCOL_RTSCTS;
    in.preamble = '<';
    in.postamble = '>';
    in.cancelRequest = 1;
    PCUSetCommState(ctx, &in);
    commState out{};
    out.family = 7;
    out.cancelRequest = 9;
    PCUGetCommState(ctx, &out);
    EXPECT_EQ(out.family, 7);
    EXPECT_EQ(out.cancelRequest, 9);
    EXPECT_EQ(out.port, PCU_PORT_COM4);
    EXPECT_EQ(out.baud, 115200);
    EXPECT_EQ(out.parity, PCU_PARITY_ODD);
    EXPECT_EQ(out.dataBits, 8);
    EXPECT_EQ(out.stopBits, 2);
    EXPECT_EQ(out.protocol, PCU_PROTOCOL_RTSCTS);
    EXPECT_EQ(out.preamble, '<');
    EXPECT_EQ(out.postamble, '>');
    EXPECT_EQ(FindContext(ctx)->comm.family, PCU_FAMILY_LANMERE);
}

TEST_F(ContextTest, ResetForgetsEveryContext) {
    ASSERT_EQ(PCUCfgInit(), 1);
    ResetKernelState();
    EXPECT_EQ(FindContext(1), nullptr);
    EXPECT_EQ(PCUCfgInit(), 1);
}

}  // namespace
}  // namespace tarvo

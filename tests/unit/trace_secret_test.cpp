// Secrets in the byte trace: a password on its way to the printer never reaches the log, not
// even when the port writes it in pieces.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "platform/trace.h"
#include "support/test_env.h"

namespace tarvo::platform {
namespace {

class TraceSecretTest : public ::testing::Test {
  protected:
    void SetUp() override {
        log = env.root() + "/trace.log";
        ::setenv("TARVO_TRACE", log.c_str(), 1);
        ResetTrace();
    }
    void TearDown() override {
        ::setenv("TARVO_TRACE", "", 1);
        ResetTrace();
    }
    std::string text() { return test::ReadFile(log); }

    test::TestEnv env;
    std::string log;
};

TEST_F(TraceSecretTest, WholeSecretIsMaskedBothWaysAndTheRestStaysReadable) {
    {
        TraceSecret secret("hunter2");
        TraceBytes("COM1", TraceDirection::Sent, "\x02\x1b.x,su -p hunter2 admin\x03");
        TraceBytes("COM1", TraceDirection::Received, "echo hunter2 hunter2");
    }
    const std::string t = text();
    EXPECT_EQ(t.find("hunter2"), std::string::npos) << t;
    EXPECT_NE(t.find("COM1 > <STX><ESC>.x,su -p ***** admin<ETX>"), std::string::npos) << t;
    EXPECT_NE(t.find("COM1 < echo ***** *****"), std::string::npos) << t;
}

TEST_F(TraceSecretTest, SecretCutByAShortWriteIsHiddenInEveryPiece) {
    {
        TraceSecret secret("hunter2");
        TraceBytes("COM1", TraceDirection::Sent, "\x02su -p hun");
        TraceBytes("COM1", TraceDirection::Sent, "ter2 admin\x03");
        TraceBytes("COM1", TraceDirection::Sent, "\x05");
    }
    const std::string t = text();
    EXPECT_EQ(t.find("hun"), std::string::npos) << t;
    EXPECT_EQ(t.find("ter2"), std::string::npos) << t;
    EXPECT_NE(t.find("COM1 > <STX>*********\n"), std::string::npos) << t;
    EXPECT_NE(t.find("COM1 > **********<ETX>"), std::string::npos) << t;
    EXPECT_NE(t.find("COM1 > <ENQ>"), std::string::npos) << "control bytes stay readable";
}

TEST_F(TraceSecretTest, WritesAfterTheMaskedOneAreStarred) {
    {
        TraceSecret secret("pw");
        TraceBytes("COM1", TraceDirection::Sent, "su -p pw admin");
        TraceBytes("COM1", TraceDirection::Sent, "p");  // could be the rest of a cut secret
    }
    TraceBytes("COM1", TraceDirection::Sent, "pw again");
    const std::string t = text();
    EXPECT_NE(t.find("COM1 > su -p ***** admin\n"), std::string::npos) << t;
    EXPECT_NE(t.find("COM1 > *\n"), std::string::npos) << t;
    EXPECT_NE(t.find("COM1 > pw again"), std::string::npos) << "the mask ends with its scope";
}

TEST_F(TraceSecretTest, EmptySecretMasksNothing) {
    {
        TraceSecret secret("");
        TraceBytes("COM1", TraceDirection::Sent, "plain");
        TraceBytes("COM1", TraceDirection::Received, "reply");
    }
    const std::string t = text();
    EXPECT_NE(t.find("COM1 > plain"), std::string::npos) << t;
    EXPECT_NE(t.find("COM1 < reply"), std::string::npos) << t;
}

}  // namespace
}  // namespace tarvo::platform

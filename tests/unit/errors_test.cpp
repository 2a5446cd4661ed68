// Error texts for the user.
#include <gtest/gtest.h>

#include <string>

#include "session/kernel_state.h"
#include "support/test_env.h"
#include "tarvo/kernel.h"

namespace tarvo {
namespace {

class ErrorsTest : public ::testing::Test {
  protected:
    void SetUp() override { ctx = PCUCfgInit(); }
    void Record(int code, int sys = 0, const char* text = "") {
        FindContext(ctx)->recordError(code, sys, text);
    }
    test::TestEnv env;
    int ctx = 0;
};

TEST_F(ErrorsTest, FreshContextGivesTheTwoGenericTexts) {
    EXPECT_STREQ(PCUErrStr(ctx), "Error occurred in KERNEL DLL");
    const char* text = nullptr;
    int sys = -1;
    const char* detail = "x";
    EXPECT_EQ(PCUErrInfo(ctx, &text, &sys, &detail), 0);
    EXPECT_STREQ(text, "Error occurred in PCU DLL");
    EXPECT_EQ(sys, 0);
    EXPECT_EQ(detail, nullptr);
}

TEST_F(ErrorsTest, TableTextsAndTheSharedGenericText) {
    Record(36, 404, "FONT12");
    EXPECT_STREQ(PCUErrStr(ctx),
                 "Cannot access printer. Try restarting Tarvo or resetting printer to return to "
                 "PRINT mode.");
    const char* text = nullptr;
    int sys = 0;
    const char* detail = nullptr;
    EXPECT_EQ(PCUErrInfo(ctx, &text, &sys, &detail), 36);
    EXPECT_EQ(sys, 404);
    EXPECT_STREQ(detail, "FONT12");

    Record(7);
    EXPECT_STREQ(PCUErrStr(ctx), "Error occurred in PCU DLL.");
    Record(32);
    EXPECT_STREQ(PCUErrStr(ctx), "Unknown device on selected COM port.");
    Record(37);
    EXPECT_STREQ(PCUErrStr(ctx), "End of file found");
}

TEST_F(ErrorsTest, DownloadCodesPastTheTableHaveTextsAndNameTheObject) {
    Record(60, 70, "SANS");
    const char* text = nullptr;
    int sys = -1;
    const char* detail = nullptr;
    EXPECT_EQ(PCUErrInfo(ctx, &text, &sys, &detail), 60);
    EXPECT_STREQ(text, "The printer does not have enough free memory for the object.");
    EXPECT_EQ(sys, 70);
    EXPECT_STREQ(detail, "SANS");
    for (int code : {51, 52, 53, 54, 55}) {
        Record(code, 5, "obj");
        EXPECT_STRNE(PCUErrStr(ctx), "Error occurred in KERNEL DLL") << code;
    }
}

TEST_F(ErrorsTest, CodesPastTheTableAndNegativeCodesGetTheFallbacks) {
    for (int code : {38, 40, 46, -1, -1000, 1 << 30}) {
        Record(code, 5, "obj");
        EXPECT_STREQ(PCUErrStr(ctx), "Error occurred in KERNEL DLL") << code;
        const char* text = nullptr;
        int sys = -1;
        const char* detail = "x";
        EXPECT_EQ(PCUErrInfo(ctx, &text, &sys, &detail), code);
        EXPECT_STREQ(text, "Error occurred in PCU DLL") << code;
        EXPECT_EQ(sys, 0);
        EXPECT_EQ(detail, nullptr);
    }
}

TEST_F(ErrorsTest, UnknownContext) {
    for (int bad : {0, 33, -5}) {
        EXPECT_STREQ(PCUErrStr(bad), "Could not find configuration context.");
        const char* text = nullptr;
        int sys = -1;
        const char* detail = "x";
        EXPECT_EQ(PCUErrInfo(bad, &text, &sys, &detail), 2);
        EXPECT_STREQ(text, "Could not find configuration context.");
        EXPECT_EQ(sys, 0);
        EXPECT_EQ(detail, nullptr);
    }
    EXPECT_EQ(PCUErrInfo(0, nullptr, nullptr, nullptr), 2) << "null outputs are allowed";
}

TEST_F(ErrorsTest, LookupsDoNotClearTheErrorAndLongObjectNamesAreCut) {
    Record(33, 1, "a-very-long-object-name-beyond-twenty");
    PCUErrStr(ctx);
    const char* detail = nullptr;
    EXPECT_EQ(PCUErrInfo(ctx, nullptr, nullptr, &detail), 33);
    EXPECT_EQ(PCUErrInfo(ctx, nullptr, nullptr, &detail), 33);
    EXPECT_EQ(std::string(detail), "a-very-long-object-");
}

TEST_F(ErrorsTest, EachLookupKeepsItsOwnBuffer) {
    Record(11);
    const char* str = PCUErrStr(ctx);
    const char* info = nullptr;
    PCUErrInfo(ctx, &info, nullptr, nullptr);
    Record(6);
    PCUErrInfo(ctx, &info, nullptr, nullptr);
    EXPECT_STREQ(str, "Unable to open printer.")
        << "PCUErrInfo must not overwrite PCUErrStr's text";
    EXPECT_STREQ(info, "Could not read data from connected printer.");
}

}  // namespace
}  // namespace tarvo

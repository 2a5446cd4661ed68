// Test-and-service values from the simulated printer: the letters on the wire per model, the
// shared S query, items a model does not offer, missing and unreadable replies, and the mode
// always left again.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "session/kernel_state.h"
#include "support/sim_fixture.h"
#include "tarvo/kernel.h"

namespace tarvo {
namespace {

using Messages = std::vector<std::string>;
const std::string kEnter = "\x1bT";

class TestServiceTest : public test::SimTest {
  protected:
    void start(int model, std::map<char, std::string> replies = {}) {
        sim::Options o;
        o.model = model;
        o.serviceReplies = std::move(replies);
        startPrinter(o);
        FindContext(ctx)->settings.model = static_cast<std::int16_t>(model);
    }

    // Asks for `items`; the values come back in `values`, the letters sent in `sent`.
    int ask(const std::vector<std::uint16_t>& items) {
        values.assign(items.size(), 12345);
        sent = static_cast<std::uint16_t>(items.size());
        return PCUTestService(ctx, items.data(), values.data(), &sent);
    }

    std::vector<std::int32_t> values;
    std::uint16_t sent = 0;
};

TEST_F(TestServiceTest, TheThreeSensorItemsShareOneQuery) {
    start(11);
    ASSERT_EQ(ask({PCU_SERVICE_S1, PCU_SERVICE_S2, PCU_SERVICE_S3}), PCU_OK);
    EXPECT_EQ(values, (std::vector<std::int32_t>{512, 498, 3}));
    EXPECT_EQ(sent, 1);
    EXPECT_EQ(printer->receivedMessages(), (Messages{kEnter, "S", "R"}));
}

TEST_F(TestServiceTest, EveryLetterOfAModelThatOffersAll) {
    start(11, {{'S', "1 -2\r3"},
               {'U',
                "\x11\x12"
                "77"}});
    std::vector<std::uint16_t> all;
    for (std::uint16_t i = 0; i < PCU_SERVICE_ITEMS; ++i)
        all.push_back(i);
    ASSERT_EQ(ask(all), PCU_OK);
    EXPECT_EQ(values, (std::vector<std::int32_t>{12, 340, 87, 25, 1, -2, 3, 1, 77, 240}));
    EXPECT_EQ(sent, 8);
    EXPECT_EQ(printer->receivedMessages(),
              (Messages{kEnter, "G", "L", "M", "P", "S", "T", "U", "V", "R"}));
}

TEST_F(TestServiceTest, ItemsTheModelDoesNotOfferAreMinusOneAndNotSent) {
    start(0);
    ASSERT_EQ(ask({PCU_SERVICE_U, PCU_SERVICE_G, PCU_SERVICE_L, PCU_SERVICE_S2, PCU_SERVICE_T}),
              PCU_OK);
    EXPECT_EQ(values, (std::vector<std::int32_t>{-1, 12, -1, -1, 1}));
    EXPECT_EQ(sent, 2);
    EXPECT_EQ(printer->receivedMessages(), (Messages{kEnter, "G", "T", "R"}));
}

TEST_F(TestServiceTest, ModelTablesDecideWhichLettersGoOut) {
    struct Case {
        int model;
        Messages letters;
    };
    const Case cases[] = {
        {3, {"G", "M", "P", "T"}},
        {24, {"G", "L", "M", "P", "T"}},
        {8, {"G", "L", "M", "P", "T"}},
        {17, {"G", "L", "M", "P", "S", "T"}},
    };
    std::vector<std::uint16_t> all;
    for (std::uint16_t i = 0; i < PCU_SERVICE_ITEMS; ++i)
        all.push_back(i);
    for (const Case& c : cases) {
        start(c.model);
        ASSERT_EQ(ask(all), PCU_OK) << c.model;
        Messages expected{kEnter};
        expected.insert(expected.end(), c.letters.begin(), c.letters.end());
        expected.push_back("R");
        EXPECT_EQ(printer->receivedMessages(), expected) << c.model;
        EXPECT_EQ(sent, c.letters.size()) << c.model;
    }
}

TEST_F(TestServiceTest, MissingReplyIsAnErrorButTheModeIsStillLeft) {
    start(18, {{'M', ""}});
    EXPECT_EQ(ask({PCU_SERVICE_M, PCU_SERVICE_G}), PCU_ERR_TEST_SERVICE);
    EXPECT_EQ(values, (std::vector<std::int32_t>{-1, 12}));
    EXPECT_EQ(sent, 2);
    EXPECT_EQ(printer->receivedMessages(), (Messages{kEnter, "M", "G", "R"}));
    EXPECT_EQ(FindContext(ctx)->lastError, PCU_ERR_TEST_SERVICE);
    EXPECT_NE(std::string(PCUErrStr(ctx)).find("Test & Service"), std::string::npos);
}

TEST_F(TestServiceTest, UnreadableRepliesCountAsMissing) {
    start(16, {{'G', "high"}, {'S', "4,5"}});
    EXPECT_EQ(ask({PCU_SERVICE_G, PCU_SERVICE_S1, PCU_SERVICE_S3, PCU_SERVICE_T}),
              PCU_ERR_TEST_SERVICE);
    EXPECT_EQ(values, (std::vector<std::int32_t>{-1, -1, -1, 1}));
    EXPECT_EQ(sent, 3);
}

TEST_F(TestServiceTest, ModelsThatMaySkipRepliesAreNotFaulted) {
    for (int model : {14, 15, 20, 24}) {
        start(model, {{'L', ""}});
        EXPECT_EQ(ask({PCU_SERVICE_L, PCU_SERVICE_P}), PCU_OK) << model;
        EXPECT_EQ(values, (std::vector<std::int32_t>{-1, 25})) << model;
    }
}

TEST_F(TestServiceTest, BadArgumentsAndPortsThatDoNotOpen) {
    start(11);
    EXPECT_EQ(ask({PCU_SERVICE_G, PCU_SERVICE_ITEMS}), PCU_ERR_ARGUMENT);
    std::uint16_t count = 1;
    const std::uint16_t item = 0;
    EXPECT_EQ(PCUTestService(ctx, &item, nullptr, &count), PCU_ERR_ARGUMENT);
    EXPECT_EQ(PCUTestService(ctx, nullptr, nullptr, nullptr), PCU_ERR_ARGUMENT);
    EXPECT_EQ(PCUTestService(99, &item, nullptr, &count), PCU_ERR_NO_CONTEXT);
    EXPECT_TRUE(printer->receivedMessages().empty());

    env.setProfile("Device.COM1", env.root() + "/no-such-device");
    EXPECT_EQ(ask({PCU_SERVICE_G, PCU_SERVICE_L}), PCU_ERR_OPEN);
    EXPECT_EQ(sent, 0);
    EXPECT_EQ(values, (std::vector<std::int32_t>{-1, -1}));
    EXPECT_EQ(FindContext(ctx)->lastError, PCU_ERR_OPEN);
}

}  // namespace
}  // namespace tarvo

// Short replies of a fixed size (the reboot's poll reads at most 55 bytes) are searched within
// the bytes that came, never past them, and what lies beyond the limit is not looked at.
#include <gtest/gtest.h>

#include <string>

#include "support/brak_fixture.h"

namespace tarvo::app {
namespace {

class BrakReplyLength : public test::BrakTest {
  protected:
    void SetUp() override { MakePrinter(40); }
};

TEST_F(BrakReplyLength, TheRebootPollReadsAtMostFiftyFiveBytes) {
    struct Case {
        std::string reply;
        bool answered;
    };
    const Case cases[] = {
        {std::string(53, '.') + "Ok", true},   // "ok" in the last two of the 55 bytes
        {std::string(54, '.') + "Ok", false},  // its "k" is the 56th byte: not read
        {std::string(55, '.') + "ok\r\n", false},
        {std::string(20, '\0') + "ok", true},  // a NUL is a byte like any other
    };
    for (const Case& c : cases) {
        CBrakPrinter& p = MakePrinter(40);
        port->Answer("SYSVAR(18)=2", test::FakeScriptPort::Reply{c.reply, 0});
        EXPECT_EQ(p.Reboot().ok(), c.answered) << c.reply.size();
    }
}

}  // namespace
}  // namespace tarvo::app

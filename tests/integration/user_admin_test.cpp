// Network and user administration against a simulated printer with a shell: the exact shell
// lines on the wire, the shell's answers, refused user names and passwords, and a password that
// never reaches the byte trace.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "platform/trace.h"
#include "session/kernel_state.h"
#include "support/sim_fixture.h"
#include "support/wire.h"
#include "tarvo/kernel.h"

namespace tarvo {
namespace {

using test::HostSent;

constexpr int kTQ8eQel = 24;  // a model whose firmware runs a shell
constexpr char kPassword[] = "Tr0ub4dor!3";

class UserAdminTest : public test::SimTest {
  protected:
    static sim::Options ShellPrinter() {
        sim::Options o;
        o.model = kTQ8eQel;
        o.adminPassword = "s3cr3t!";
        return o;
    }
    void start(sim::Options o = ShellPrinter()) { startPrinter(o); }
    // The shell line inside the pass-through command, as the printer received it.
    std::string lastLine() {
        const auto messages = printer->receivedMessages();
        return messages.empty() ? std::string() : messages.back();
    }
};

TEST_F(UserAdminTest, NetworkQueryIsOneShellLineAndANamedInterfaceCounts) {
    start();
    int flag = -1;
    ASSERT_EQ(PCUGetNetwork(ctx, &flag), PCU_OK);
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(HostSent(*printer), "<STX><STX><ESC>.x,echo IFNAME=$SETENV_OS{IFNAME}<ETX><ETX>");
    EXPECT_EQ(lastLine(), "\x1b.x,echo IFNAME=$SETENV_OS{IFNAME}");
}

TEST_F(UserAdminTest, NetworkFlagNeedsMoreThanEightCharacters) {
    struct Case {
        const char* interface;
        int flag;
    };
    // "IFNAME=" is seven characters: one more is eight, two more are nine.
    for (const Case c : {Case{"", 0}, Case{"e", 0}, Case{"e0", 1}, Case{"eth0", 1}}) {
        sim::Options o = ShellPrinter();
        o.networkInterface = c.interface;
        start(o);
        int flag = -1;
        ASSERT_EQ(PCUGetNetwork(ctx, &flag), PCU_OK) << c.interface;
        EXPECT_EQ(flag, c.flag) << c.interface;
    }
}

TEST_F(UserAdminTest, AdminIsSwitchedToWithItsPassword) {
    start();
    ASSERT_EQ(PCUChangeUser(ctx, "admin", "s3cr3t!"), 1);
    EXPECT_EQ(lastLine(), "\x1b.x,su -p s3cr3t! admin");
    EXPECT_EQ(printer->shellUser(), "admin");
    EXPECT_EQ(PCUCheckIfAdministrator(ctx), 1);
    EXPECT_EQ(lastLine(), "\x1b.x,whoami");

    ASSERT_EQ(PCUChangeUser(ctx, "operator", nullptr), 1);
    EXPECT_EQ(lastLine(), "\x1b.x,su user");
    EXPECT_EQ(printer->shellUser(), "user");
    EXPECT_EQ(PCUCheckIfAdministrator(ctx), PCU_OK);
}

TEST_F(UserAdminTest, SwitchingIsNotCheckedAndAWrongPasswordStillAnswersOne) {
    start();
    EXPECT_EQ(PCUChangeUser(ctx, "admin", "wrong"), 1);
    EXPECT_EQ(printer->shellUser(), "user");
    EXPECT_EQ(PCUCheckIfAdministrator(ctx), PCU_OK);
}

TEST_F(UserAdminTest, OnlyTheExactNameAdminTakesThePassword) {
    start();
    for (const char* name : {"Admin", "ADMIN", "admin2", "user"}) {
        printer->clearTranscript();
        ASSERT_EQ(PCUChangeUser(ctx, name, "s3cr3t!"), 1) << name;
        EXPECT_EQ(HostSent(*printer), "<STX><STX><ESC>.x,su user<ETX><ETX>") << name;
    }
}

TEST_F(UserAdminTest, UnusableNamesAndPasswordsAreRefusedBeforeAnythingIsSent) {
    start();
    const char* badNames[] = {nullptr,      "",        "two words",
                              "semi;colon", "quo\"te", "tab\t",
                              "dollar$",    "<ESC>",   "x123456789012345678901234567890123"};
    for (const char* name : badNames)
        EXPECT_EQ(PCUChangeUser(ctx, name, "pw"), PCU_ERR_ARGUMENT) << (name ? name : "null");
    const std::string tooLong(PCU_PASSWORD_MAX + 1, 'p');
    const char* badPasswords[] = {
        nullptr,       "",          "two words", "a;b",         "it's",         "a\"b",
        "a`id`",       "$(reboot)", "a|b",       "a&b",         "a>b",          "<CR>",
        "back\\slash", "tab\tx",    "nl\nx",     "caf\xc3\xa9", tooLong.c_str()};
    for (const char* password : badPasswords) {
        EXPECT_EQ(PCUChangeUser(ctx, "admin", password), PCU_ERR_ARGUMENT)
            << (password ? password : "null");
    }
    EXPECT_EQ(HostSent(*printer), "");
    // The fixed user needs no password, so none is looked at.
    EXPECT_EQ(PCUChangeUser(ctx, "operator", "any thing;at all"), 1);
    const std::string longest(PCU_PASSWORD_MAX, 'p');
    EXPECT_EQ(PCUChangeUser(ctx, "admin", longest.c_str()), 1);
    EXPECT_EQ(PCUChangeUser(ctx, "admin", "-p"), 1) << "the shell takes it as -p's value";
}

TEST_F(UserAdminTest, PasswordNeverReachesTheTrace) {
    const std::string log = env.root() + "/trace.log";
    ::setenv("TARVO_TRACE", log.c_str(), 1);
    platform::ResetTrace();
    sim::Options o = ShellPrinter();
    o.adminPassword = kPassword;
    start(o);
    ASSERT_EQ(PCUChangeUser(ctx, "admin", kPassword), 1);
    ASSERT_EQ(PCUCheckIfAdministrator(ctx), 1);
    ::setenv("TARVO_TRACE", "", 1);
    platform::ResetTrace();

    const std::string text = test::ReadFile(log);
    EXPECT_EQ(text.find(kPassword), std::string::npos) << text;
    EXPECT_EQ(text.find("Tr0ub"), std::string::npos) << text;
    EXPECT_NE(text.find("COM1 > <STX><STX><ESC>.x,su -p ***** admin<ETX><ETX>"), std::string::npos)
        << text;
    EXPECT_NE(text.find("COM1 > <STX><STX><ESC>.x,whoami<ETX><ETX>"), std::string::npos)
        << "the mask ends with the su line";
    EXPECT_EQ(lastLine(), "\x1b.x,whoami");
    EXPECT_EQ(printer->receivedMessages().front(),
              std::string("\x1b.x,su -p ") + kPassword + " admin")
        << "the printer gets the password as typed";
}

TEST_F(UserAdminTest, AnswerContainingAdminAnywhereCounts) {
    sim::Options o = ShellPrinter();
    o.faults.garbage = "administrator ";  // goes out in front of the shell's answer
    start(o);
    EXPECT_EQ(PCUCheckIfAdministrator(ctx), 1);
}

TEST_F(UserAdminTest, SilentPrinterLeavesTheFlagsAtNo) {
    sim::Options o = ShellPrinter();
    o.faults.silent = true;
    start(o);
    int flag = -1;
    EXPECT_EQ(PCUGetNetwork(ctx, &flag), PCU_OK);
    EXPECT_EQ(flag, 0);
    EXPECT_EQ(PCUCheckIfAdministrator(ctx), PCU_OK);
    EXPECT_EQ(PCUChangeUser(ctx, "admin", "s3cr3t!"), 1) << "the answer is not examined";
}

TEST_F(UserAdminTest, UnknownContextsAndUnopenablePortsAreRefused) {
    start();
    int flag = -1;
    EXPECT_EQ(PCUGetNetwork(0, &flag), PCU_ERR_NO_CONTEXT);
    EXPECT_EQ(PCUChangeUser(ctx + 1, "admin", "x"), PCU_ERR_NO_CONTEXT);
    EXPECT_EQ(PCUCheckIfAdministrator(PCU_MAX_CONTEXTS + 1), PCU_ERR_NO_CONTEXT);
    EXPECT_EQ(PCUGetNetwork(ctx, nullptr), PCU_ERR_ARGUMENT);

    env.setProfile("Device.COM1", env.root() + "/no-such-device");
    EXPECT_EQ(PCUGetNetwork(ctx, &flag), PCU_ERR_OPEN);
    EXPECT_EQ(flag, 0);
    EXPECT_EQ(PCUChangeUser(ctx, "admin", "s3cr3t!"), PCU_ERR_OPEN);
    EXPECT_EQ(PCUCheckIfAdministrator(ctx), PCU_ERR_OPEN);
    EXPECT_EQ(FindContext(ctx)->lastError, PCU_ERR_OPEN);
    EXPECT_EQ(HostSent(*printer), "");
}

}  // namespace
}  // namespace tarvo

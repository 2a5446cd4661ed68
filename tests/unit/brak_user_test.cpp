// Users of the printer: whoami judged on its own answer, the switch commands, passwords that
// would change the command line, the administrator log-in and its messages.
#include <gtest/gtest.h>

#include <string>

#include "brakenholm/brak_login.h"
#include "support/brak_fixture.h"

namespace tarvo::app {
namespace {

class BrakUsers : public test::BrakTest {
  protected:
    void SetUp() override { MakePrinter(40); }
};

TEST_F(BrakUsers, WhoAmIJudgesOnlyItsOwnAnswer) {
    port->Answer("run \"whoami", "admin\r\n");
    EXPECT_TRUE(printer->WhoAmI());
    EXPECT_EQ(port->Wire(), "[open]run \"whoami<CR><LF>[read][close]")
        << "no verbosity prefix, no closing quote";

    port->Answer("run \"whoami", "you are: administrator-ish admin!\r\n");
    EXPECT_TRUE(printer->WhoAmI()) << "admin anywhere in the answer";

    // An earlier answer that named admin must not let a silent printer pass.
    port->Answer("PRINT 1", "admin\r\n");
    EXPECT_EQ(printer->QueryLine("PRINT 1").text, "admin\r\n");
    port->Answer("run \"whoami", "");
    EXPECT_FALSE(printer->WhoAmI());
    port->Answer("run \"whoami", "user\r\n");
    EXPECT_FALSE(printer->WhoAmI());
}

TEST_F(BrakUsers, SwitchLines) {
    port->Answer("run \"su -p s3cret admin", "ok\r\n");
    EXPECT_TRUE(printer->SwitchUser(PrinterUser::Admin, SecretText::From("s3cret")).ok());
    EXPECT_EQ(port->Wire(), "[open]run \"su -p s3cret admin<CR><LF>[read][close]");

    port->ClearRecord();
    port->Answer("run \"su user", "ok\r\n");
    EXPECT_TRUE(printer->SwitchUser(PrinterUser::User, SecretText::From("ignored")).ok());
    EXPECT_EQ(port->Wire(), "[open]run \"su user<CR><LF>[read][close]")
        << "the plain user takes no password";

    port->Answer("run \"su user", "");
    EXPECT_FALSE(printer->SwitchUser(PrinterUser::User, SecretText()).ok())
        << "no answer read is a failure";
}

TEST_F(BrakUsers, PasswordsThatWouldChangeTheCommandAreNeverSent) {
    const std::string bad[] = {
        "",  // would shift "admin" into the password's place
        "two words", "tab\there", "quote\"d",    "it's", "line\nbreak",
        "nul\x01",   "del\x7f",   "caf\xc3\xa9",
    };
    for (const std::string& password : bad) {
        const TxResult r = printer->SwitchUser(PrinterUser::Admin, SecretText::From(password));
        EXPECT_EQ(r.status, TxStatus::Refused) << password;
        EXPECT_EQ(PasswordProblem(password).has_value(), !password.empty()) << password;
    }
    // Longer than the secret's storage: refused before it could be cut short.
    EXPECT_TRUE(PasswordProblem(std::string(SecretText::kCapacity + 1, 'x')).has_value());
    EXPECT_EQ(port->Wire().find("su -p"), std::string::npos) << port->Wire();
    for (const char* shellSyntax : {"a;b", "a|b", "a&b", "$HOME", "`id`", "a>b", "a<b", "a\\b"})
        EXPECT_TRUE(PasswordProblem(shellSyntax).has_value()) << shellSyntax;
    EXPECT_FALSE(PasswordProblem("Abc-123_%!#").has_value());
    EXPECT_FALSE(PasswordProblem(std::string(SecretText::kCapacity, 'x')).has_value());
}

TEST_F(BrakUsers, AdministratorLogIn) {
    port->Answer("run \"su user", "ok\r\n");
    port->Answer("run \"su -p good admin", "ok\r\n");
    port->Answer("run \"whoami", "admin\r\n");
    prompt.ExpectPassword(PasswordEntry::Outcome::Entered, "good");
    session.printer = std::move(printer);
    EXPECT_TRUE(LogInAsAdministrator(session, prompt).ok());
    EXPECT_EQ(port->Commands(), (std::vector<std::string>{"run \"su user", "run \"su -p good admin",
                                                          "run \"whoami"}));
    EXPECT_TRUE(prompt.Notices().empty());
}

TEST_F(BrakUsers, AdministratorLogInFailures) {
    const auto lastMessage = [this] { return prompt.shown.back().text; };
    session.printer = std::move(printer);

    // The plain user could not be restored first.
    EXPECT_EQ(LogInAsAdministrator(session, prompt, SecretText::From("pw")).status,
              OpStatus::Failed);
    EXPECT_EQ(lastMessage(), "Could not reset user!");
    EXPECT_EQ(prompt.shown.back().caption, "Error");
    EXPECT_EQ(prompt.shown.back().icon, PromptIcon::Stop);

    port->Answer("run \"su user", "ok\r\n");
    EXPECT_EQ(LogInAsAdministrator(session, prompt, SecretText::From("pw")).status,
              OpStatus::Failed);
    EXPECT_EQ(lastMessage(), "Could not send command to printer!");

    port->Answer("run \"su -p wrong admin", "Login incorrect\r\n");
    port->Answer("run \"whoami", "user\r\n");
    EXPECT_EQ(LogInAsAdministrator(session, prompt, SecretText::From("wrong")).status,
              OpStatus::Refused);
    EXPECT_EQ(lastMessage(), "Could not change to 'admin' user! Is the password correct?");

    port->ClearRecord();
    EXPECT_EQ(LogInAsAdministrator(session, prompt, SecretText::From("a b")).status,
              OpStatus::Refused);
    EXPECT_EQ(LogInAsAdministrator(session, prompt, SecretText()).status, OpStatus::Refused);
    EXPECT_EQ(port->Wire(), "") << "a refused password sends nothing, not even the reset";

    prompt.ExpectPassword(PasswordEntry::Outcome::Cancelled);
    EXPECT_EQ(LogInAsAdministrator(session, prompt).status, OpStatus::Cancelled);
    prompt.ExpectPassword(PasswordEntry::Outcome::Unavailable);
    EXPECT_EQ(LogInAsAdministrator(session, prompt).status, OpStatus::Refused);
    EXPECT_EQ(port->Wire(), "");
}

TEST_F(BrakUsers, EscapeLanguagePrinterLogsInThroughTheKernel) {
    env.setProfile("Device.COM1", "none");
    ASSERT_FALSE(session.printer->IsScriptFamily());
    EXPECT_EQ(LogInAsAdministrator(session, prompt, SecretText::From("pw")).status,
              OpStatus::Failed);
    EXPECT_EQ(prompt.shown.back().text, "Could not reset user!");
    EXPECT_EQ(LogInAsAdministrator(session, prompt, SecretText::From("p w")).status,
              OpStatus::Refused);
    EXPECT_EQ(port->Wire(), "") << "the Brakenholm printer object is not involved";
}

TEST_F(BrakUsers, SecretTextIsWipedAndMoved) {
    SecretText a = SecretText::From("hunter2");
    const char* storage = a.View().data();
    SecretText b = std::move(a);
    EXPECT_EQ(b.View(), "hunter2");
    EXPECT_EQ(a.Size(), 0u);
    EXPECT_EQ(std::string(storage, 7), std::string(7, '\0')) << "the moved-from copy is wiped";
    b.Clear();
    EXPECT_EQ(b.View(), "");
    SecretText full = SecretText::From(std::string(100, 'x'));
    EXPECT_EQ(full.Size(), SecretText::kCapacity);
    EXPECT_FALSE(full.Append('y'));
}

}  // namespace
}  // namespace tarvo::app

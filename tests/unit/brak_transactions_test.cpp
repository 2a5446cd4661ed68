// The port transactions byte for byte: the verbosity prefix and its pause, the line ends, the
// read attempts of a query, bounded replies, and what a failing port does.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "tarvo/base/notation.h"
#include "support/brak_fixture.h"

namespace tarvo::app {
namespace {

class BrakTransactions : public test::BrakTest {};

TEST_F(BrakTransactions, SetupLineIsPrefixedPausedAndEndedByOneCr) {
    CBrakPrinter& p = MakePrinter(40);
    EXPECT_TRUE(p.SendSetupLine("SETUP \"MEDIA,MEDIA SIZE,WIDTH,832\"").ok());
    EXPECT_EQ(port->Wire(),
              "[open]SYSVAR(18)=0<CR>[wait 200]SETUP \"MEDIA,MEDIA SIZE,WIDTH,832\"<CR>[close]");
    port->ClearRecord();
    EXPECT_TRUE(p.SendSetupLine("PRINT 1\r").ok());
    EXPECT_EQ(port->Wire(), "[open]SYSVAR(18)=0<CR>[wait 200]PRINT 1<CR>[close]")
        << "a line that already ends in CR gets no second";
}

TEST_F(BrakTransactions, SendLineEndsInExactlyOneCrLf) {
    CBrakPrinter& p = MakePrinter(40);
    const std::pair<std::string, std::string> cases[] = {
        {"A", "A<CR><LF>"},     {"A\r", "A<CR><LF>"}, {"A\n", "A<CR><LF>"},
        {"A\r\n", "A<CR><LF>"}, {"", "<CR><LF>"},     {"A\n\r", "A<LF><CR><LF>"},
    };
    for (const auto& [line, wire] : cases) {
        port->ClearRecord();
        EXPECT_TRUE(p.SendLine(line, false).ok());
        EXPECT_EQ(port->Wire(), "[open]" + wire + "[close]") << RenderMnemonics(line);
    }
    port->ClearRecord();
    EXPECT_TRUE(p.SendLine("FILES", true).ok());
    EXPECT_EQ(port->Wire(), "[open]SYSVAR(18)=0<CR>[wait 200]FILES<CR><LF>[close]");
}

TEST_F(BrakTransactions, PortThatWillNotOpenSendsNothing) {
    CBrakPrinter& p = MakePrinter(40);
    port->FailOpens(ENOENT);
    const TxResult sent = p.SendSetupLine("PRINT 1");
    EXPECT_EQ(sent.status, TxStatus::OpenFailed);
    EXPECT_EQ(sent.error, ENOENT);
    const QueryReply asked = p.QueryLine("PRINT 1");
    EXPECT_EQ(asked.status, TxStatus::OpenFailed);
    EXPECT_EQ(port->Wire(), "[open][open]");
}

TEST_F(BrakTransactions, FailedPrefixStopsTheLine) {
    CBrakPrinter& p = MakePrinter(40);
    port->FailWritesContaining("SYSVAR", EIO);
    const TxResult sent = p.SendSetupLine("PRINT 1");
    EXPECT_EQ(sent.status, TxStatus::WriteFailed);
    EXPECT_EQ(sent.error, EIO);
    EXPECT_EQ(port->Wire(), "[open][close]");
    port->FailWritesContaining("WIDTH", EIO);
    EXPECT_EQ(p.SendSetupLine("SETUP \"MEDIA,MEDIA SIZE,WIDTH,1\"").status, TxStatus::WriteFailed);
}

TEST_F(BrakTransactions, QueryReadsUpToThreeTimes) {
    CBrakPrinter& p = MakePrinter(40);
    port->Answer("PRINT VERSION$(1)", "TQ8e\r\n");
    QueryReply r = p.QueryLine("PRINT VERSION$(1)");
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.text, "TQ8e\r\n");
    EXPECT_EQ(port->Wire(), "[open]SYSVAR(18)=0<CR>[wait 200]PRINT VERSION$(1)<CR>[read][close]");

    port->ClearRecord();
    r = p.QueryLine("PRINT SYSVAR(99)");
    EXPECT_TRUE(r.ok()) << "a silent printer is an empty answer, not a failure";
    EXPECT_EQ(r.text, "");
    EXPECT_EQ(port->Wire(),
              "[open]SYSVAR(18)=0<CR>[wait 200]PRINT SYSVAR(99)<CR>"
              "[read][wait 2500][read][wait 2500][read][close]");

    port->ClearRecord();
    port->Answer("PRINT DATE$", test::FakeScriptPort::Reply{"20240305\r\n", 1});
    r = p.QueryLine("PRINT DATE$");
    EXPECT_EQ(r.text, "20240305\r\n");
    EXPECT_EQ(port->Wire(),
              "[open]SYSVAR(18)=0<CR>[wait 200]PRINT DATE$<CR>[read][wait 2500][read][close]");

    port->ClearRecord();
    r = p.QueryLineAfter("FILES \"c:\"", 500);
    EXPECT_EQ(port->Wire(),
              "[open]SYSVAR(18)=0<CR>[wait 200]FILES \"c:\"<CR>[wait 500]"
              "[read][wait 2500][read][wait 2500][read][close]");
}

TEST_F(BrakTransactions, QueryReadErrorIsAFailure) {
    CBrakPrinter& p = MakePrinter(40);
    port->FailReads(EIO);
    const QueryReply r = p.QueryLine("PRINT 1");
    EXPECT_EQ(r.status, TxStatus::ReadFailed);
    EXPECT_EQ(r.error, EIO);
    EXPECT_EQ(port->Wire(), "[open]SYSVAR(18)=0<CR>[wait 200]PRINT 1<CR>[read][close]");
}

TEST_F(BrakTransactions, LongAnswerIsCutDrainedAndNeverReadAgain) {
    CBrakPrinter& p = MakePrinter(40);
    const std::string listing(10000, 'L');
    port->Answer("FILES", listing);
    port->Answer("PRINT 1", "1\r\n");
    const QueryReply r = p.QueryLine("FILES");
    EXPECT_EQ(r.text.size(), 4095u);
    EXPECT_TRUE(r.truncated);
    EXPECT_TRUE(port->Wire().ends_with("<CR>[read][read][read][close]"))
        << "4095 + 4095 + 1810 bytes, the rest drained: " << port->Wire();
    EXPECT_EQ(p.QueryLine("PRINT 1").text, "1\r\n");
}

TEST_F(BrakTransactions, AnswerIsTextUpToItsFirstNul) {
    CBrakPrinter& p = MakePrinter(40);
    port->Answer("PRINT 1", std::string("ab\0admin", 8));
    EXPECT_EQ(p.QueryLine("PRINT 1").text, "ab");
}

TEST_F(BrakTransactions, WritersOfTheDocumentedExamplesOnTheWire) {
    CBrakPrinter& p = MakePrinter(40);
    BrakSetup s;
    s.width = 832;
    s.contrast = 5;
    p.SetSetup(s);
    EXPECT_TRUE(p.SendSetting(BrakSetting::Width).ok());
    EXPECT_TRUE(p.SendSetting(BrakSetting::Contrast).ok());
    EXPECT_EQ(port->Commands(), (std::vector<std::string>{"SETUP \"MEDIA,MEDIA SIZE,WIDTH,832\"",
                                                          "SETUP \"MEDIA,CONTRAST,+0%\""}));

    CBrakPrinter& old = MakePrinter(27);
    s.startAdjust = -20;
    old.SetSetup(s);
    for (BrakSetting setting :
         {BrakSetting::Width, BrakSetting::StartAdjust, BrakSetting::Contrast})
        EXPECT_TRUE(old.SendSetting(setting).ok());
    EXPECT_EQ(port->Commands(),
              (std::vector<std::string>{"SETUP \"SERVICE,MEDIA SIZE,WIDTH,832\"",
                                        "SETUP \"DETECTION,FEEDADJ,STARTADJ,-20\"",
                                        "SETUP \"CONTRAST,5\""}));

    // Nothing goes out for what the printer lacks, for LSS adjust, or for a refused value.
    port->ClearRecord();
    EXPECT_EQ(old.SendSetting(BrakSetting::ReceiveBuffer).status, TxStatus::NotApplicable);
    EXPECT_TRUE(old.SendSetting(BrakSetting::LssAdjust).ok());
    s.baud = 5;
    old.SetSetup(s);
    EXPECT_EQ(old.SendSetting(BrakSetting::Baud).status, TxStatus::Refused);
    EXPECT_EQ(port->Wire(), "");
}

}  // namespace
}  // namespace tarvo::app

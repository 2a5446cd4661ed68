// The diagnostics of both families without a printer: the Brakenholm checks on a recording port
// (the lines they send, what silence shows, what they refuse) and the report's auto mode on a
// timer of virtual time.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "brakenholm/brak_diagnostics.h"
#include "lanmere/diag_report.h"
#include "support/brak_fixture.h"

namespace tarvo::app {
namespace {

using Lines = std::vector<std::string>;

class BrakDiagnosticsTest : public test::BrakTest {
  protected:
    void SetUp() override { MakePrinter(40); }  // TQ8e, generation 3
};

TEST(StatusTexts, NameEverySetBitInOrder) {
    struct Case {
        long long value;
        int generation;
        Lines texts;
    };
    const Case cases[] = {
        {0, 3, {"Printhead OK"}},
        {5, 3, {"Printhead lifted", "Printer out of paper"}},
        {40, 2, {"Printer out of transfer ribbon", "Printer is feeding"}},
        {8, 0, {"Printer out of transfer ribbon"}},
        // Generation 0 has bits 0..3 only.
        {17, 0, {"Printhead lifted", "Unknown status bits 16"}},
        {64, 3, {"Unknown status bits 64"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StatusTexts(c.value, c.generation), c.texts) << c.value;
}

TEST_F(BrakDiagnosticsTest, StatusFiveListsTwoTextsAndSilenceIsNoAnswer) {
    port->Answer("PRINT PRSTAT", "5\r\n");
    StatusRead read = ReadPrinterStatus(*printer);
    EXPECT_EQ(read.status, OpStatus::Done);
    EXPECT_EQ(read.texts, (Lines{"Printhead lifted", "Printer out of paper"}));

    MakePrinter(40);  // a port that answers nothing
    read = ReadPrinterStatus(*printer);
    EXPECT_EQ(read.status, OpStatus::NoAnswer);
    EXPECT_EQ(read.texts, Lines{"No answer"});
    EXPECT_FALSE(read.value);
}

class DotTest : public BrakDiagnosticsTest {
  protected:
    void SetUp() override {
        BrakDiagnosticsTest::SetUp();
        port->Answer("PRINT SYSVAR(22)", "832\r\n");
        port->Answer("PRINT HEAD(-7)", "100\r\n");
    }
};

TEST_F(DotTest, WithinFifteenPercentOfTheMeanIsGreen) {
    struct Case {
        const char* value;
        Indicator indicator;
    };
    const Case cases[] = {{"115", Indicator::Green},
                          {"116", Indicator::Red},
                          {"85", Indicator::Green},
                          {"84", Indicator::Red},
                          {" 100", Indicator::Green}};
    for (const Case& c : cases) {
        port->Answer("PRINT HEAD(17)", std::string(c.value) + "\r\n");
        const DiagResult r = CheckDot(*printer, "17");
        EXPECT_EQ(r.status, OpStatus::Done) << c.value;
        EXPECT_EQ(r.indicator, c.indicator) << c.value;
    }
    port->ClearRecord();
    EXPECT_EQ(CheckDot(*printer, "17").text, "dot 17: 100 (mean 100, tolerance 15)");
    EXPECT_EQ(port->Commands(), (Lines{"PRINT SYSVAR(22)", "PRINT HEAD(-7)", "PRINT HEAD(17)"}));
}

TEST_F(DotTest, SilenceIsWhiteNotGreen) {
    const DiagResult r = CheckDot(*printer, "3");  // HEAD(3) is never answered
    EXPECT_EQ(r.status, OpStatus::NoAnswer);
    EXPECT_EQ(r.indicator, Indicator::White);
    EXPECT_EQ(r.text, "No answer");
}

TEST_F(BrakDiagnosticsTest, DotsOutsideTheHeadAreRefusedWithNothingSent) {
    struct Case {
        const char* count;  // the answer to PRINT SYSVAR(22); null: silence
        const char* dot;
        const char* message;
    };
    const Case cases[] = {
        {"832", "-1", "Please enter a dot value from 0 to 831"},
        {"832", "-7", "Please enter a dot value from 0 to 831"},
        {"832", "832", "Please enter a dot value from 0 to 831"},
        {"832", "1x", "Please enter a dot value from 0 to 831"},
        {"0", "0", "The printer did not say how many dots"},
        {nullptr, "0", "The printer did not say how many dots"},
    };
    for (const Case& c : cases) {
        MakePrinter(40);
        if (c.count != nullptr)
            port->Answer("PRINT SYSVAR(22)", std::string(c.count) + "\r\n");
        port->Answer("PRINT HEAD(-7)", "100\r\n");
        const DiagResult r = CheckDot(*printer, c.dot);
        EXPECT_EQ(r.status, OpStatus::Refused) << c.dot;
        EXPECT_EQ(r.text.rfind(c.message, 0), 0u) << r.text;
        EXPECT_EQ(r.badInput, DiagInput::Dot);
        EXPECT_EQ(r.resetTo, "0");
        EXPECT_EQ(port->Commands(), Lines{"PRINT SYSVAR(22)"}) << "only the count is asked";
    }
}

TEST_F(BrakDiagnosticsTest, WholeHeadJudgesTheAnswerAndSilenceIsWhite) {
    struct Case {
        const char* reply;  // null: silence
        Indicator indicator;
        const char* text;
    };
    const Case cases[] = {{"PRINTHEAD OK", Indicator::Green, "PRINTHEAD OK"},
                          {"DOT 17 OUT OF TOLERANCE", Indicator::Red, "DOT TOLERANCE ERR"},
                          {nullptr, Indicator::White, "No answer"}};
    for (const Case& c : cases) {
        MakePrinter(40);
        if (c.reply != nullptr)
            port->Answer("PRINT HEAD(-1)", std::string(c.reply) + "\r\n");
        const DiagResult r = CheckWholeHead(*printer);
        EXPECT_EQ(r.indicator, c.indicator);
        EXPECT_EQ(r.text, c.text);
    }
    EXPECT_NE(port->Wire().find("PRINT HEAD(-1)<CR>[wait 1800][read]"), std::string::npos)
        << port->Wire();
}

TEST(WholeHeadWait, FollowsTheGeneration) {
    EXPECT_EQ(WholeHeadWaitMs(27, 0), 3700);  // 730
    EXPECT_EQ(WholeHeadWaitMs(31, 1), 1200);  // 880
    EXPECT_EQ(WholeHeadWaitMs(30, 1), 0);     // 780
    EXPECT_EQ(WholeHeadWaitMs(33, 2), 1800);  // 880KS
    EXPECT_EQ(WholeHeadWaitMs(40, 3), 1800);  // TQ8e
}

TEST_F(BrakDiagnosticsTest, FunctionTestLinesAndInputChecks) {
    struct Case {
        FuncTest test;
        int generation;
        FuncTestInput input;
        const char* line;  // empty: refused
        DiagInput bad;
        const char* resetTo;
    };
    const Case cases[] = {
        {FuncTest::Card, 0, {"2", "1", "0"}, "? FUNCTEST$(\"CARD2\")", DiagInput::None, ""},
        {FuncTest::Card, 0, {"3", "1", "0"}, "", DiagInput::Card, "1"},
        {FuncTest::Card, 3, {"3", "1", "0"}, "PRINT FUNCTEST$(\"CARD\")", DiagInput::None, ""},
        {FuncTest::Head, 1, {}, "PRINT FUNCTEST$(\"HEAD\")", DiagInput::None, ""},
        {FuncTest::Ram, 2, {}, "PRINT FUNCTEST$(\"RAM\")", DiagInput::None, ""},
        {FuncTest::Kernel, 3, {}, "PRINT FUNCTEST$(\"KERNEL\")", DiagInput::None, ""},
        {FuncTest::Rom, 3, {"1", "2", "6"}, "PRINT FUNCTEST$(\"ROM2.1\")", DiagInput::None, ""},
        {FuncTest::Rom, 3, {"1", "0", "0"}, "", DiagInput::Rom, "1"},
        {FuncTest::Rom, 3, {"1", "1", "7"}, "", DiagInput::Simm, "0"},
    };
    for (const Case& c : cases) {
        const FuncTestLine built = BuildFuncTestLine(c.test, c.generation, c.input);
        EXPECT_EQ(built.line, c.line);
        EXPECT_EQ(built.refusal.has_value(), std::string(c.line).empty());
        if (built.refusal) {
            EXPECT_EQ(built.refusal->badInput, c.bad);
            EXPECT_EQ(built.refusal->resetTo, c.resetTo);
        }
    }
    port->Answer("PRINT FUNCTEST$(\"RAM\")", "RAM OK\r\n");
    EXPECT_EQ(RunFuncTest(*printer, FuncTest::Ram, {}).text, "RAM OK");
    EXPECT_NE(port->Wire().find("[wait 500][read]"), std::string::npos) << port->Wire();
    const DiagResult refused = RunFuncTest(*printer, FuncTest::Rom, {"1", "3", "0"});
    EXPECT_EQ(refused.text, "Please enter ROM number 1 or 2");
    EXPECT_EQ(port->Commands().size(), 1u) << "nothing sent for the refused test";
}

TEST_F(BrakDiagnosticsTest, TestFeedIsOneLine) {
    ASSERT_TRUE(TestFeed(*printer).ok());
    EXPECT_EQ(port->Commands(), Lines{"TESTFEED"});
    EXPECT_NE(port->Wire().find("TESTFEED<CR><LF>"), std::string::npos);
}

}  // namespace

namespace lanmere {
namespace {

// A timer of virtual time: Advance fires an armed shot once it is due.
class VirtualTimer final : public DiagTimer {
  public:
    void StartOnce(int ms) override { due_ = now_ + ms; }
    void Stop() override { due_.reset(); }
    void Advance(int ms) {
        now_ += ms;
        if (due_ && now_ >= *due_) {
            due_.reset();
            mode->Tick();
        }
    }
    bool armed() const { return due_.has_value(); }
    long long now() const { return now_; }
    DiagAutoMode* mode = nullptr;

  private:
    long long now_ = 0;
    std::optional<long long> due_;
};

class AutoModeTest : public ::testing::Test {
  protected:
    AutoModeTest() {
        DiagAutoMode::Hooks hooks;
        hooks.read = [this] {
            ++readings;
            starts.push_back(timer.now());
            maxDepth = std::max(maxDepth, ++depth);
            timer.Advance(readingMs);  // the window keeps running while the printer measures
            --depth;
            if (readings == stopAt)
                mode->Stop();  // the operator's click, dispatched while the printer measures
            DiagReading r;
            if (readings == failAt)
                r.failure = "the printer does not answer";
            return r;
        };
        hooks.show = [](const DiagReading&) {};
        hooks.status = [this](const std::string& s) { statuses.push_back(s); };
        mode = std::make_unique<DiagAutoMode>(prompt, timer, hooks);
        timer.mode = mode.get();
    }

    test::ScriptedPrompt prompt;
    VirtualTimer timer;
    std::unique_ptr<DiagAutoMode> mode;
    int readingMs = 1500;  // slower than the interval
    int readings = 0;
    int failAt = 0;
    int stopAt = 0;
    int depth = 0;
    int maxDepth = 0;
    std::vector<long long> starts;
    std::vector<std::string> statuses;
};

TEST_F(AutoModeTest, ASlowReadingIsNeverEnteredTwice) {
    mode->Auto();
    EXPECT_EQ(mode->state(), DiagAutoMode::State::On);
    for (int i = 0; i < 5; ++i)
        timer.Advance(1000);
    EXPECT_EQ(readings, 6);
    EXPECT_EQ(maxDepth, 1);
    for (std::size_t i = 1; i < starts.size(); ++i)
        EXPECT_EQ(starts[i] - starts[i - 1], 2500) << "reading, then a full interval";
    EXPECT_EQ(statuses, (std::vector<std::string>{"SETTING UP...", "AUTO MODE ON"}));
}

TEST_F(AutoModeTest, StopsAtTheFirstFailureAndSaysWhy) {
    failAt = 3;
    mode->Auto();
    for (int i = 0; i < 6; ++i)
        timer.Advance(1000);
    EXPECT_EQ(readings, 3);
    EXPECT_EQ(mode->state(), DiagAutoMode::State::Off);
    EXPECT_FALSE(timer.armed());
    EXPECT_EQ(prompt.Notices(),
              std::vector<std::string>{"Auto mode stopped: the printer does not answer"});
    EXPECT_EQ(mode->stoppedBecause(), "the printer does not answer");
}

TEST_F(AutoModeTest, ButtonsSayWhatTheyCannotDo) {
    mode->Stop();
    mode->Auto();
    mode->Auto();
    mode->Manual();
    mode->Stop();
    EXPECT_EQ(prompt.Notices(),
              (std::vector<std::string>{
                  "Auto mode is not engaged.", "Auto mode is already engaged.",
                  "Auto mode is currently engaged. To terminate, select STOP pushbutton."}));
    EXPECT_EQ(prompt.shown.at(1).caption, "Diagnostics");
    EXPECT_EQ(prompt.shown.at(1).icon, PromptIcon::Exclamation);
    EXPECT_EQ(readings, 1) << "only the first Auto read";
    EXPECT_FALSE(timer.armed());
    mode->Manual();
    EXPECT_EQ(readings, 2);
    EXPECT_EQ(statuses.back(), "");
}

TEST_F(AutoModeTest, StopDuringAReadingKeepsTheTimerDisarmed) {
    stopAt = 2;
    failAt = 2;
    mode->Auto();
    for (int i = 0; i < 4; ++i)
        timer.Advance(1000);
    EXPECT_EQ(readings, 2);
    EXPECT_FALSE(timer.armed());
    EXPECT_TRUE(prompt.Notices().empty()) << "a stopped mode tells no failure";
}

TEST_F(AutoModeTest, ClosingStopsTheTimer) {
    mode->Auto();
    mode->Close();
    timer.Advance(5000);
    EXPECT_EQ(readings, 1);
    EXPECT_TRUE(prompt.Notices().empty());
}

TEST(DiagFieldText, BlankForNegativeAndTheLabelPathInWords) {
    EXPECT_EQ(DiagFieldText(DiagField::Gap, -1), "");
    EXPECT_EQ(DiagFieldText(DiagField::Gap, 12), "12");
    EXPECT_EQ(DiagFieldText(DiagField::LabelPath, 0), "CLOSED");
    EXPECT_EQ(DiagFieldText(DiagField::LabelPath, 1), "OPEN");
    EXPECT_EQ(DiagFieldText(DiagField::LabelPath, -1), "");
}

}  // namespace
}  // namespace lanmere
}  // namespace tarvo::app

// The progress indicator: one window at a time whatever the callers do, positions clamped to
// the window's range, the backend hook, and the exact text line of the default backend.
#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "gaugebar.h"
#include "text_progress.h"

namespace gaugebar {
namespace {

using namespace std::chrono_literals;

// A backend that writes down every call.
struct Recorder {
    std::vector<std::string> events;
    const char* openTitle = nullptr;  // the pointer the indicator handed over

    static void Open(void* user, const char* title, int32_t low, int32_t high) {
        auto* self = static_cast<Recorder*>(user);
        self->openTitle = title;
        self->events.push_back("open(" + std::string(title) + "," + std::to_string(low) + "," +
                               std::to_string(high) + ")");
    }
    static void Update(void* user, int32_t position) {
        static_cast<Recorder*>(user)->events.push_back("update(" + std::to_string(position) + ")");
    }
    static void Close(void* user) { static_cast<Recorder*>(user)->events.push_back("close"); }

    GaugeBackend backend() { return {this, Open, Update, Close}; }
    std::vector<std::string> take() { return std::exchange(events, {}); }
};

using Events = std::vector<std::string>;

// A terminal (or not) that keeps what is drawn on it.
class StringOutput final : public TextOutput {
  public:
    explicit StringOutput(bool terminal = true, int columns = 80)
        : terminal_(terminal), columns_(columns) {}
    bool isTerminal() override { return terminal_; }
    int columns() override { return columns_; }
    void write(std::string_view text) override { text_ += text; }
    std::string take() { return std::exchange(text_, {}); }

  private:
    bool terminal_;
    int columns_;
    std::string text_;
};

class GaugebarTest : public ::testing::Test {
  protected:
    void SetUp() override { SetProgressBackend(&backend); }
    void TearDown() override {
        DeleteProgressBar();
        SetProgressBackend(nullptr);
        SetDefaultTextOutput(nullptr, {});
    }

    Recorder recorder;
    GaugeBackend backend = recorder.backend();
};

// --- The window and its backend ---

TEST_F(GaugebarTest, TransferReachesTheBackendInOrder) {
    InitProgressBar("Downloading fonts", 0, 300);
    RunProgressBar(100);
    RunProgressBar(100);
    RunProgressBar(300);
    DeleteProgressBar();
    EXPECT_EQ(recorder.take(), (Events{"open(Downloading fonts,0,300)", "update(100)",
                                       "update(100)", "update(300)", "close"}));
}

TEST_F(GaugebarTest, WithoutAWindowRunAndDeleteDoNothing) {
    RunProgressBar(5);
    DeleteProgressBar();
    EXPECT_EQ(recorder.take(), Events{});
    InitProgressBar("Downloading graphics", 0, 10);
    DeleteProgressBar();
    recorder.take();
    // Failure paths may call Delete twice, or move the bar after it.
    DeleteProgressBar();
    RunProgressBar(7);
    EXPECT_EQ(recorder.take(), Events{});
}

TEST_F(GaugebarTest, SecondInitClosesTheFirstWindow) {
    InitProgressBar("Downloading command file", 0, 50);
    RunProgressBar(20);
    InitProgressBar("Downloading .IBF file", 0, 70);
    RunProgressBar(70);
    DeleteProgressBar();
    EXPECT_EQ(recorder.take(), (Events{"open(Downloading command file,0,50)", "update(20)", "close",
                                       "open(Downloading .IBF file,0,70)", "update(70)", "close"}));
}

TEST_F(GaugebarTest, PositionsAreClampedToTheRange) {
    InitProgressBar("t", 0, 100);
    for (int32_t position : {-5, 0, 55, 100, 150, INT32_MIN, INT32_MAX})
        RunProgressBar(position);
    InitProgressBar("t", -20, -10);
    RunProgressBar(-30);
    RunProgressBar(0);
    EXPECT_EQ(recorder.take(), (Events{"open(t,0,100)", "update(0)", "update(0)", "update(55)",
                                       "update(100)", "update(100)", "update(0)", "update(100)",
                                       "close", "open(t,-20,-10)", "update(-20)", "update(-10)"}));
}

TEST_F(GaugebarTest, UnknownTotalHasOnlyALowerBound) {
    InitProgressBar("Converting DBCS font", 0, 0);
    RunProgressBar(12345);
    RunProgressBar(INT32_MAX);
    RunProgressBar(-1);
    // A total below the start (a failed size query, say) is an unknown total too.
    InitProgressBar("Downloading Image", 50, -1);
    RunProgressBar(10);
    RunProgressBar(60);
    InitProgressBar("wide", INT32_MIN, INT32_MAX);
    RunProgressBar(INT32_MIN);
    EXPECT_EQ(
        recorder.take(),
        (Events{"open(Converting DBCS font,0,0)", "update(12345)", "update(2147483647)",
                "update(0)", "close", "open(Downloading Image,50,50)", "update(50)", "update(60)",
                "close", "open(wide,-2147483648,2147483647)", "update(-2147483648)"}));
}

TEST_F(GaugebarTest, TitleIsCopiedAndBounded) {
    char title[] = "Downloading Font";
    InitProgressBar(title, 0, 1);
    std::memcpy(title, "XXXXXXXXXXX", 11);
    EXPECT_STREQ(recorder.openTitle, "Downloading Font") << "the caller's buffer is not kept";

    InitProgressBar(nullptr, 0, 1);
    EXPECT_STREQ(recorder.openTitle, "");

    const std::string longTitle(300, 'a');
    InitProgressBar(longTitle.c_str(), 0, 1);
    EXPECT_EQ(std::string(recorder.openTitle), std::string(GAUGEBAR_MAX_TITLE, 'a'));

    // A two-byte character across the limit goes whole.
    const std::string accented = std::string(GAUGEBAR_MAX_TITLE - 1, 'a') + "\xc3\xa9" + "z";
    InitProgressBar(accented.c_str(), 0, 1);
    EXPECT_EQ(std::string(recorder.openTitle), std::string(GAUGEBAR_MAX_TITLE - 1, 'a'));
    const std::string fits = std::string(GAUGEBAR_MAX_TITLE - 2, 'a') + "\xc3\xa9";
    InitProgressBar(fits.c_str(), 0, 1);
    EXPECT_EQ(std::string(recorder.openTitle), fits);
}

TEST_F(GaugebarTest, BackendRecordIsCopiedAndMissingFunctionsAreSkipped) {
    Recorder onlyUpdates;
    {
        GaugeBackend partial{&onlyUpdates, nullptr, Recorder::Update, nullptr};
        SetProgressBackend(&partial);
        partial.update = nullptr;  // changing or dropping the record afterwards has no effect
    }
    InitProgressBar("t", 0, 9);
    RunProgressBar(3);
    DeleteProgressBar();
    RunProgressBar(4);
    EXPECT_EQ(onlyUpdates.take(), (Events{"update(3)"}));
    EXPECT_EQ(recorder.take(), Events{});
}

TEST_F(GaugebarTest, NewBackendClosesTheWindowOnTheOneThatOpenedIt) {
    Recorder second;
    const GaugeBackend other = second.backend();
    InitProgressBar("Downloading Firmware", 0, 10);
    SetProgressBackend(&other);
    RunProgressBar(5);
    DeleteProgressBar();
    EXPECT_EQ(recorder.take(), (Events{"open(Downloading Firmware,0,10)", "close"}));
    EXPECT_EQ(second.take(), Events{});
    InitProgressBar("again", 0, 10);
    DeleteProgressBar();
    EXPECT_EQ(second.take(), (Events{"open(again,0,10)", "close"}));
}

// A backend whose window has a cancel button that closes it, or that starts another transfer.
struct Meddler {
    Recorder recorder;
    static void Update(void* user, int32_t position) {
        auto* self = static_cast<Meddler*>(user);
        self->recorder.events.push_back("update(" + std::to_string(position) + ")");
        DeleteProgressBar();
        InitProgressBar("other", 0, 1);
        RunProgressBar(0);
        SetProgressBackend(nullptr);
    }
};

TEST_F(GaugebarTest, CallsFromInsideTheBackendAreIgnored) {
    Meddler meddler;
    const GaugeBackend meddling{&meddler, Recorder::Open, Meddler::Update, Recorder::Close};
    SetProgressBackend(&meddling);
    InitProgressBar("t", 0, 10);
    RunProgressBar(1);
    RunProgressBar(2);
    DeleteProgressBar();
    EXPECT_EQ(meddler.recorder.take(), (Events{"open(t,0,10)", "update(1)", "update(2)", "close"}));
}

TEST_F(GaugebarTest, DefaultBackendDrawsTheLineAndNullRestoresIt) {
    StringOutput output;
    Clock::time_point now{};
    SetDefaultTextOutput(&output, [&now] { return now; });
    SetProgressBackend(nullptr);
    InitProgressBar("Downloading Firmware", 0, 1000);
    now += 150ms;
    RunProgressBar(400);
    now += 10ms;
    RunProgressBar(450);  // too soon after the last redraw
    DeleteProgressBar();
    EXPECT_EQ(output.take(),
              "\rDownloading Firmware  [--------------------]    0%  0/1000"
              "\rDownloading Firmware  [########------------]   40%  400/1000"
              "\rDownloading Firmware  [#########-----------]   45%  450/1000\n");
    EXPECT_EQ(recorder.take(), Events{});

    StringOutput pipe(false);
    SetDefaultTextOutput(&pipe, [&now] { return now; });
    InitProgressBar("Downloading Firmware", 0, 1000);
    RunProgressBar(1000);
    DeleteProgressBar();
    EXPECT_EQ(pipe.take(), "") << "a log or a pipe gets no progress lines";
}

// --- The text line ---

class TextProgressTest : public ::testing::Test {
  protected:
    TextProgress line(StringOutput& out) {
        return TextProgress(out, [this] { return now; });
    }
    Clock::time_point now{};
    StringOutput output;
};

TEST_F(TextProgressTest, RedrawsInPlaceWithRateAndTimeLeft) {
    TextProgress progress = line(output);
    progress.open("Downloading fonts", 0, 29340);
    now += 2s;
    progress.update(12030);  // 6015 a second, 17310 to go
    now += 2s;
    progress.update(29340);
    progress.close();
    EXPECT_EQ(output.take(),
              "\rDownloading fonts  [--------------------]    0%  0/29340"
              "\rDownloading fonts  [########------------]   41%  12030/29340  6.0k/s  0:03 left"
              "\rDownloading fonts  [####################]  100%  29340/29340  7.3k/s  0:00 left"
              "\n");
}

TEST_F(TextProgressTest, RedrawsAtMostTenTimesASecondButNeverMissesTheEnd) {
    TextProgress progress = line(output);
    progress.open("t", 0, 100);
    output.take();
    for (int position : {1, 2, 3}) {
        now += 33ms;
        progress.update(position);
    }
    EXPECT_EQ(output.take(), "");
    now += 1ms;  // 100 ms since the first line
    progress.update(4);
    EXPECT_EQ(output.take(), "\rt  [--------------------]    4%  4/100");
    now += 1ms;
    progress.update(100);
    EXPECT_EQ(output.take(), "\rt  [####################]  100%  100/100");
    now += 1ms;
    progress.update(100);
    EXPECT_EQ(output.take(), "") << "the end is drawn once";

    // A state held back is drawn before the line ends.
    progress.open("u", 0, 100);
    now += 1ms;
    progress.update(7);
    progress.close();
    EXPECT_EQ(output.take(),
              "\ru  [--------------------]    0%  0/100"
              "\ru  [#-------------------]    7%  7/100\n");
    progress.close();
    progress.update(8);
    EXPECT_EQ(output.take(), "") << "nothing after the line has ended";
}

TEST_F(TextProgressTest, UnknownTotalWalksABlockAndShowsTheCount) {
    TextProgress progress = line(output);
    progress.open("Converting DBCS font", 0, 0);
    EXPECT_EQ(output.take(), "\rConverting DBCS font  [<=>                 ]  0");
    std::vector<std::string> bars;
    for (int i = 1; i <= 36; ++i) {
        now += 100ms;
        progress.update(i);
        const std::string drawn = output.take();
        bars.push_back(drawn.substr(drawn.find('[') + 1, 20));
    }
    EXPECT_EQ(bars[0], " <=>                ");
    EXPECT_EQ(bars[16], "                 <=>") << "the right end after 17 steps";
    EXPECT_EQ(bars[17], "                <=> ") << "then back";
    EXPECT_EQ(bars[33], "<=>                 ") << "the left end after 34";
    EXPECT_EQ(bars[34], " <=>                ");
    // Rate once a second has gone by; no time left without a total.
    EXPECT_EQ(progress.render(now), "Converting DBCS font  [   <=>              ]  36  10/s");
    // A smaller count leaves no digits of the longer one behind.
    now += 100ms;
    progress.update(5);
    EXPECT_EQ(output.take(), "\rConverting DBCS font  [   <=>              ]  5  1/s  ");
}

TEST_F(TextProgressTest, EqualBoundsNeverDivide) {
    TextProgress progress = line(output);
    progress.open("t", 7, 7);
    now += 5s;
    progress.update(7);
    progress.close();
    EXPECT_EQ(output.take(),
              "\rt  [<=>                 ]  7"
              "\rt  [ <=>                ]  7  0/s\n");
}

TEST_F(TextProgressTest, RatesAndTimesInEveryMagnitude) {
    struct Case {
        int32_t high;
        int32_t position;
        std::chrono::milliseconds elapsed;
        const char* figures;
    };
    const Case cases[] = {
        {100, 0, 999ms, "  0%  0/100"},  // too early for a rate
        {100, 0, 1000ms, "  0%  0/100  0/s"},
        {1000, 999, 1000ms, " 99%  999/1000  999/s  0:01 left"},
        {100000, 9999, 1000ms, "  9%  9999/100000  9.9k/s  0:10 left"},
        {1000000, 999999, 1000ms, " 99%  999999/1000000  999k/s  0:01 left"},
        {2000000000, 150000, 1000ms, "  0%  150000/2000000000  150k/s  3:42:13 left"},
        {2000000000, 1500000, 1000ms, "  0%  1500000/2000000000  1.5M/s  22:13 left"},
        {2000000000, 15000000, 1000ms, "  0%  15000000/2000000000  15M/s  2:13 left"},
        {INT32_MAX, INT32_MAX - 1, 1000ms, " 99%  2147483646/2147483647  2147M/s  0:01 left"},
    };
    for (const Case& c : cases) {
        TextProgress progress = line(output);
        progress.open("", 0, c.high);
        now += c.elapsed;
        progress.update(c.position);
        const std::string rendered = progress.render(now);
        EXPECT_EQ(rendered.substr(rendered.find(']') + 3), c.figures) << c.position;
        now = {};
    }
}

TEST_F(TextProgressTest, NarrowTerminalShortensTheTitleNotTheFigures) {
    StringOutput narrow(true, 45);
    TextProgress progress = line(narrow);
    // 44 usable columns, 37 for the bar and figures: 7 are left for the title.
    progress.open("Downloading Firmware", 0, 100);
    EXPECT_EQ(narrow.take(), "\rDown...  [--------------------]    0%  0/100");
    const std::string accented =
        "T\xc3\xa9l\xc3\xa9"
        "chargement";  // 14 columns, 16 bytes
    progress.open(accented, 0, 100);
    EXPECT_EQ(narrow.take(), "\rT\xc3\xa9l\xc3\xa9...  [--------------------]    0%  0/100");
    progress.open("Font", 0, 100);
    EXPECT_EQ(narrow.take(), "\rFont  [--------------------]    0%  0/100");

    StringOutput tiny(true, 12);
    TextProgress cramped = line(tiny);
    cramped.open("Font", 0, 100);
    EXPECT_EQ(tiny.take(), "\rFont  [----") << "never wider than the terminal";

    StringOutput unknownWidth(true, 0);
    TextProgress eighty = line(unknownWidth);
    eighty.open(std::string(70, 'x'), 0, 100);
    EXPECT_EQ(unknownWidth.take(),
              "\r" + std::string(39, 'x') + "...  [--------------------]    0%  0/100");
}

TEST_F(TextProgressTest, ControlBytesInTheTitleCannotMoveTheCursor) {
    TextProgress progress = line(output);
    progress.open("a\rb\nc\x1b[2Jd\x7f", 0, 0);
    EXPECT_EQ(output.take(), "\ra b c [2Jd   [<=>                 ]  0");
}

}  // namespace
}  // namespace gaugebar

// The two timing modes. Prescribed timing must keep the sequence of bytes and waits this
// program has always used, to the byte and the millisecond of virtual time: a recorded
// transcript (prescribed_sequence.txt beside this file) is compared with a fresh one. Adaptive
// timing must reach the same results against the same printers, faults included.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "port/framing.h"
#include "support/sim_fixture.h"
#include "support/test_env.h"
#include "support/wire.h"
#include "tarvo/kernel.h"

namespace tarvo {
namespace {

const std::string kGoldenPath =
    std::string(TARVO_SOURCE_DIR) + "/tests/integration/prescribed_sequence.txt";

struct Step {
    const char* name;
    std::function<int(int ctx)> run;
};

int Identify(int ctx) {
    char model[PCU_ID_MODEL_SIZE] = "";
    char number[PCU_ID_NUMBER_SIZE] = "";
    char firmware[PCU_ID_FIRMWARE_SIZE] = "";
    return PCUGetPrinterID(ctx, model, number, firmware, 1);
}

int Options(int ctx) {
    int a = 0, b = 0, c = 0;
    return PCUGetOptions(ctx, &a, &b, &c);
}

int Fonts(int ctx) {
    std::uint16_t n = 0;
    return PCUGetFonts(ctx, &n) * 1000 + n;
}

int Graphics(int ctx) {
    std::uint16_t n = 0;
    return PCUGetGraphics(ctx, &n) * 1000 + n;
}

int Formats(int ctx) {
    std::uint16_t n = 0;
    return PCUGetFormats(ctx, &n) * 1000 + n;
}

const std::vector<Step>& Steps() {
    static const std::vector<Step> steps = {
        {"identify", Identify},
        {"load configuration", PCUGetCfg},
        {"options", Options},
        {"fonts", Fonts},
        {"graphics", Graphics},
        {"formats", Formats},
        {"send configuration", PCUPutCfg},
        {"ping", PCUPing},
    };
    return steps;
}

struct Scenario {
    const char* name;
    int model;
    sim::Protocol protocol;
    char preamble;
    char postamble;
};

constexpr Scenario kScenarios[] = {
    {"6220E on XON/XOFF", 18, sim::Protocol::XonXoff, 0, 0},
    {"6430 on Standard with frame characters", 8, sim::Protocol::Standard, '#', '\r'},
    {"TQ5e-QEL on RTS/CTS", 23, sim::Protocol::RtsCts, 0, 0},
};

class TimingModesTest : public test::SimTest {
  protected:
    sim::Options optionsFor(const Scenario& s) {
        sim::Options o;
        o.model = s.model;
        o.line.protocol = s.protocol;
        o.preamble = s.preamble;
        o.postamble = s.postamble;
        o.objects = {{sim::ObjectKind::Graphic, {7, "logo", "", 2048}}};
        return o;
    }

    // Runs every step against a fresh printer and writes what crossed the line, each step's
    // result and the virtual time it took.
    std::string record(const Scenario& s) {
        startPrinter(optionsFor(s));
        std::ostringstream out;
        out << "# " << s.name << "\n";
        for (const Step& step : Steps()) {
            const auto before = clock->elapsed();
            const int result = step.run(ctx);
            const auto took = clock->elapsed() - before;
            out << "## " << step.name << ": result " << result << ", " << took.count() << " ms\n"
                << printer->transcriptText();
            printer->clearTranscript();
        }
        return out.str();
    }
};

TEST_F(TimingModesTest, PrescribedTimingKeepsTheRecordedSequence) {
    env.setProfile("Timing", "Prescribed");
    std::string all;
    for (const Scenario& s : kScenarios)
        all += record(s);
    if (std::getenv("TARVO_RECORD_SEQUENCE") != nullptr) {
        std::ofstream(kGoldenPath, std::ios::binary) << all;
        GTEST_SKIP() << "recorded " << kGoldenPath;
    }
    std::ifstream in(kGoldenPath, std::ios::binary);
    ASSERT_TRUE(in) << kGoldenPath;
    std::ostringstream golden;
    golden << in.rdbuf();
    EXPECT_EQ(all, golden.str());
}

// --- Both modes reach the same results -------------------------------------------------------

// The configuration values as the host holds them after a load, as one text.
std::string HeldValues(int ctx) {
    int settings[PROP_SETTING_COUNT];
    int kinds[PROP_SETTING_COUNT] = {};
    int values[PROP_SETTING_COUNT] = {};
    for (int i = 0; i < PROP_SETTING_COUNT; ++i)
        settings[i] = i;
    PCUGetParms(ctx, PROP_SETTING_COUNT, settings, kinds, values);
    std::string text;
    for (int v : values)
        text += std::to_string(v) + ",";
    return text;
}

struct Fault {
    const char* name;
    void (*set)(sim::Faults&);
    // Faults that garble a Standard printer's acknowledge leave its answer racing the next
    // connection's purge, which no clock decides; they are tried on the other protocols.
    bool onStandard;
};

constexpr Fault kFaults[] = {
    {"none", [](sim::Faults&) {}, true},
    {"busy twice", [](sim::Faults& f) { f.busyCount = 2; }, true},
    {"one acknowledge lost", [](sim::Faults& f) { f.lostAcks = 1; }, true},
    {"replies in pieces of 5 bytes",
     [](sim::Faults& f) {
         f.splitReplyAt = 5;
         f.splitPause = std::chrono::milliseconds{1};
     },
     false},
    {"garbage before a reply", [](sim::Faults& f) { f.garbage = "xy"; }, false},
};

// A model or two of each protocol, with and without frame characters.
constexpr Scenario kReliabilityScenarios[] = {
    {"6220E on XON/XOFF", 18, sim::Protocol::XonXoff, 0, 0},
    {"6240E on XON/XOFF with frame characters", 19, sim::Protocol::XonXoff, '#', '\r'},
    {"6430 on Standard", 8, sim::Protocol::Standard, 0, 0},
    {"5200A on Standard with a postamble", 0, sim::Protocol::Standard, 0, '\r'},
    {"TQ5e-QEL on RTS/CTS", 23, sim::Protocol::RtsCts, 0, 0},
};

// What a host learns from a printer through the main roads, every step under the fault: the
// identification (twice, the second time knowing the first), the configuration, the option,
// two listings and the configuration sent back.
std::string Outcome(int ctx, sim::PrinterSim& printer, const Fault& fault) {
    std::string out;
    auto step = [&](const char* name, const std::function<int()>& run) {
        sim::Faults faults;
        fault.set(faults);
        printer.setFaults(faults);
        out += std::string(name) + "=" + std::to_string(run()) + " ";
    };
    for (const char* name : {"identify", "identify again"}) {
        step(name, [&] {
            char model[PCU_ID_MODEL_SIZE] = "";
            char number[PCU_ID_NUMBER_SIZE] = "";
            char firmware[PCU_ID_FIRMWARE_SIZE] = "";
            const int rc = PCUGetPrinterID(ctx, model, number, firmware, 1);
            out += std::string(model) + "/" + number + "/" + firmware + " ";
            return rc;
        });
    }
    step("load", [&] { return PCUGetCfg(ctx); });
    out += HeldValues(ctx) + " ";
    step("options", [&] { return Options(ctx); });
    step("fonts", [&] { return Fonts(ctx); });
    step("graphics", [&] { return Graphics(ctx); });
    step("send", [&] { return PCUPutCfg(ctx); });
    return out;
}

TEST_F(TimingModesTest, BothModesReachTheSameResultsUnderEveryFault) {
    for (const Scenario& s : kReliabilityScenarios) {
        for (const Fault& fault : kFaults) {
            if (s.protocol == sim::Protocol::Standard && !fault.onStandard)
                continue;
            std::string outcome[2];
            for (int mode = 0; mode < 2; ++mode) {
                env.setProfile("Timing", mode == 0 ? "Prescribed" : "Adaptive");
                env.setProfile("IdentifiedPort", "");
                startPrinter(optionsFor(s));
                outcome[mode] = Outcome(ctx, *printer, fault);
            }
            EXPECT_EQ(outcome[1], outcome[0]) << s.name << ", " << fault.name;
        }
    }
}

// A printer that takes its processing delay before each answer is heard as one that answers
// at once, in either mode.
TEST_F(TimingModesTest, ProcessingDelaysChangeNoResult) {
    const Fault& none = kFaults[0];
    std::string outcome[3];
    for (int run = 0; run < 3; ++run) {
        env.setProfile("Timing", run == 2 ? "Prescribed" : "Adaptive");
        env.setProfile("IdentifiedPort", "");
        sim::Options o = optionsFor(kReliabilityScenarios[1]);
        o.processingDelays = run > 0;
        startPrinter(o);
        outcome[run] = Outcome(ctx, *printer, none);
    }
    EXPECT_EQ(outcome[1], outcome[0]);
    EXPECT_EQ(outcome[2], outcome[0]);
}

TEST_F(TimingModesTest, AutoConnectFindsTheSamePrinterInBothModes) {
    for (const char* port : {"COM2", "COM3", "COM4", "LPT1", "LPT2", "LPT3"})
        env.setProfile(std::string("Device.") + port, "none");
    sim::Options o;
    o.line = {38400, 8, 'N', 1, sim::Protocol::Standard};
    o.faults.splitReplyAt = 4;
    std::string found[2];
    for (int mode = 0; mode < 2; ++mode) {
        env.setProfile("Timing", mode == 0 ? "Prescribed" : "Adaptive");
        startPrinter(o);
        env.setProfile("Baud", "9600");
        PCUInitCommParm(ctx);
        const int rc = PCUAutoConnect(ctx, nullptr);
        commState c{};
        PCUGetCommState(ctx, &c);
        found[mode] = std::to_string(rc) + ":" + std::to_string(c.baud) + "," +
                      std::to_string(c.parity) + "," + std::to_string(c.dataBits) + "," +
                      std::to_string(c.protocol);
    }
    EXPECT_EQ(found[0], "1:38400,2,8,1");
    EXPECT_EQ(found[1], found[0]);
}

// A printer identified on XON/XOFF before is greeted on XON/XOFF at once; when it no longer
// answers there, the whole prescribed sequence follows.
TEST_F(TimingModesTest, IdentificationStartsWithWhatThePortLastFound) {
    const char* const kDetect = "<STX><ESC>M1<ETX><STX><ENQ><ETX>";
    const char* const kGreeting = "<STX><ETX><ENQ><STX><ESC>M1<ETX><ENQ>";
    const char* const kAsk = "<STX><ESC>M1<ETX>";
    struct Case {
        const char* what;
        const char* knownModel;
        std::string identReply;  // empty: the model's own
        std::string sent;
    };
    const Case cases[] = {
        {"nothing known", "", "", std::string(kDetect) + kGreeting + kAsk},
        {"the printer known", "6220E", "", std::string(kDetect) + kAsk},
        {"a printer of an unknown number in its place", "6220E", "999999,1.0",
         std::string(kDetect) + kAsk + kDetect + kGreeting + kAsk},
    };
    for (const Case& c : cases) {
        sim::Options o;
        o.identReply = c.identReply;
        startPrinter(o);
        env.setProfile("IdentifiedPort", c.knownModel[0] ? "COM1" : "");
        env.setProfile("IdentifiedProtocol", "XON/XOFF");
        env.setProfile("IdentifiedModel", c.knownModel);
        Identify(ctx);
        EXPECT_EQ(test::HostSent(*printer), c.sent) << c.what;
    }
}

// A line whose far end puts out the pieces of a reply at given moments of virtual time (each
// after the one before, the first after the request), one at a time as the host waits for input,
// so that the host meets the reply in as many reads as it has pieces, whatever the machine's
// speed.
struct Piece {
    int afterMs;
    std::string bytes;
};

class DripClock final : public platform::Clock {
  public:
    explicit DripClock(int master) : master_(master) {}
    void drip(std::deque<Piece> pieces) {
        pieces_ = std::move(pieces);
        due_ = now_;
    }

    platform::TimePoint now() override { return now_; }
    void sleepFor(platform::Millis d) override { now_ += d; }
    bool waitReadable(int fd, platform::Millis timeout) override {
        if (pieces_.empty() || due_ + platform::Millis{pieces_.front().afterMs} > now_ + timeout) {
            now_ += timeout;
            return false;
        }
        due_ += platform::Millis{pieces_.front().afterMs};
        now_ = std::max(now_, due_);
        const std::string bytes = pieces_.front().bytes;
        pieces_.pop_front();
        EXPECT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        pollfd p{fd, POLLIN, 0};
        return ::poll(&p, 1, 5000) > 0;  // the piece is on its way through the terminal
    }
    bool waitWritable(int, platform::Millis) override { return true; }

  private:
    int master_;
    std::deque<Piece> pieces_;
    platform::TimePoint now_{};
    platform::TimePoint due_{};
};

class ReplyTimingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(master, 0);
        ASSERT_EQ(::grantpt(master), 0);
        ASSERT_EQ(::unlockpt(master), 0);
        env.setProfile("Device.COM1", ::ptsname(master));
        clock = std::make_unique<DripClock>(master);
        platform::SetClock(clock.get());
        line.comm.port = 0;
        line.comm.baud = 9600;
        line.comm.parity = PCU_PARITY_NONE;
        line.comm.dataBits = 8;
        line.comm.stopBits = 1;
        line.comm.protocol = PCU_PROTOCOL_XONXOFF;
    }
    void TearDown() override {
        ConnClose(conn);
        platform::SetClock(nullptr);
        ::close(master);
    }
    // Sends a request and reads the reply that arrives in `pieces`, as the configuration is
    // read: a prescribed wait of 250 ms and a read time-out of 500 ms.
    std::string readReply(std::deque<Piece> pieces) {
        ConnOpen(line, conn);
        unsigned sysErr = 0;
        EXPECT_EQ(FramedWrite(conn, "", 0, 1, &sysErr), 0);
        clock->drip(std::move(pieces));
        const ReplyComplete complete = [this](std::string_view received) {
            return EndsWithFrameEnd(conn, received, '\x03') || OneFrameComplete(conn, received);
        };
        std::string buffer(4096, '\0');
        std::size_t count = 0;
        EXPECT_EQ(FramedReadReply(conn, 250, complete, buffer.data(), buffer.size(), 5, 500, true,
                                  &count, &sysErr),
                  0);
        ConnClose(conn);
        return buffer.substr(0, count);
    }

    test::TestEnv env;
    int master = -1;
    std::unique_ptr<DripClock> clock;
    LineContext line;
    Connection conn;
};

// What a reply delivers: its bytes without the postamble and with data-link escapes removed.
std::string Delivered(const std::deque<Piece>& pieces, char postamble) {
    std::string whole;
    for (const Piece& piece : pieces)
        whole += piece.bytes;
    if (postamble != 0)
        whole.pop_back();
    std::string out;
    for (std::size_t i = 0; i < whole.size(); ++i)
        out += whole[i] == '\x10' && i + 1 < whole.size() ? whole[++i] : whole[i];
    return out;
}

TEST_F(ReplyTimingTest, AReplyInPiecesIsReadToItsEndInBothModes) {
    struct Case {
        const char* what;
        std::deque<Piece> pieces;
        char postamble;
    };
    const Case cases[] = {
        {"configuration, closed by <ETX> (an escaped one is data)",
         {{0,
           "\x0f"
           "C1;\x0f"},
          {20, "c0;\x10\x03"},
          {20,
           ";\x0f"
           "d000;"},
          {20, "\x1bk;\x03"}},
         0},
        {"configuration with a postamble",
         {{0,
           "\x0f"
           "C1;\x03"},
          {20, "\r"}},
         '\r'},
        {"memory figures in a postamble", {{0, "1024,"}, {20, "987"}, {20, "\r"}}, '\r'},
        {"a reply with no end of its own",
         {{0, "0661"}, {20, "97,1.1"}, {20, "3,6220"}, {20, "E"}},
         0},
    };
    for (const char* timing : {"Adaptive", "Prescribed"}) {
        env.setProfile("Timing", timing);
        for (const Case& c : cases) {
            line.comm.postamble = c.postamble;
            EXPECT_EQ(readReply(c.pieces), Delivered(c.pieces, c.postamble))
                << c.what << ", " << timing;
        }
    }
}

// A slow printer is heard when its reply starts within the prescribed wait plus the read
// time-out, and only then, in either mode.
TEST_F(ReplyTimingTest, ASlowPrinterIsHeardAlikeInBothModes) {
    const std::pair<int, bool> starts[] = {{0, true}, {240, true}, {700, true}, {800, false}};
    for (const char* timing : {"Adaptive", "Prescribed"}) {
        env.setProfile("Timing", timing);
        for (const auto& [startMs, heard] : starts) {
            EXPECT_EQ(readReply({{startMs, "1024,987"}}), heard ? "1024,987" : "")
                << "reply after " << startMs << " ms, " << timing;
        }
    }
}

}  // namespace
}  // namespace tarvo

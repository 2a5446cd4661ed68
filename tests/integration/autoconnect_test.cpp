// The search for a printer: the order of trials, finding, cancelling, and what reaches the
// profile.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "session/kernel_state.h"
#include "support/sim_fixture.h"
#include "tarvo/kernel.h"

namespace tarvo {
namespace {

struct Message {
    unsigned message;
    int wParam;
    commState trial;
};

std::string FrameText(char c) {
    return c != '\0' ? std::string(1, c) : std::string();
}

class AutoConnectTest : public test::SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        for (const char* port : {"COM2", "COM3", "COM4", "LPT1", "LPT2", "LPT3"}) {
            env.setProfile(std::string("Device.") + port, "none");
        }
    }
    int search() {
        messages.clear();
        const PCUNotify notify{this,
                               [](void* user, unsigned message, int wParam, commState* trial) {
                                   auto* self = static_cast<AutoConnectTest*>(user);
                                   self->messages.push_back({message, wParam, *trial});
                                   if (self->cancelAt > 0 &&
                                       static_cast<int>(self->messages.size()) == self->cancelAt) {
                                       trial->cancelRequest = 1;
                                   }
                               }};
        return PCUAutoConnect(ctx, &notify);
    }
    static sim::Options Line(unsigned baud, int dataBits, char parity, sim::Protocol protocol) {
        sim::Options o;
        o.line = {baud, dataBits, parity, 1, protocol};
        return o;
    }
    std::vector<Message> messages;
    int cancelAt = 0;
};

TEST_F(AutoConnectTest, SearchesItsWayToThePrinterInOrder) {
    startPrinter();  // the context starts on the profile's defaults...
    printer->setLine({38400, 8, 'N', 1, sim::Protocol::Standard});  // ...the printer does not
    ASSERT_EQ(search(), 1);

    // Three parallel ports, then COM1: rate outermost, then data bits, parity, protocol.
    ASSERT_EQ(messages.size(), 3u + 35u + 1u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(messages[static_cast<std::size_t>(i)].wParam, 1);
        EXPECT_EQ(messages[static_cast<std::size_t>(i)].trial.port, PCU_PORT_LPT1 + i);
    }
    const int rates[] = {9600, 19200, 38400};
    std::size_t i = 3;
    for (int rate : rates) {
        for (int bits : {7, 8}) {
            for (int parity : {PCU_PARITY_EVEN, PCU_PARITY_ODD, PCU_PARITY_NONE}) {
                for (int protocol : {PCU_PROTOCOL_STANDARD, PCU_PROTOCOL_XONXOFF}) {
                    if (i == messages.size() - 1)
                        break;
                    const Message& m = messages[i++];
                    EXPECT_EQ(m.message, static_cast<unsigned>(PCU_MSG_AUTOCONNECT_TRIAL));
                    EXPECT_EQ(m.wParam, 0);
                    EXPECT_EQ(m.trial.port, PCU_PORT_COM1);
                    EXPECT_EQ(m.trial.baud, rate);
                    EXPECT_EQ(m.trial.dataBits, bits);
                    EXPECT_EQ(m.trial.parity, parity);
                    EXPECT_EQ(m.trial.protocol, protocol);
                    EXPECT_EQ(m.trial.stopBits, 1);
                }
            }
        }
    }
    EXPECT_EQ(messages.back().message, static_cast<unsigned>(PCU_MSG_AUTOCONNECT_FOUND));

    // All nine values reached the profile, and the context was loaded from it.
    const std::string profile = test::ReadFile(env.profilePath());
    for (const char* line :
         {"Family=Lanmere", "Port=COM1", "Baud=38400", "Parity=None", "DataBits=8", "StopBits=1",
          "Protocol=Standard", "Preamble=", "Postamble="}) {
        EXPECT_NE(profile.find(std::string(line) + "\n"), std::string::npos) << line;
    }
    commState c{};
    PCUGetCommState(ctx, &c);
    EXPECT_EQ(c.baud, 38400);
    EXPECT_EQ(c.dataBits, 8);
    EXPECT_EQ(c.parity, PCU_PARITY_NONE);
    EXPECT_EQ(c.protocol, PCU_PROTOCOL_STANDARD);
    EXPECT_EQ(PCUPing(ctx), 1);
}

TEST_F(AutoConnectTest, FindsFrameCharactersOnTheWay) {
    sim::Options o = Line(19200, 7, 'O', sim::Protocol::XonXoff);
    o.preamble = '#';
    o.postamble = '$';
    startPrinter(o);
    env.setProfile("Preamble", "NULL");
    env.setProfile("Postamble", "NULL");
    ASSERT_EQ(PCUInitCommParm(ctx), PCU_OK);
    ASSERT_EQ(search(), 1);
    commState c{};
    PCUGetCommState(ctx, &c);
    EXPECT_EQ(c.preamble, '#');
    EXPECT_EQ(c.postamble, '$');
    EXPECT_NE(test::ReadFile(env.profilePath()).find("Preamble=#\n"), std::string::npos);
}

TEST_F(AutoConnectTest, StoredFrameCharactersStayWhenTheDetectionGetsNoAnswer) {
    for (const auto& [preamble, postamble] : {std::pair{'#', '$'}, std::pair{'\0', '$'}}) {
        sim::Options o = Line(9600, 8, 'N', sim::Protocol::XonXoff);
        o.preamble = preamble;
        o.postamble = postamble;
        startPrinter(o);  // the profile holds the printer's frame characters
        // The printer answers both identification requests, then falls silent.
        test::FakeClock silencing{[this] {
            settlePrinter();
            const auto heard = printer->receivedMessages();
            if (std::count(heard.begin(), heard.end(), "\x1bM") >= 2) {
                sim::Faults silent;
                silent.silent = true;
                printer->setFaults(silent);
            }
        }};
        platform::SetClock(&silencing);
        const int found = search();
        platform::SetClock(clock.get());
        ASSERT_EQ(found, 1) << "preamble " << preamble;
        const std::string profile = test::ReadFile(env.profilePath());
        EXPECT_NE(profile.find("\nPreamble=" + FrameText(preamble) + "\n"), std::string::npos)
            << profile;
        EXPECT_NE(profile.find("\nPostamble=$\n"), std::string::npos) << profile;
        commState c{};
        PCUGetCommState(ctx, &c);
        EXPECT_EQ(c.preamble, preamble);
        EXPECT_EQ(c.postamble, postamble);
    }
}

TEST_F(AutoConnectTest, CancelStopsAtOnceAndLeavesTheProfileAlone) {
    startPrinter(Line(38400, 8, 'N', sim::Protocol::Standard));
    env.setProfile("Baud", "9600");
    const std::string before = test::ReadFile(env.profilePath());
    cancelAt = 6;  // the third serial trial
    EXPECT_EQ(search(), 0);
    ASSERT_EQ(messages.size(), 6u);
    EXPECT_EQ(messages.back().message, static_cast<unsigned>(PCU_MSG_AUTOCONNECT_TRIAL));
    EXPECT_EQ(test::ReadFile(env.profilePath()), before);
}

TEST_F(AutoConnectTest, NothingToFindEndsWithTheNoneMessage) {
    startPrinter();
    env.setProfile("Device.COM1", env.root() + "/no-such-device");
    EXPECT_EQ(search(), 0);
    ASSERT_EQ(messages.size(), 4u) << "three parallel trials and the final message";
    EXPECT_EQ(messages.back().message, static_cast<unsigned>(PCU_MSG_AUTOCONNECT_NONE));
}

TEST_F(AutoConnectTest, ParallelPrinterIsFoundFirst) {
    startPrinter();
    env.setProfile("Device.LPT2", printer->devicePath());
    env.setProfile("Device.COM1", "none");
    ASSERT_EQ(search(), 1);
    EXPECT_EQ(messages.size(), 3u) << "LPT1, LPT2, found";
    commState c{};
    PCUGetCommState(ctx, &c);
    EXPECT_EQ(c.port, PCU_PORT_LPT2);
    EXPECT_EQ(c.protocol, PCU_PROTOCOL_PARALLEL);
    EXPECT_NE(test::ReadFile(env.profilePath()).find("Protocol=Parallel\n"), std::string::npos);
}

TEST_F(AutoConnectTest, SettingsThatCannotBeStoredAreReportedNotHidden) {
    startPrinter();
    // The profile can be read but its lock cannot be taken, so nothing can be written.
    const std::string lock = env.profilePath() + ".lock";
    std::remove(lock.c_str());
    ASSERT_EQ(::mkdir(lock.c_str(), 0700), 0);
    const std::string before = test::ReadFile(env.profilePath());
    EXPECT_EQ(search(), 0);
    EXPECT_EQ(messages.back().message, static_cast<unsigned>(PCU_MSG_AUTOCONNECT_FOUND));
    EXPECT_EQ(FindContext(ctx)->lastError, PCU_ERR_PROFILE_WRITE);
    commState c{};
    PCUGetCommState(ctx, &c);
    EXPECT_EQ(c.protocol, PCU_PROTOCOL_XONXOFF) << "the context keeps what was found";
    EXPECT_EQ(test::ReadFile(env.profilePath()), before);
}

TEST_F(AutoConnectTest, SerialConnectStoresOnlyAKnownPrinter) {
    sim::Options o = Line(9600, 8, 'N', sim::Protocol::XonXoff);
    o.identReply = "123456,1.0";
    startPrinter(o);
    EXPECT_EQ(
        PCUSerialConnect(ctx, PCU_PORT_COM1, 9600, PCU_PARITY_NONE, 8, 1, PCU_PROTOCOL_XONXOFF), 0);
    EXPECT_EQ(PCUSerialConnect(ctx, 9, 9600, PCU_PARITY_NONE, 8, 1, PCU_PROTOCOL_XONXOFF), 0);
    EXPECT_EQ(PCUSerialConnect(0, 0, 9600, PCU_PARITY_NONE, 8, 1, PCU_PROTOCOL_XONXOFF), 0);
    startPrinter(Line(9600, 8, 'N', sim::Protocol::XonXoff));
    EXPECT_EQ(
        PCUSerialConnect(ctx, PCU_PORT_COM1, 9600, PCU_PARITY_NONE, 8, 1, PCU_PROTOCOL_XONXOFF), 1);
}

}  // namespace
}  // namespace tarvo

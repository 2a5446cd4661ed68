// Configuration transfer against the simulated printer: the exact bytes of reading and writing
// a configuration, batching under the Standard protocol, printers that stay silent or answer
// garbage, the installed option, the serial-port command, and a full round trip for every
// escape-language model.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/command_writer.h"
#include "config/setting_access.h"
#include "port/bounded_copy.h"
#include "session/kernel_state.h"
#include "support/sim_fixture.h"
#include "support/wire.h"
#include "tarvo/base/model_tables.h"
#include "tarvo/base/notation.h"
#include "tarvo/base/setting_rules.h"
#include "tarvo/kernel.h"

namespace tarvo {
namespace {

using test::HostSent;

class ConfigTransferTest : public test::SimTest {
  protected:
    void start(int model, sim::Protocol protocol = sim::Protocol::XonXoff,
               const std::string& firmware = "1.13") {
        sim::Options o;
        o.model = model;
        o.firmware = firmware;
        o.line.protocol = protocol;
        startPrinter(o);
        ConfigRecord& r = record();
        r = ConfigRecord{};
        r.model = static_cast<std::int16_t>(model);
        CopyBounded(firmware, r.firmware, sizeof r.firmware);
    }
    ConfigRecord& record() { return FindContext(ctx)->settings; }
    std::vector<std::string> framesSent() const {
        std::vector<std::string> frames;
        for (const std::string& m : printer->receivedMessages())
            frames.push_back(RenderMnemonics(m));
        return frames;
    }
};

// A 6220E set up the way a user would leave it.
void SetUp6220E(ConfigRecord& r) {
    r.emulation = 1;
    r.cutter = 1;
    r.trailMargin = 24;
    r.darkness = -3;
    r.valueE = 1;
    r.topOfForm = -10;
    r.restAdjust = 5;
    r.mediaType = 1;
    r.mediaSensitivity = 470;
    r.valueH1 = 1;
    r.imageBands = 4;
    r.labelLength = 800;
    r.charSet = 3;
    r.memorySize = 60;
    r.valueP1 = 1;
    r.valueP2 = 2;
    r.valueZ = 1;
    r.valueV = kValueVNotSent;
    r.retract = 1;
    r.printSpeed = 60;
    r.labelStock = 2;
    r.labelWidth = 813;
    r.interCharDelay = 3;
    r.startChar = '\r';
    r.mediaStatus = 1;
    r.messageDelay = 10;
}

TEST_F(ConfigTransferTest, PutCfgSendsOneBatchAfterLeavingProgramMode) {
    start(18);
    SetUp6220E(record());
    ASSERT_EQ(PCUPutCfg(ctx), PCU_OK);
    printer->settle();
    EXPECT_EQ(HostSent(*printer),
              "<STX>R<ETX>"
              "<STX><SI>C1<SI>c1<SI>D0024<SI>d-03<SI>e1<SI>F-010<SI>f005<SI>g1,470<SI>h1,0"
              "<SI>I04<SI>i0<SI>L0800<SI>l3<SI>N060<SI>p1,2<SI>z1<SI>R1<SI>S60<SI>T2<SI>t0"
              "<SI>W0813<SYN>0003<SOH><CR><EOT><NUL><ESC>k<ESC>j<ESC><SYN>0010<ETX>");
    EXPECT_EQ(State().extraDelayMs, 13) << "message delay plus inter-character delay";
    // The printer took it: what it reports now is what was sent.
    EXPECT_EQ(printer->configValue(14), -3);
    EXPECT_EQ(printer->configValue(18), -10);
    EXPECT_EQ(printer->configValue(28), '\r');
    EXPECT_EQ(printer->configValues('p'), (std::vector<sim::ConfigValue>{1, 2}));
}

TEST_F(ConfigTransferTest, StandardProtocolBatchesIntoMessagesBelowSendSize) {
    start(18, sim::Protocol::Standard);
    ConfigRecord& r = record();
    SetUp6220E(r);
    // Values as wide as their fields, so that the text outgrows one Standard message.
    r.darkness = -2147483647 - 1;
    r.restAdjust = 2147483647;
    r.printSpeed = 2147483647;
    r.labelLength = 65535;
    r.mediaSensitivity = 65535;
    r.trailMargin = r.imageBands = r.memorySize = r.charSet = r.labelWidth = 65535;
    r.valueP1 = r.valueP2 = r.valueV = 65535;
    r.interCharDelay = r.messageDelay = 65535;
    r.topOfForm = -32768;
    r.bufferStatus = r.memoryStatus = 1;
    ASSERT_EQ(PCUPutCfg(ctx), PCU_OK);
    const std::vector<std::string> frames = framesSent();
    ASSERT_EQ(frames.size(), 3u) << HostSent(*printer);
    EXPECT_EQ(frames[0], "R");
    // Cut between commands, where the next one would have brought the batch to 256.
    const std::string first =
        "<SI>C1<SI>c1<SI>D65535<SI>d-2147483648<SI>e1<SI>F-32768<SI>f2147483647<SI>g1,65535"
        "<SI>h1,0<SI>I65535<SI>i0<SI>L65535<SI>l65535<SI>N65535<SI>p65535,65535<SI>z1"
        "<SI>v65535<SI>R1<SI>S2147483647<SI>T2<SI>t0<SI>W65535<SYN>65535<SOH><CR>"
        "<EOT><NUL><ESC>k<ESC>j";
    EXPECT_EQ(frames[1], first);
    EXPECT_EQ(frames[2], "<ESC>d<ESC>e<ESC><SYN>65535");
    EXPECT_EQ(first.size() + std::string("<ESC>d").size() + 1, 259u);
    // Each message was acknowledged before the next went out.
    EXPECT_EQ(test::PrinterSent(*printer), "<DC1><DC1><DC1>");
}

TEST_F(ConfigTransferTest, AFailedSendIsReportedAndStopsTheConfiguration) {
    sim::Options o;
    o.line.protocol = sim::Protocol::Standard;
    o.faults.silent = true;
    startPrinter(o);
    record().model = 18;
    const int before = State().extraDelayMs;
    record().messageDelay = 500;
    EXPECT_EQ(PCUPutCfg(ctx), kFrameNoAck);
    EXPECT_EQ(FindContext(ctx)->lastError, kFrameNoAck);
    EXPECT_EQ(HostSent(*printer), "<STX>R<ETX><ENQ><ENQ><ENQ><ENQ>") << "nothing after R";
    EXPECT_EQ(State().extraDelayMs, before) << "the printer was not told any delay";
}

TEST_F(ConfigTransferTest, PutCfgRefusesWhatCannotBeSent) {
    start(18);
    record().endChar = ';';
    EXPECT_EQ(PCUPutCfg(ctx), PCU_ERR_ARGUMENT);
    record().endChar = 0;
    record().model = 40;
    EXPECT_EQ(PCUPutCfg(ctx), PCU_ERR_ARGUMENT);
    printer->settle();
    EXPECT_EQ(HostSent(*printer), "");
    EXPECT_EQ(PCUPutCfg(ctx + 1), PCU_ERR_NO_CONTEXT);
}

TEST_F(ConfigTransferTest, GetCfgAsksConfigurationThenMemory) {
    start(18);
    ASSERT_EQ(printer->setConfigValue(14, -7), true);
    ASSERT_EQ(printer->setConfigValue(19, 16), true);
    ASSERT_EQ(printer->setConfigValue(9, 1), true);
    ASSERT_EQ(printer->setConfigValue(10, 0), true);
    record().memoryFree = 5;
    ASSERT_EQ(PCUGetCfg(ctx), PCU_OK);
    EXPECT_EQ(HostSent(*printer), "<STX><ESC>p<ETX><STX><ESC>m<ETX><STX><ESC>m1<ETX>");
    const ConfigRecord& r = record();
    EXPECT_EQ(r.darkness, -7);
    EXPECT_EQ(r.trailMargin, 16);
    EXPECT_EQ(r.memorySize, 1024);
    EXPECT_EQ(r.memoryFree, 987);
    EXPECT_EQ(r.imageSize, static_cast<std::uint16_t>(*printer->configValue(8)));
    EXPECT_EQ(r.paperHandling, 2) << "trail margin with self-strip";
    EXPECT_EQ(r.valueV, kValueVNotSent) << "a 6220E reports no v";
}

TEST_F(ConfigTransferTest, ModelsWithAKnownImageBufferAreNotAsked) {
    start(0);
    ASSERT_EQ(PCUGetCfg(ctx), PCU_OK);
    EXPECT_EQ(HostSent(*printer), "<STX><ESC>p<ETX><STX><ESC>m<ETX>");
    EXPECT_EQ(record().imageSize, 256);
}

// Under the Standard protocol each question also gets its four enquiries.
TEST_F(ConfigTransferTest, SilentPrinterIsAskedFiveTimes) {
    for (sim::Protocol protocol : {sim::Protocol::XonXoff, sim::Protocol::Standard}) {
        sim::Options o;
        o.line.protocol = protocol;
        o.faults.silent = true;
        startPrinter(o);
        record().darkness = 3;
        const ConfigRecord before = record();
        EXPECT_EQ(PCUGetCfg(ctx), PCU_ERR_READ_CONFIG);
        std::string five;
        for (int i = 0; i < 5; ++i) {
            five += "<STX><ESC>p<ETX>";
            if (protocol == sim::Protocol::Standard)
                five += "<ENQ><ENQ><ENQ><ENQ>";
        }
        EXPECT_EQ(HostSent(*printer), five);
        EXPECT_STREQ(PCUErrStr(ctx), "Could not read configuration data from connected printer.");
        EXPECT_EQ(record(), before);
    }
}

TEST_F(ConfigTransferTest, RepliesThatDoNotParseChangeNothing) {
    struct Case {
        const char* name;
        sim::Faults faults;
    };
    std::vector<Case> cases(3);
    cases[0].name = "garbage before the reply";
    cases[0].faults.garbage = "<SI>d-";
    cases[1].name = "noise longer than a reply buffer";
    cases[1].faults.floodBytes = 5000;
    cases[2].name = "line cut inside the reply";
    cases[2].faults.closeAfterReplyBytes = 40;
    for (const Case& c : cases) {
        sim::Options o;
        o.faults = c.faults;
        startPrinter(o);
        record().darkness = 3;
        record().model = 18;
        const ConfigRecord before = record();
        EXPECT_EQ(PCUGetCfg(ctx), PCU_ERR_PARSE_CONFIG) << c.name;
        EXPECT_EQ(record(), before) << c.name;
        EXPECT_EQ(FindContext(ctx)->lastError, PCU_ERR_PARSE_CONFIG) << c.name;
        EXPECT_EQ(HostSent(*printer), "<STX><ESC>p<ETX>") << c.name;
    }
}

TEST_F(ConfigTransferTest, InstalledOption) {
    for (int option = 0; option <= 4; ++option) {
        sim::Options o;
        o.installedOption = option;
        startPrinter(o);
        int opts[3] = {7, 7, 7};
        ASSERT_EQ(PCUGetOptions(ctx, &opts[0], &opts[1], &opts[2]), PCU_OK);
        EXPECT_EQ(opts[0], option == 1 ? 1 : 0) << option;
        EXPECT_EQ(opts[1], option == 2 ? 1 : 0) << option;
        EXPECT_EQ(opts[2], option >= 3 ? 1 : 0) << option;
        EXPECT_EQ(HostSent(*printer), "<STX><ESC>O<ETX>");
    }
    int a = 7;
    EXPECT_EQ(PCUGetOptions(ctx, &a, nullptr, &a), PCU_ERR_ARGUMENT);
    EXPECT_EQ(a, 7);
}

TEST_F(ConfigTransferTest, SerialPortCommand) {
    start(18);
    record().serialFlag = 1;
    commState wanted{};
    wanted.baud = 57600;
    wanted.parity = PCU_PARITY_NONE;
    wanted.dataBits = 8;
    wanted.protocol = PCU_PROTOCOL_RTSCTS;
    wanted.serialOption1 = 1;
    wanted.serialOption2 = 2;
    ASSERT_EQ(PCUSendCommParm(ctx, &wanted, 0), PCU_OK);
    printer->settle();
    EXPECT_EQ(HostSent(*printer), "<STX>R<ETX><STX><SI>P6,0,1,2,1<ETX><STX><SI>p1,2<ETX>");
    // The printer switched its line as soon as it took <SI>P.
    EXPECT_EQ(printer->line().baud, 57600u);
    EXPECT_EQ(printer->line().parity, 'N');
    EXPECT_EQ(printer->line().dataBits, 8);
}

TEST_F(ConfigTransferTest, SerialPortCommandWithoutHandshakePinsAndWithReset) {
    start(20);
    commState wanted{};
    wanted.baud = 9600;
    wanted.parity = PCU_PARITY_EVEN;
    wanted.dataBits = 7;
    wanted.protocol = PCU_PROTOCOL_XONXOFF;
    ASSERT_EQ(PCUSendCommParm(ctx, &wanted, 1), PCU_OK);
    EXPECT_EQ(HostSent(*printer), "<STX>R<ETX><STX><SI>P3,1,0,0,0<ETX><STX><BS><ETX>");
}

TEST_F(ConfigTransferTest, SerialPortCommandRefusals) {
    start(18);
    commState wanted{};
    wanted.baud = 9600;
    wanted.dataBits = 8;
    for (int parity : {PCU_PARITY_MARK, PCU_PARITY_SPACE}) {
        wanted.parity = parity;
        EXPECT_EQ(PCUSendCommParm(ctx, &wanted, 0), PCU_ERR_ARGUMENT);
    }
    wanted.parity = PCU_PARITY_ODD;
    wanted.dataBits = 6;
    EXPECT_EQ(PCUSendCommParm(ctx, &wanted, 0), PCU_ERR_ARGUMENT);
    EXPECT_EQ(PCUSendCommParm(ctx, nullptr, 0), PCU_ERR_ARGUMENT);
    EXPECT_EQ(PCUSendCommParm(0, &wanted, 0), PCU_ERR_NO_CONTEXT);
    printer->settle();
    EXPECT_EQ(HostSent(*printer), "");
}

// A value inside the model's domain that differs from `current`.
int OtherValue(int model, int setting, int current) {
    const SettingCell* cell = FindSetting(model, setting);
    switch (setting) {
        case 2:
            for (int k = 0; k < kEmulationCount; ++k) {
                if (k != current && EmulationAllowed(model, k))
                    return k;
            }
            return current;
        case 3:
            for (int bit = 0; bit < kSpeedBitCount; ++bit) {
                if (((cell->first >> bit) & 1) != 0 && SpeedKeyOfBit(bit) != current)
                    return SpeedKeyOfBit(bit);
            }
            return current;
        case 4:
            return current == 1 ? 2 : 1;
        case 28:
            return current == '\r' ? 'S' : '\r';  // a control byte travels escaped
        case 29:
            return current == 0 ? 'E' : 0;
        case 36:
            return current == 1 ? 3 : 1;
        case 37:
            return current == 2 ? 4 : 2;
        case 30:
            return current == 2 ? 3 : 2;
        default:
            break;
    }
    if (cell->kind == SettingKind::kRange)
        return current == cell->first + 1 ? cell->first + 2 : cell->first + 1;
    if (cell->kind == SettingKind::kList) {
        for (int v = 0; v < 31; ++v) {
            if (((cell->first >> v) & 1) != 0 && v != current)
                return v;
        }
        return current;
    }
    return current == 1 ? 0 : 1;
}

// Read, change every setting that reaches the printer and that the model takes, send, read
// back and compare, for every escape-language model; the models take turns with the three line
// protocols (under RTS/CTS the reply keeps its <DLE> escapes for the parser to skip).
TEST_F(ConfigTransferTest, RoundTripForEveryModel) {
    const std::string firmware = "2.9";  // at or above every firmware floor of the tables
    for (int model = 0; model <= 24; ++model) {
        SCOPED_TRACE("model " + std::to_string(model));
        const sim::Protocol protocols[] = {sim::Protocol::XonXoff, sim::Protocol::Standard,
                                           sim::Protocol::RtsCts};
        start(model, protocols[model % 3], firmware);
        ASSERT_EQ(PCUGetCfg(ctx), PCU_OK);
        std::vector<int> settings;
        std::vector<int> kinds(kConfigSettingCount);
        std::vector<int> values(kConfigSettingCount);
        for (int s = 0; s < kConfigSettingCount; ++s)
            settings.push_back(s);
        ASSERT_EQ(
            PCUGetParms(ctx, kConfigSettingCount, settings.data(), kinds.data(), values.data()),
            PCU_OK);
        std::vector<int> changed;
        for (int s = 1; s < kConfigSettingCount; ++s) {
            if (!SettingReachesPrinter(model, firmware, s, nullptr) ||
                !SettingSupported(model, s, firmware.c_str())) {
                continue;
            }
            const int other = OtherValue(model, s, values[static_cast<std::size_t>(s)]);
            if (other == values[static_cast<std::size_t>(s)])
                continue;  // the model allows one value only
            values[static_cast<std::size_t>(s)] = other;
            changed.push_back(s);
        }
        ASSERT_EQ(PCUPutParms(ctx, kConfigSettingCount, settings.data(), values.data()), PCU_OK);
        ASSERT_EQ(PCUPutCfg(ctx), PCU_OK);

        // Read into an empty record, so that nothing passes only because it stayed.
        ConfigRecord& r = record();
        const ConfigRecord sent = r;
        r = ConfigRecord{};
        r.model = sent.model;
        CopyBounded(firmware, r.firmware, sizeof r.firmware);
        ASSERT_EQ(PCUGetCfg(ctx), PCU_OK);
        for (int s : changed) {
            if (s == 6) {
                // The memory reply overrides what <SI>N says; the printer holds the value sent.
                EXPECT_EQ(printer->configValue(6), ReadSetting(sent, 6));
                continue;
            }
            EXPECT_EQ(ReadSetting(r, s), ReadSetting(sent, s)) << "setting " << s;
        }
        EXPECT_FALSE(changed.empty());
    }
}

}  // namespace
}  // namespace tarvo

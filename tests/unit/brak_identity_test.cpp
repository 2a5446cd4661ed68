// Reading the printer's state: the listing and the host settings it brings in line, the clock,
// versions and system variables, the values assumed for a silent printer, memory figures, the
// room check, and the parity correction.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/brak_fixture.h"
#include "tarvo/context.h"

namespace tarvo::app {
namespace {

const std::string kListingRequest = "SETUP WRITE \"UART1:\"";

std::string Listing(const std::string& baud = "9600", const std::string& parity = "ODD") {
    return "SER-COM,UART1,BAUDRATE," + baud +
           "\r\n"
           "SER-COM,UART1,CHAR LENGTH,8\r\n"
           "SER-COM,UART1,PARITY," +
           parity +
           "\r\n"
           "SER-COM,UART1,STOPBITS,1\r\n"
           "SER-COM,UART1,FLOWCONTROL,XON/XOFF,DATA FROM HOST,ENABLE\r\n"
           "MEDIA,MEDIA SIZE,WIDTH,832\r\n";
}

class BrakIdentityTest : public test::BrakTest {
  protected:
    void SetUp() override {
        env.setProfile("Baud", "9600");
        env.setProfile("Parity", "Odd");
        env.setProfile("DataBits", "8");
        env.setProfile("StopBits", "1");
        ASSERT_EQ(PCUInitCommParm(session.kernelHandle), PCU_OK);
    }
    commState Kernel() const {
        commState c{};
        PCUGetCommState(session.kernelHandle, &c);
        return c;
    }
    // A printer of model 40 that answers everything the identity read asks.
    void AnswerEverything(const std::string& listing = Listing("19200")) {
        port->Answer(kListingRequest, listing);
        port->Answer("PRINT DATE$", "20240301\r\n");
        port->Answer("PRINT DATE$(\"F\")", "20240301093000\r\n");
        port->Answer("PRINT VERSION$(1)", "TQ8e\r\n");
        port->Answer("PRINT VERSION$(0)", "  V7.12   build  3 \r\n");
        port->Answer("PRINT VERSION$(2)", "CG300308\r\n");
        port->Answer("FILES \"c:\"", "a.prg 100\r\n 12345 bytes used\r\n 654321 bytes free\r\n");
        port->Answer("RUN \"meminfo -a",
                     "Total free to malloc():   1048576\r\nSum of allocated memory: 2048\r\n");
        port->Answer("PRINT SYSVAR(21)", "  12\r\n");
        port->Answer("PRINT SYSVAR(22)", "300  \r\n");
        port->Answer("PRINT SYSVAR(23)", "1\r\n");
        port->Answer("PRINT SYSVAR(20)", "-4\r\n");
    }
};

TEST_F(BrakIdentityTest, WholeReadInOrder) {
    CBrakPrinter& p = MakePrinter(40);
    AnswerEverything();
    const OpResult r = p.ReadPrinterIdentity();
    EXPECT_TRUE(r.ok()) << Describe(r);
    EXPECT_EQ(port->Commands(),
              (std::vector<std::string>{kListingRequest, "PRINT DATE$", "FORMAT DATE$ \"YYYYMMDD\"",
                                        "PRINT DATE$(\"F\")", "PRINT VERSION$(1)",
                                        "PRINT VERSION$(0)", "PRINT VERSION$(2)", "FILES \"c:\"",
                                        "RUN \"meminfo -a", "PRINT SYSVAR(21)", "PRINT SYSVAR(22)",
                                        "PRINT SYSVAR(23)", "PRINT SYSVAR(20)"}));
    const BrakIdentity& id = p.Identity();
    EXPECT_EQ(id.printerDate, "20240301");
    EXPECT_EQ(id.version1, "TQ8e");
    EXPECT_EQ(id.version0, "V7.12 build 3");
    EXPECT_EQ(id.version2, "CG300308");
    EXPECT_EQ(id.storageUsed, "12345");
    EXPECT_EQ(id.storageFree, "654321");
    EXPECT_EQ(id.heapFree, "1048576");
    EXPECT_EQ(id.heapAllocated, "2048");
    EXPECT_EQ(id.sysvar21, "12");
    EXPECT_EQ(id.sysvar22, "300");
    EXPECT_EQ(id.sysvar23, 1);
    EXPECT_EQ(id.sysvar20, -4);
    EXPECT_TRUE(session.scriptReply);
    EXPECT_EQ(p.GetSetup().width, 832);
    EXPECT_EQ(p.TreeVersion(), "7.12");
}

TEST_F(BrakIdentityTest, ListingAtAnotherRateMovesTheHostThere) {
    CBrakPrinter& p = MakePrinter(40);
    port->Answer(kListingRequest, Listing("19200"));
    const ListingRead read = p.ReadSetupListing();
    EXPECT_TRUE(read.parsed);
    EXPECT_EQ(p.GetSetup().baud, 1);
    EXPECT_EQ(Profile("Baud"), "19200");
    EXPECT_EQ(Kernel().baud, 19200) << "the kernel context was reloaded";
    EXPECT_EQ(session.baud, 19200);
    EXPECT_EQ(port->Wire(),
              "[open]SYSVAR(18)=0<CR>[wait 200]SETUP WRITE \"UART1:\"<CR>[read][close]");
}

TEST_F(BrakIdentityTest, UnreadableListingKeepsTheRecordAndTheHost) {
    CBrakPrinter& p = MakePrinter(40);
    BrakSetup before;
    before.width = 1216;
    before.charLength = 8;
    before.stopBits = 1;
    p.SetSetup(before);
    for (const std::string& junk : {std::string("SER-COM,UART1,BAUDRATE,115200\r\n#?!"),
                                    std::string("\xff\xfe\x01"), std::string()}) {
        port->Answer(kListingRequest, junk);
        const ListingRead read = p.ReadSetupListing();
        EXPECT_FALSE(read.parsed);
        EXPECT_TRUE(p.GetSetup() == before);
        EXPECT_EQ(Profile("Baud"), "9600");
    }
}

TEST_F(BrakIdentityTest, OverlongListingIsReportedAndNeverAnswersTheNextQuestion) {
    CBrakPrinter& p = MakePrinter(40);
    AnswerEverything(Listing() + std::string(6000, '#'));
    const OpResult r = p.ReadPrinterIdentity();
    EXPECT_TRUE(r.ok());
    EXPECT_NE(r.detail.find("longer than 4095 bytes"), std::string::npos) << r.detail;
    ASSERT_EQ(prompt.Notices().size(), 1u) << "the operator is told";
    EXPECT_NE(prompt.Notices()[0].find("cut short"), std::string::npos) << prompt.Notices()[0];
    EXPECT_EQ(p.Identity().printerDate, "20240301") << "the clock got its own answer";
}

TEST_F(BrakIdentityTest, ClockThatDoesNotRunIsSetFromTheComputer) {
    for (const std::string& answer : {std::string("Hardware error\r\n"), std::string()}) {
        CBrakPrinter& p = MakePrinter(40);
        port->Answer("PRINT DATE$", answer);
        port->Answer("PRINT VERSION$(1)", "TQ8e\r\n");
        p.ReadPrinterIdentity();
        const std::vector<std::string> commands = port->Commands();
        ASSERT_GE(commands.size(), 4u);
        EXPECT_EQ(commands[1], "PRINT DATE$");
        EXPECT_EQ(commands[2], "DATE$=\"240305\"");
        EXPECT_EQ(commands[3], "TIME$=\"140709\"");
        EXPECT_EQ(commands[4], "PRINT VERSION$(1)");
        EXPECT_EQ(p.Identity().printerDate, "20240305");
    }
}

TEST_F(BrakIdentityTest, Models27And28AskTheDateFormatAsAQuestion) {
    CBrakPrinter& old = MakePrinter(27);
    port->Answer("PRINT DATE$", "05/03/24\r\n");
    port->Answer("PRINT DATE$(\"F\")", "2024\r\n");
    old.ReadPrinterIdentity();
    EXPECT_NE(port->Wire().find("FORMAT DATE$ \"YYYYMMDD\"<CR>[read]"), std::string::npos);
    EXPECT_EQ(old.Identity().printerDate, "2024") << "a short answer is kept as it is";

    CBrakPrinter& newer = MakePrinter(33);
    port->Answer("PRINT DATE$", "05/03/24\r\n");
    newer.ReadPrinterIdentity();
    EXPECT_NE(port->Wire().find("FORMAT DATE$ \"YYYYMMDD\"<CR>[close]"), std::string::npos);
}

TEST_F(BrakIdentityTest, SilentPrinterGetsTheValuesOfItsKindAndTheOperatorIsTold) {
    struct Case {
        int model;
        int generation;
        std::uint16_t charLength, stopBits;
        bool xon;
        std::int16_t startAdjust;
        std::uint16_t width;
        std::int32_t length;
        const char* sysvar21;
    };
    const Case cases[] = {
        {29, 1, 7, 2, true, -114, 832, 1220, "8"},
        {28, 0, 8, 1, false, -152, 832, 1220, "8"},
        {36, 2, 8, 1, false, -175, 1216, 1824, "12"},
    };
    for (const Case& c : cases) {
        CBrakPrinter& p = MakePrinter(c.model);
        const std::size_t noticesBefore = prompt.Notices().size();
        const OpResult r = p.ReadPrinterIdentity();
        EXPECT_EQ(r.status, OpStatus::NoAnswer) << c.model;
        EXPECT_FALSE(session.scriptReply);
        EXPECT_EQ(prompt.Notices().size(), noticesBefore + 1) << "the operator is told";
        const BrakSetup& s = p.GetSetup();
        EXPECT_EQ(p.SetupGeneration(), c.generation) << c.model;
        EXPECT_EQ(s.charLength, c.charLength) << c.model;
        EXPECT_EQ(s.stopBits, c.stopBits) << c.model;
        EXPECT_EQ(s.xonXoffFromHost, c.xon) << c.model;
        EXPECT_EQ(s.xonXoffToHost, c.xon) << c.model;
        EXPECT_EQ(s.startAdjust, c.startAdjust) << c.model;
        EXPECT_EQ(s.width, c.width) << c.model;
        EXPECT_EQ(s.length, c.length) << c.model;
        EXPECT_EQ(p.Identity().sysvar21, c.sysvar21) << c.model;
        // The common values.
        EXPECT_EQ(s.baud, 0);
        EXPECT_EQ(s.parity, 1);
        EXPECT_EQ(s.newLine, 0);
        EXPECT_EQ(s.receiveBuffer, 300);
        EXPECT_EQ(s.transmitBuffer, 300);
        EXPECT_EQ(s.contrast, 5);
        EXPECT_EQ(s.mediaType, 0);
        EXPECT_EQ(p.Identity().sysvar23, 0);
    }
    EXPECT_EQ(printer->GetSetup().printSpeed, 100);
    EXPECT_EQ(printer->GetSetup().labelConstant, 50);
    EXPECT_EQ(printer->GetSetup().ribbonFactor, 10);
    EXPECT_EQ(printer->TreeVersion(), "7.12");
    CBrakPrinter& pair = MakePrinter(27);
    pair.ReadPrinterIdentity();
    EXPECT_EQ(pair.GetSetup().newSupplies1, 14);
    EXPECT_EQ(pair.GetSetup().newSupplies2, 24);
}

TEST_F(BrakIdentityTest, Model27MemoryAndItsRoomCheck) {
    CBrakPrinter& p = MakePrinter(27);
    port->Answer("FILES", "DIR OF RAM:\r\n 3 FILES 4096 bytes\r\n");
    const MemoryFigures m = p.ReadStorageMemory();
    EXPECT_EQ(m.used, "4096");
    EXPECT_EQ(m.free, "192512");
    port->ClearRecord();
    EXPECT_TRUE(p.HasRoomFor("c:", 192000 - 4096));
    EXPECT_FALSE(p.HasRoomFor("c:", 192000 - 4096 + 1));
    EXPECT_EQ(port->Wire(), "") << "generation 0 counts from the stored figure";

    port->Answer("FILES", "no figure here\r\n");
    EXPECT_EQ(p.ReadStorageMemory().used, "0");
    EXPECT_EQ(p.ReadStorageMemory().free, "196608");
    port->Answer("FILES", std::string(3000, '7') + " bytes\r\n");
    EXPECT_EQ(p.ReadStorageMemory().used.size(), 3000u) << "a huge figure is kept, bounded";
    EXPECT_FALSE(p.HasRoomFor("c:", 1));
}

TEST_F(BrakIdentityTest, RoomCheckAsksTheDeviceAndFailsWithoutAFigure) {
    CBrakPrinter& p = MakePrinter(40);
    port->Answer("FILES \"c:\"", "   0 File(s)           0 bytes used        5000 bytes free\r\n");
    EXPECT_TRUE(p.HasRoomFor("c:", 5000));
    EXPECT_NE(port->Wire().find("FILES \"c:\"<CR>[wait 500][read]"), std::string::npos);
    EXPECT_FALSE(p.HasRoomFor("c:", 5001));
    port->Answer("FILES \"ram:\"", "nothing\r\n");
    EXPECT_FALSE(p.HasRoomFor("ram:", 1));
    EXPECT_TRUE(p.HasRoomFor("ram:", 0));
    port->ClearRecord();
    EXPECT_FALSE(p.HasRoomFor("c:\" KILL \"", 1));
    EXPECT_FALSE(p.HasRoomFor("", 1));
    EXPECT_EQ(port->Wire(), "") << "a device that would change the command is not sent";

    CBrakPrinter& ram = MakePrinter(26);
    port->Answer("FILES \"ram:\"", "ram: 100 bytes used 9000 bytes free\r\n");
    const MemoryFigures m = ram.ReadStorageMemory();
    EXPECT_EQ(m.free, "9000");
    EXPECT_EQ(m.used, "100");
    port->ClearRecord();
    EXPECT_EQ(ram.ReadHeapMemory().free, "0");
    EXPECT_EQ(port->Wire(), "") << "only models 32 to 41 answer meminfo";
}

TEST_F(BrakIdentityTest, FileExistsByLowerCaseNameAndExtension) {
    CBrakPrinter& p = MakePrinter(40);
    port->Answer("FILES \"c:\"", "LOGO.PCX   1200\r\nFONT1.TTF  9000\r\nREADME 10\r\n");
    EXPECT_TRUE(p.FileExists("c:", "/home/op/images/Logo.pcx"));
    EXPECT_TRUE(p.FileExists("c:", "font1.TTF"));
    EXPECT_TRUE(p.FileExists("c:", "readme"));
    EXPECT_FALSE(p.FileExists("c:", "logo.bmp"));
    EXPECT_FALSE(p.FileExists("c:", "/"));
}

TEST_F(BrakIdentityTest, ParityNoneIsCheckedOnceMore) {
    const std::string request = "[open]<DC1>SETUP WRITE \"UART1:\"<CR><LF><DC1>[read]";
    {
        // The printer answers the second request readably: nothing changes.
        CBrakPrinter& p = MakePrinter(40);
        port->Answer(kListingRequest, Listing("9600", "NONE"));
        EXPECT_TRUE(p.ReadSetupListing().parsed);
        EXPECT_NE(port->Wire().find(request + "[close]"), std::string::npos) << port->Wire();
        EXPECT_EQ(Profile("Parity"), "None");
        EXPECT_EQ(p.CheckParity(), ParityCheck::Confirmed);
        EXPECT_TRUE(prompt.Notices().empty());
    }
    {
        // The second answer does not parse: printer and host go to ODD.
        CBrakPrinter& p = MakePrinter(40);
        port->Answer(kListingRequest, Listing("9600", "NONE"));
        port->Answer(kListingRequest, "\x85\xc3\x92 garbled");
        EXPECT_TRUE(p.ReadSetupListing().parsed);
        EXPECT_NE(
            port->Wire().find(request + "[slow]SYSVAR(18)=0<CR><LF>[wait 500]"
                                        "[slow]SETUP \"SER-COM,UART1,PARITY,ODD\"<CR><LF>[close]"),
            std::string::npos)
            << port->Wire();
        ASSERT_EQ(prompt.Notices().size(), 1u);
        EXPECT_NE(prompt.Notices()[0].find("does not support a parity setting of \"NONE\""),
                  std::string::npos);
        EXPECT_EQ(Profile("Parity"), "Odd");
        EXPECT_EQ(Kernel().parity, PCU_PARITY_ODD);
        EXPECT_EQ(p.GetSetup().parity, 1);
    }
    {
        // A printer that says nothing the second time is not judged.
        env.setProfile("Parity", "Odd");
        CBrakPrinter& p = MakePrinter(40);
        port->Answer(kListingRequest, Listing("9600", "NONE"));
        port->Answer(kListingRequest, "");
        EXPECT_TRUE(p.ReadSetupListing().parsed);
        EXPECT_EQ(p.CheckParity(), ParityCheck::NoAnswer);
        EXPECT_EQ(Profile("Parity"), "None");
        EXPECT_EQ(port->Wire().find("[slow]"), std::string::npos);
        EXPECT_EQ(prompt.Notices().size(), 1u) << "no second parity message";
    }
    CBrakPrinter& odd = MakePrinter(40);
    odd.SetSetup(BrakSetup{});
    EXPECT_EQ(odd.CheckParity(), ParityCheck::NotNeeded);
    EXPECT_EQ(port->Wire(), "");
}

}  // namespace
}  // namespace tarvo::app

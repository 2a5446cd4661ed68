// A simulated Brakenholm printer seen from the host's end of the line: its setup tree and the
// listing that SETUP WRITE sends, the serial switch, clock, files, users, and the state file.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "integration/sim_host.h"
#include "tarvo/sim/printer_sim.h"

namespace tarvo::sim {
namespace {

using namespace wire;
using namespace std::chrono;

constexpr const char* kListing = "SETUP WRITE \"UART1:\"\r\n";

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

const std::vector<std::string> kSerialLines = {
    "SER-COM,UART1,BAUDRATE,9600",
    "SER-COM,UART1,CHAR LENGTH,7",
    "SER-COM,UART1,PARITY,EVEN",
    "SER-COM,UART1,STOPBITS,1",
    "SER-COM,UART1,FLOWCONTROL,RTS/CTS,DISABLE",
    "SER-COM,UART1,FLOWCONTROL,XON/XOFF,DATA FROM HOST,ENABLE",
    "SER-COM,UART1,FLOWCONTROL,XON/XOFF,DATA TO HOST,ENABLE",
    "SER-COM,UART1,NEW LINE,CR/LF"};

std::vector<std::string> WithSerial(std::vector<std::string> rest) {
    rest.insert(rest.begin(), kSerialLines.begin(), kSerialLines.end());
    return rest;
}

// Whether a printer's clock that moved by `moved` since it was set kept time over `passed` of
// real time: it may not go back, nor on by more than what passed and the seconds it rounds to.
bool RanOnFor(seconds moved, steady_clock::duration passed) {
    return moved >= -1s && moved <= ceil<seconds>(passed) + 1s;
}

class SimScriptTest : public SimHostTest {
  protected:
    void startModel(int model) { start(BrakenholmOptions(model)); }
};

TEST_F(SimScriptTest, ListingOfTheNewTreeIsExactAndInThePrintersOrder) {
    startModel(40);
    const std::vector<std::string> expected = WithSerial({
        "SER-COM,UART1,REC BUF,300",
        "SER-COM,UART1,TRANS BUF,300",
        "FEEDADJ,STARTADJ,-175",
        "FEEDADJ,STOPADJ,0",
        "MEDIA,CONTRAST,+0%",
        "MEDIA,MEDIA SIZE,XSTART,0",
        "MEDIA,MEDIA SIZE,WIDTH,1216",
        "MEDIA,MEDIA SIZE,LENGTH,1824",
        "MEDIA,MEDIA TYPE,LABEL (w GAPS)",
        "MEDIA,PAPER TYPE,DIRECT THERMAL",
        "MEDIA,PAPER TYPE,DIRECT THERMAL,LABEL CONSTANT,50",
        "MEDIA,PAPER TYPE,DIRECT THERMAL,LABEL FACTOR,10",
        "MEDIA,PAPER TYPE,TRANSFER,RIBBON CONSTANT,50",
        "MEDIA,PAPER TYPE,TRANSFER,RIBBON FACTOR,10",
        "MEDIA,PAPER TYPE,TRANSFER,LABEL OFFSET,0",
        "PRINT DEFS,HEAD RESIST,1100",
        "PRINT DEFS,PRINT SPEED,100",
        "NETWORK,IP ADDRESS,192.168.0.50",
    });
    EXPECT_EQ(ask(std::string("SYSVAR(18)=0\r") + kListing), Lines(expected));
    EXPECT_EQ(sim->setupListing(), expected);
    EXPECT_EQ(sim->setupTreeVersion(), "7.12");
    // The 780KS has no network; the DC1 around the request is what a searching host sends.
    host.reset();
    sim.reset();
    startModel(32);
    const std::string listing = ask(std::string("\x11") + kListing + "\x11");
    EXPECT_EQ(listing.find("IP ADDRESS"), std::string::npos);
    EXPECT_EQ(listing.substr(listing.size() - 28), "PRINT DEFS,PRINT SPEED,100\r\n");
}

TEST_F(SimScriptTest, ListingOfTheOldTreeIsExactAndInThePrintersOrder) {
    startModel(30);
    const std::vector<std::string> expected = WithSerial({
        "SERVICE,MEMORY ALLOC,REC BUF UART1,300",
        "SERVICE,MEMORY ALLOC,TRANS BUF UART1,300",
        "DETECTION,LSS ADJUST,23",
        "DETECTION,FEEDADJ,STARTADJ,-114",
        "DETECTION,FEEDADJ,STOPADJ,0",
        "CONTRAST,5",
        "SERVICE,MEDIA SIZE,XSTART,0",
        "SERVICE,MEDIA SIZE,WIDTH,832",
        "SERVICE,MEDIA SIZE,LENGTH,1220",
        "SERVICE,MEDIA TYPE,LABEL (w GAPS)",
        "SERVICE,PRINT DEFS,HEAD RESIST,780",
        "SERVICE,PRINT DEFS,PAPER TYPE,OUTSIDE GRADE A",
        "SERVICE,PRINT DEFS,NEW SUPPLIES,GQ90",
        "SERVICE,PERFORMANCE,NORMAL",
        "SERVICE,MEMORY ALLOC,IMAGE BUFF SIZE,131072",
    });
    EXPECT_EQ(ask(kListing), Lines(expected));
    EXPECT_EQ(sim->setupTreeVersion(), "6.13");
}

TEST_F(SimScriptTest, SetupLinesChangeTheTreeSilentlyAndRefuseBadValues) {
    startModel(40);
    EXPECT_EQ(ask("SYSVAR(18)=0\rSETUP \"MEDIA,MEDIA SIZE,WIDTH,832\"\r"), "");
    EXPECT_EQ(ask("setup \"media,contrast,-4%\"\r"), "") << "any case; stored as the tree spells";
    EXPECT_EQ(ask("SETUP \"FEEDADJ,STARTADJ,-20\"\r"), "");
    EXPECT_EQ(ask("SETUP \"MEDIA,PAPER TYPE,TRANSFER\"\r"), "");
    EXPECT_EQ(ask("SETUP \"MEDIA,PAPER TYPE,TRANSFER,LABEL OFFSET,7\"\r"), "");
    EXPECT_EQ(ask("SETUP \"NETWORK,IP ADDRESS,\"\r"), "") << "no address: no network";
    EXPECT_EQ(sim->setupValue("MEDIA,MEDIA SIZE,WIDTH"), "832");
    EXPECT_EQ(sim->setupValue("MEDIA,CONTRAST"), "-4%");
    EXPECT_EQ(sim->setupValue("FEEDADJ,STARTADJ"), "-20");
    EXPECT_EQ(sim->setupValue("MEDIA,PAPER TYPE"), "TRANSFER");
    EXPECT_EQ(sim->setupValue("MEDIA,PAPER TYPE,TRANSFER,LABEL OFFSET"), "7");
    EXPECT_EQ(sim->setupValue("NETWORK,IP ADDRESS"), "");
    EXPECT_EQ(ask("PRINT SYSVAR(23)\r"), "1\r\n") << "transfer printing means a ribbon";

    const std::vector<std::string> before = sim->setupListing();
    const std::vector<std::pair<std::string, std::string>> refused = {
        {"SETUP \"MEDIA,MEDIA SIZE,WIDTH,wide\"",
         "Error: MEDIA,MEDIA SIZE,WIDTH wants a number from 0 to 65535\r\n"},
        {"SETUP \"MEDIA,CONTRAST,+1%\"",
         "Error: MEDIA,CONTRAST \"+1%\" is not one of its values\r\n"},
        {"SETUP \"SERVICE,MEDIA SIZE,WIDTH,832\"",
         "Error: no setting \"SERVICE,MEDIA SIZE,WIDTH,832\" in setup tree 7.12\r\n"},
        {"SETUP \"PRINT DEFS,HEAD RESIST,900\"",
         "Error: PRINT DEFS,HEAD RESIST is measured by the printer and cannot be set\r\n"},
        {"SETUP \"SER-COM,UART1,BAUDRATE,14400\"",
         "Error: SER-COM,UART1,BAUDRATE \"14400\" is not a baud rate of the printer\r\n"},
        {"SETUP \"NETWORK,IP ADDRESS,10.0.0.256\"",
         "Error: NETWORK,IP ADDRESS \"10.0.0.256\" is not an IP address\r\n"},
        {"SETUP MEDIA,CONTRAST,+0%", "Error: SETUP wants \"path,value\" or WRITE \"UART1:\"\r\n"},
    };
    for (const auto& [line, answer] : refused)
        EXPECT_EQ(ask(line + "\r"), answer) << line;
    EXPECT_EQ(sim->setupListing(), before) << "a refused line changes nothing";
    EXPECT_FALSE(sim->setSetupValue("MEDIA,MEDIA TYPE", "ROLL"));
    EXPECT_TRUE(sim->setSetupValue("MEDIA,MEDIA TYPE", "ticket (w mark)"));
    EXPECT_EQ(sim->setupValue("MEDIA,MEDIA TYPE"), "TICKET (w MARK)");
    EXPECT_EQ(sim->setupValue("NO,SUCH"), std::nullopt);
}

TEST_F(SimScriptTest, OldTreeTakesItsOwnPathsAndTheSmallModelsKeepASuppliesPair) {
    startModel(26);
    EXPECT_EQ(ask("SETUP \"SERVICE,MEDIA SIZE,WIDTH,832\"\rSETUP \"CONTRAST,7\"\r"
                  "SETUP \"DETECTION,FEEDADJ,STARTADJ,-20\"\r"
                  "SETUP \"SERVICE,PRINT DEFS,PAPER TYPE,GRADE 26\"\r"),
              "");
    EXPECT_EQ(sim->setupValue("CONTRAST"), "7");
    EXPECT_EQ(sim->setupValue("SERVICE,PRINT DEFS,PAPER TYPE"), "GRADE 26");
    EXPECT_EQ(ask("SETUP \"MEDIA,MEDIA SIZE,WIDTH,832\"\r"),
              "Error: no setting \"MEDIA,MEDIA SIZE,WIDTH,832\" in setup tree 6.13\r\n");
    EXPECT_EQ(ask("SETUP \"CONTRAST,+0%\"\r"), "Error: CONTRAST wants a number from 0 to 10\r\n");
    host.reset();
    sim.reset();

    startModel(27);
    const auto supplies = [this] {
        const std::string listing = ask(kListing);
        std::string lines;
        for (std::size_t at = listing.find("NEW SUPPLIES"); at != std::string::npos;
             at = listing.find("NEW SUPPLIES", at + 1)) {
            lines += listing.substr(at, listing.find('\r', at) - at) + "|";
        }
        return lines;
    };
    EXPECT_EQ(supplies(), "NEW SUPPLIES,GZ6|NEW SUPPLIES,GJ118|");
    EXPECT_EQ(ask("SETUP \"SERVICE,PRINT DEFS,NEW SUPPLIES,GQ90\"\r"), "");
    EXPECT_EQ(supplies(), "NEW SUPPLIES,GQ90|") << "a single grade stands alone";
    EXPECT_EQ(ask("SETUP \"SERVICE,PRINT DEFS,NEW SUPPLIES,GZ0\"\r"
                  "SETUP \"SERVICE,PRINT DEFS,NEW SUPPLIES,GC90\"\r"),
              "");
    EXPECT_EQ(supplies(), "NEW SUPPLIES,GZ0|NEW SUPPLIES,GC90|");
    EXPECT_EQ(sim->setupValue("SERVICE,PRINT DEFS,NEW SUPPLIES"), "GZ0;GC90");
    const std::string listing = ask(kListing);
    EXPECT_EQ(listing.find("REC BUF"), std::string::npos) << "generation 0 has no memory settings";
    EXPECT_EQ(listing.find("IMAGE BUFF SIZE"), std::string::npos);
}

TEST_F(SimScriptTest, SerialSetupMovesTheLineAfterTheLineThatAskedForIt) {
    startModel(40);
    EXPECT_EQ(ask("SETUP \"SER-COM,UART1,BAUDRATE,19200\"\r"), "");
    EXPECT_EQ(sim->line().baud, 19200u);
    EXPECT_EQ(ask("SYSVAR(18)=2\r"), "") << "the host is still on 9600";
    LineSettings line = sim->line();
    host->note(NoteFor(line));
    EXPECT_EQ(ask("SYSVAR(18)=2\r"), "Ok\r\n");
    EXPECT_EQ(ask("SETUP \"SER-COM,UART1,CHAR LENGTH,8\"\rSETUP \"SER-COM,UART1,PARITY,NONE\"\r"
                  "SETUP \"SER-COM,UART1,STOPBITS,2\"\r"),
              "")
        << "the later lines came in the same read and are still understood";
    line = {19200, 8, 'N', 2, Protocol::XonXoff};
    EXPECT_EQ(sim->line(), line);
    host->note(NoteFor(line));
    EXPECT_EQ(ask("SETUP \"SER-COM,UART1,FLOWCONTROL,RTS/CTS,ENABLE\"\r"), "");
    EXPECT_EQ(sim->line().protocol, Protocol::RtsCts);
    host->note(NoteFor(sim->line()));
    const std::string listing = ask(kListing);
    EXPECT_NE(listing.find("BAUDRATE,19200\r\nSER-COM,UART1,CHAR LENGTH,8\r\n"
                           "SER-COM,UART1,PARITY,NONE\r\nSER-COM,UART1,STOPBITS,2\r\n"
                           "SER-COM,UART1,FLOWCONTROL,RTS/CTS,ENABLE\r\n"),
              std::string::npos)
        << listing;
    ASSERT_TRUE(sim->setSetupValue("SER-COM,UART1,FLOWCONTROL,RTS/CTS", "DISABLE"));
    EXPECT_EQ(sim->line().protocol, Protocol::XonXoff) << "the XON/XOFF flags were still set";
    EXPECT_EQ(ask("SYSVAR(18)=2\r"), "Ok\r\n")
        << "a script printer reads plain lines whatever flow control the host uses";
    host->note(NoteFor({9600, 8, 'N', 2, Protocol::XonXoff}));
    EXPECT_EQ(ask("SETUP \"SER-COM,UART1,CHAR LENGTH,9\"\r"), "")
        << "a host on another rate is not heard at all";
    EXPECT_EQ(sim->line().dataBits, 8);
}

TEST_F(SimScriptTest, IdentityVariablesAndVerbosity) {
    startModel(36);
    EXPECT_EQ(ask("SYSVAR(18)=0\r"), "") << "verbosity off confirms nothing";
    EXPECT_EQ(ask("\x11SYSVAR(18)=3\r\n"), "Ok\r\n");
    EXPECT_EQ(ask("PRINT VERSION$(1)\rPRINT VERSION$(0)\rPRINT VERSION$(2)\r"),
              "TG3e\r\n1.13\r\nCG300103\r\n");
    EXPECT_EQ(ask("PRINT SYSVAR(20)\rPRINT SYSVAR(21)\rPRINT SYSVAR(22)\rPRINT SYSVAR(23)\r"),
              "0\r\n12\r\n1248\r\n0\r\n");
    EXPECT_EQ(ask("PRINT SYSVAR(24)\r"), "");
}

TEST_F(SimScriptTest, ClockRunsFromWhereItWasSetAndCanBreak) {
    startModel(40);
    const sys_seconds set = sys_days(2024y / March / 5) + 13h + 7min + 9s;
    ASSERT_TRUE(sim->setClock(set));
    EXPECT_EQ(ask("PRINT DATE$\r"), "240305\r\n");
    EXPECT_EQ(ask("PRINT TIME$\r").substr(0, 4), "1307");
    EXPECT_EQ(ask("PRINT DATE$(\"F\")\r"), "24/03/05\r\n");
    EXPECT_EQ(ask("FORMAT DATE$ \"YYYYMMDD\"\rPRINT DATE$(\"F\")\r"), "20240305\r\n");
    const auto setAt = steady_clock::now();
    EXPECT_EQ(ask("DATE$=\"251231\"\rTIME$=\"235959\"\r"), "");
    const sys_seconds newYearsEve = sys_days(2025y / December / 31) + 23h + 59min + 59s;
    // The clock runs on in real time; however slow the machine, it has gone on no further than
    // the time that really passed (and the second it was set in).
    EXPECT_TRUE(RanOnFor(sim->clock() - newYearsEve, steady_clock::now() - setAt));
    EXPECT_EQ(ask("DATE$=\"250230\"\r"),
              "Error: DATE$ wants a date \"YYMMDD\", not \"250230\"\r\n");
    EXPECT_EQ(ask("TIME$=\"246000\"\r"),
              "Error: TIME$ wants a time \"HHMMSS\", not \"246000\"\r\n");
    EXPECT_EQ(ask("TIME$=1200\r"), "Error: TIME$ wants a quoted time\r\n");
    EXPECT_TRUE(RanOnFor(sim->clock() - newYearsEve, steady_clock::now() - setAt));
    sim->setClockHardwareError(true);
    EXPECT_EQ(ask("PRINT DATE$\rPRINT TIME$\r"), "Hardware error\r\nHardware error\r\n");
    EXPECT_EQ(ask("DATE$=\"240101\"\r"), "") << "setting is still taken";
    sim->setClockHardwareError(false);
    EXPECT_EQ(ask("PRINT DATE$\r"), "240101\r\n");
}

TEST_F(SimScriptTest, FilesListsTheStoreWithItsFigures) {
    Options options = BrakenholmOptions(40);
    options.memoryTotalKb = 1024;
    start(options);
    ASSERT_TRUE(sim->addFile({"c:", "HELLO.PRG", 1234}));
    ASSERT_TRUE(sim->addFile({"c:", ".hidden", 100}));
    ASSERT_TRUE(sim->addFile({"tmp:", "A.TXT", 10}));
    std::string error;
    EXPECT_FALSE(sim->addFile({"c:", "BIG.BIN", 2u << 20}, &error));
    EXPECT_EQ(error, "no room on c: for 2097152 bytes (1047242 free)");
    EXPECT_FALSE(sim->addFile({"c:", "TWO WORDS", 1}));
    EXPECT_EQ(ask("FILES \"c:\"\r"),
              "HELLO.PRG                            1234\r\n"
              "   1 File(s)        1334 bytes used     1047242 bytes free\r\n");
    EXPECT_EQ(ask("FILES \"c:\",A\r").substr(0, 8), ".hidden ");
    EXPECT_EQ(ask("FILES\r"), ask("FILES \"c:\"\r")) << "c: is the store of these models";
    EXPECT_EQ(ask("FILES \"card1:\"\r"), "Error: no device \"card1:\"\r\n");
    EXPECT_EQ(ask("KILL \"c:/HELLO.PRG\"\rFORMAT \"tmp:\"\r"), "");
    EXPECT_EQ(sim->files("c:"), (std::vector<PrinterFile>{{"c:", ".hidden", 100}}));
    EXPECT_TRUE(sim->files("tmp:").empty());
    EXPECT_EQ(ask("KILL \"c:/HELLO.PRG\"\r"), "Error: no file \"c:/HELLO.PRG\"\r\n");
    EXPECT_EQ(ask("RUN \"meminfo -a\r"),
              "Total free to malloc(): 5767168\r\nSum of allocated memory: 2621440\r\nOk\r\n");
    host.reset();
    sim.reset();

    startModel(27);  // the small store: its size is fixed, and it is what FILES lists
    ASSERT_TRUE(sim->addFile({"ram:", "LOGO.PCX", 4096}));
    EXPECT_EQ(ask("FILES\r"),
              "LOGO.PCX                             4096\r\n"
              "   1 File(s)        4096 bytes used      192512 bytes free\r\n");
    EXPECT_EQ(ask("RUN \"meminfo -a\r"), "sh: meminfo: not found\r\n")
        << "the older firmware has no such program";
}

TEST_F(SimScriptTest, UserSwitchMasksThePasswordAndChecksIt) {
    startModel(30);
    ASSERT_TRUE(sim->setAdminPassword("s3cret"));
    EXPECT_EQ(ask("run \"whoami\r\n"), "user\r\nOk\r\n");
    EXPECT_EQ(ask("run \"su -p wrong admin\r\n"), "su: Authentication failure\r\n");
    EXPECT_EQ(ask("run \"su -p s3cret admin\r\n"), "Ok\r\n");
    EXPECT_EQ(ask("run \"whoami\r\n"), "admin\r\nOk\r\n");
    EXPECT_EQ(sim->shellUser(), "admin");
    const std::string transcript = sim->transcriptText();
    EXPECT_EQ(transcript.find("s3cret"), std::string::npos);
    EXPECT_NE(transcript.find("> run \"su -p ****** admin<CR><LF>"), std::string::npos)
        << transcript;
    EXPECT_EQ(sim->receivedMessages()[2], "run \"su -p s3cret admin") << "kept as it came";
    EXPECT_EQ(ask("run \"su user\r\n"), "Ok\r\n") << "a shell line answers even when silent";
    EXPECT_EQ(sim->shellUser(), "user");
    EXPECT_FALSE(sim->setAdminPassword("two words"));
}

TEST_F(SimScriptTest, SavedFactorySetupIsRestoredOnlyAfterSetupW) {
    startModel(35);
    const std::vector<std::string> factory = sim->setupListing();
    EXPECT_EQ(ask("SETUP \"MEDIA,MEDIA SIZE,WIDTH,800\"\rSETUP \"PRINT DEFS,PRINT SPEED,150\"\r"),
              "");
    ASSERT_TRUE(sim->addFile({"tmp:", "X", 1}));
    EXPECT_EQ(ask("FORMAT \"tmp:\"\r\nrun \"setup r rom:.setup.saved\"\r\n"), "Ok\r\n");
    EXPECT_TRUE(sim->files("tmp:").empty());
    EXPECT_EQ(sim->setupValue("MEDIA,MEDIA SIZE,WIDTH"), "800") << "read, not yet in force";
    EXPECT_EQ(ask("run \"setup w\"\r\n"), "Ok\r\n");
    EXPECT_EQ(sim->setupListing(), factory);
    EXPECT_EQ(ask("run \"setup r c:/mine\"\r\n"), "Error: setup: cannot read c:/mine\r\n");
}

TEST_F(SimScriptTest, StateFileKeepsTreeFilesClockAndUser) {
    const std::string state = path("printer.state");
    Options options = BrakenholmOptions(40);
    options.statePath = state;
    start(options);
    const sys_seconds setTo = floor<seconds>(system_clock::now()) + 3600s;
    const auto setAt = steady_clock::now();
    ASSERT_TRUE(sim->setClock(setTo));
    EXPECT_EQ(ask("SETUP \"MEDIA,MEDIA SIZE,WIDTH,832\"\rSETUP \"SER-COM,UART1,NEW LINE,LF\"\r"
                  "SETUP \"SER-COM,UART1,FLOWCONTROL,XON/XOFF,DATA TO HOST,DISABLE\"\r"
                  "run \"su -p admin admin\r\n"),
              "Ok\r\n");
    ASSERT_TRUE(sim->addFile({"c:", "HELLO.PRG", 1234}));
    host.reset();
    sim.reset();
    const std::string saved = ReadFile(state);
    for (const std::string line :
         {"shell-user = admin\n", "admin-password = admin\n",
          "setup.MEDIA,MEDIA SIZE,WIDTH = 832\n", "setup.SER-COM,UART1,NEW LINE = LF\n",
          "setup.SER-COM,UART1,FLOWCONTROL,XON/XOFF,DATA TO HOST = DISABLE\n",
          "setup.SER-COM,UART1,FLOWCONTROL,XON/XOFF,DATA FROM HOST = ENABLE\n",
          "file.c:/HELLO.PRG = 1234\n"}) {
        EXPECT_NE(saved.find(line), std::string::npos) << line << saved;
    }
    EXPECT_EQ(saved.find("BAUDRATE"), std::string::npos) << "the line is not kept";
    // An hour ahead, less the second the computer's clock may have moved on meanwhile.
    EXPECT_TRUE(saved.find("clock-offset-seconds = 3600\n") != std::string::npos ||
                saved.find("clock-offset-seconds = 3599\n") != std::string::npos)
        << saved;

    start(options);
    EXPECT_EQ(sim->setupValue("MEDIA,MEDIA SIZE,WIDTH"), "832");
    EXPECT_EQ(sim->setupValue("SER-COM,UART1,FLOWCONTROL,XON/XOFF,DATA TO HOST"), "DISABLE");
    EXPECT_EQ(sim->shellUser(), "admin");
    EXPECT_EQ(sim->files("c:"), (std::vector<PrinterFile>{{"c:", "HELLO.PRG", 1234}}));
    EXPECT_TRUE(RanOnFor(sim->clock() - setTo, steady_clock::now() - setAt));
    host.reset();
    sim.reset();
    EXPECT_EQ(ReadFile(state), saved) << "nothing changed, nothing rewritten differently";

    // A file from before the setup tree was kept loads with the factory values.
    WriteFile(state, "model = TQ8e\nfirmware = 2.0\n");
    start(options);
    EXPECT_EQ(sim->setupValue("MEDIA,MEDIA SIZE,WIDTH"), "1216");
    EXPECT_EQ(sim->shellUser(), "user");
}

}  // namespace
}  // namespace tarvo::sim

// The simulated printer seen from the host's end of its pseudo-terminal: exact bytes on the
// wire, the faults it plays, its files, and the program around it.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "integration/sim_host.h"
#include "support/background.h"
#include "tarvo/base/line_format.h"
#include "tarvo/base/model_tables.h"
#include "tarvo/base/unique_fd.h"
#include "tarvo/sim/printer_sim.h"

namespace tarvo::sim {
namespace {

using namespace wire;

class SimTest : public SimHostTest {};

// Waits until the file at `path` holds `text`, woken by each change to the file rather than by
// a timer; false when it never does within the test's patience.
bool FileComesToHold(const std::string& path, const std::string& text) {
    const UniqueFd watch(::inotify_init1(IN_CLOEXEC));
    if (!watch || ::inotify_add_watch(watch.get(), path.c_str(), IN_MODIFY) < 0)
        return false;
    const auto deadline = Clock::now() + kPatience;
    while (ReadFile(path) != text) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd p{watch.get(), POLLIN, 0};
        if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0)
            return false;
        char events[4096];
        [[maybe_unused]] const ssize_t n = ::read(watch.get(), events, sizeof events);
    }
    return true;
}

// --- Models and identification ---

// The printers name themselves as the host's table names them; every model's identification
// reply, the shell's platform name included, is checked through the host in identify_test.
TEST(SimModelNames, NamesAndNumbersFindTheModel) {
    for (int model = 0; model <= 40; ++model) {
        if (model == 25) {
            EXPECT_EQ(ModelName(model), "");
            EXPECT_EQ(FamilyOfModel(model), std::nullopt);
            continue;
        }
        EXPECT_EQ(ModelName(model), tarvo::ModelName(model)) << model;
        EXPECT_EQ(ModelIndexByName(ModelName(model)), model);
        EXPECT_EQ(FamilyOfModel(model), model < 25 ? Family::Lanmere : Family::Brakenholm);
    }
    // Names in any case, and names that are numbers are names first.
    const std::pair<const char*, int> found[] = {
        {"tq8E-qel", 24}, {"5200c/d", 2}, {"6000", 10}, {"0", 0},   {"24", 24},    {"tq8E", 40},
        {"780ks", 32},    {"26", 26},     {"40", 40},   {"G3", 34}, {"G3-QEL", 14}};
    for (const auto& [name, model] : found)
        EXPECT_EQ(ModelIndexByName(name), model) << name;
    for (const char* unknown :
         {"", "25", "-1", "41", "6220 E", "6220E ", "DEFAULT", "18x", "TQ8", "TQ8e-", "Unknown"})
        EXPECT_EQ(ModelIndexByName(unknown), -1) << unknown;
    EXPECT_EQ(ModelName(41), "");
    EXPECT_EQ(ModelName(-1), "");
    EXPECT_EQ(FamilyOfModel(41), std::nullopt);
    EXPECT_EQ(FamilyOfModel(-1), std::nullopt);
}

TEST_F(SimTest, ProgramNumberStandsInForTheModelsOwn) {
    const std::tuple<int, const char*, const char*> cases[] = {
        {0, "FT59877", "FT59877,1.13"},
        {0, "999999", "999999,1.13"},
        {18, "ft66197", "ft66197,1.13,6220E"},  // the type field stays
    };
    for (const auto& [model, number, reply] : cases) {
        Options options;
        options.model = model;
        options.programNumber = number;
        start(options);
        EXPECT_EQ(ask(kAskId), reply) << number;
        EXPECT_EQ(ask(Frame("\x1bM")), reply) << number;
        host.reset();
        sim.reset();
    }
}

TEST_F(SimTest, IdentReplyIsSentAsGivenInsideTheFrameCharacters) {
    const std::string replies[] = {"059877", "059877,1.13,6220E,x,y,",
                                   std::string("\x11\x12\0FT", 5), "\x7f\x80\xff,1"};
    for (const std::string& reply : replies) {
        Options options;
        options.identReply = reply;
        options.programNumber = "123456";  // the whole reply wins over a number
        start(options);
        EXPECT_EQ(ask(kAskId), reply);
        EXPECT_EQ(ask(Frame("\x1bM")), reply);
        EXPECT_EQ(ask(kAskMemory), "1024,987") << "other answers are the model's own";
        host.reset();
        sim.reset();
    }
    Options framed;
    framed.model = 23;
    framed.identReply = "071210,2.0";
    framed.preamble = '#';
    framed.postamble = '$';
    start(framed);
    EXPECT_EQ(ask(kAskId), "#071210,2.0$");
    EXPECT_EQ(ask(Frame("\x1b.x,uname -p")), "#TQ5e$") << "the shell still knows the model";
}

TEST_F(SimTest, StatusEnquiryInAFrameIsOneByteInsideTheFrameCharacters) {
    const std::tuple<char, char, const char*> cases[] = {
        {0, 0, "0"}, {'#', '$', "#0$"}, {0, '$', "0$"}, {'#', 0, "#0"}, {'\r', '\n', "\r0\n"}};
    for (const auto& [preamble, postamble, reply] : cases) {
        Options options;
        options.preamble = preamble;
        options.postamble = postamble;
        start(options);
        EXPECT_EQ(ask(Frame(kEnq)), reply);
        host.reset();
        sim.reset();
    }
}

// --- Commands in a frame ---

TEST_F(SimTest, AnswersMemoryStatusAndSeveralCommandsInOneFrame) {
    Options options;
    options.memoryTotalKb = 4096;
    options.memoryFreeKb = 12;
    options.postamble = '\r';
    start(options);
    EXPECT_EQ(ask(kAskMemory), "4096,12\r");
    EXPECT_EQ(ask(Frame(kEnq)), "0\r");
    EXPECT_EQ(ask(Frame("\x1bM1\x1bm\x1bq\x05")), "066197,1.13,6220E\r4096,12\r0\r");
    sim->setFrameCharacters('#', 0);
    EXPECT_EQ(ask(kAskMemory), "#4096,12");
}

TEST_F(SimTest, KeepsEveryMessageButAnswersOnlyWhatItKnows) {
    start(Options{});
    EXPECT_EQ(ask(Frame("\x1bq") +
                  Frame("\x0f"
                        "A5") +
                  Frame("")),
              "");
    // A second <STX> starts the message over, as after a host's retry.
    EXPECT_EQ(ask("junk\x02\x1bM\x02\x1bm\x03 more junk"), "1024,987");
    EXPECT_EQ(sim->receivedMessages(), (std::vector<std::string>{"\x1bq",
                                                                 "\x0f"
                                                                 "A5",
                                                                 "", "\x1bm"}));
}

TEST_F(SimTest, StripsTheEighthBitOnASevenBitLine) {
    start(Options{});
    const std::string highBits = "\x82\x9b\xcd\xb1\x83";
    EXPECT_EQ(ask(highBits), "066197,1.13,6220E");
    EXPECT_EQ(sim->transcriptText(), "> <x82><x9B><xCD><xB1><x83>\n< 066197,1.13,6220E\n");

    Options eightBits;
    eightBits.line.dataBits = 8;
    eightBits.line.parity = 'N';
    host.reset();
    sim.reset();
    start(eightBits);
    EXPECT_EQ(ask(highBits), "");
    EXPECT_TRUE(sim->receivedMessages().empty());
}

// --- Standard protocol ---
// (Busy printers and lost acknowledges are played in the framing tests, both directions' bytes
// pinned.)

TEST_F(SimTest, StandardAcknowledgesEveryFrameBeforeItsReply) {
    start(StandardOptions('#', '\r'));
    EXPECT_EQ(ask(kAskId), "#\x11\r#066197,1.13,6220E\r");
    EXPECT_EQ(ask(Frame("")), "#\x11\r");
    EXPECT_EQ(ask(Frame("\x1bq")), "#\x11\r");
    EXPECT_EQ(ask(Frame(kEnq)), "#\x11\r#0\r");
    EXPECT_EQ(ask(kEnq), "#\x11\r");
    // Between frames <DC3> is no flow control under this protocol.
    EXPECT_EQ(ask(kBusy + kAskMemory), "#\x11\r#1024,987\r");
}

TEST_F(SimTest, OtherProtocolsNeverAcknowledge) {
    Options rtsCts;
    rtsCts.line.protocol = Protocol::RtsCts;
    start(rtsCts);
    EXPECT_EQ(ask(kAskMemory), "1024,987");
    EXPECT_EQ(ask(kEnq), "");
    host.reset();
    sim.reset();
    start(Options{});
    EXPECT_EQ(ask(kEnq + Frame("")), "");
}

// --- Line settings ---

TEST_F(SimTest, HostOnOtherLineSettingsIsNotUnderstood) {
    struct Case {
        const char* what;
        Protocol protocol;
        LineFormat note;
        bool answers;
    };
    const LineFormat right{9600, 7, 'E', 1, FlowControl::XonXoff};
    const auto with = [&](auto change) {
        LineFormat note = right;
        change(note);
        return note;
    };
    const Case cases[] = {
        {"baud", Protocol::XonXoff, with([](LineFormat& n) { n.baud = 19200; }), false},
        {"data bits", Protocol::XonXoff, with([](LineFormat& n) { n.dataBits = 8; }), false},
        {"parity", Protocol::XonXoff, with([](LineFormat& n) { n.parity = 'O'; }), false},
        {"stop bits", Protocol::XonXoff, with([](LineFormat& n) { n.stopBits = 2; }), false},
        {"no flow", Protocol::XonXoff, with([](LineFormat& n) { n.flow = FlowControl::None; }),
         false},
        {"xonxoff on standard", Protocol::Standard, right, false},
        {"rtscts on standard", Protocol::Standard,
         with([](LineFormat& n) { n.flow = FlowControl::RtsCts; }), false},
        {"none on standard", Protocol::Standard,
         with([](LineFormat& n) { n.flow = FlowControl::None; }), true},
        {"none on rtscts", Protocol::RtsCts,
         with([](LineFormat& n) { n.flow = FlowControl::None; }), true},
        {"rtscts on rtscts", Protocol::RtsCts,
         with([](LineFormat& n) { n.flow = FlowControl::RtsCts; }), true},
        {"xonxoff on rtscts", Protocol::RtsCts, right, false},
    };
    for (const Case& c : cases) {
        Options options;
        options.line.protocol = c.protocol;
        start(options, c.note);
        const std::string reply = ask(kAskMemory);
        EXPECT_EQ(reply.find("1024,987") != std::string::npos, c.answers) << c.what;
        EXPECT_EQ(sim->receivedMessages().size(), c.answers ? 1u : 0u) << c.what;
        EXPECT_EQ(sim->transcript().front().bytes, kAskMemory) << c.what;
        host.reset();
        sim.reset();
    }
}

TEST_F(SimTest, ListensWithoutANoteAndAgainOnceTheNoteIsRight) {
    sim = std::make_unique<PrinterSim>(Options{});
    ASSERT_TRUE(sim->start(nullptr));
    host = std::make_unique<Host>(sim->devicePath());
    EXPECT_EQ(ask(kAskMemory), "1024,987");
    host->note({9600, 8, 'N', 1, FlowControl::XonXoff});
    EXPECT_EQ(ask(kAskMemory), "");
    host->note({9600, 7, 'E', 1, FlowControl::XonXoff});
    EXPECT_EQ(ask(kAskMemory), "1024,987");
    LineSettings line;
    line.baud = 19200;
    sim->setLine(line);
    EXPECT_EQ(ask(kAskMemory), "");
}

TEST_F(SimTest, HostXoffHoldsRepliesUntilXon) {
    start(Options{});
    // settle() (inside ask) knows the printer waits on the host: it does not report it stuck.
    EXPECT_EQ(ask(kBusy + kAskId), "");
    EXPECT_EQ(ask(kAck), "066197,1.13,6220E");
}

// --- Faults ---
// (Garbage, silence, a cut line and floods of noise are played in the framing, session and
// user tests, both directions' bytes pinned; only the split reply is the simulator's own.)

TEST_F(SimTest, SplitReplyArrivesWholeAfterItsPauses) {
    Options options;
    options.faults.splitReplyAt = 4;
    options.faults.splitPause = 25ms;
    start(options);
    host->send(kAskId);
    EXPECT_EQ(receive(17), "066197,1.13,6220E");
    // settle() waits out the pauses: afterwards the whole reply is there.
    EXPECT_EQ(ask(kAskId), "066197,1.13,6220E");
}

// --- Brakenholm printers ---
// (The identification lines a host sends, and the answers, are pinned in the host's script
// identification test.)

TEST_F(SimTest, EveryBrakenholmModelNamesItselfWithANumberOfItsOwn) {
    std::vector<std::string> numbers;
    for (int model = 26; model <= 40; ++model) {
        start(BrakenholmOptions(model));
        EXPECT_EQ(ask("PRINT VERSION$(1)\r\n"), ModelName(model) + "\r\n");
        EXPECT_EQ(ask("PRINT VERSION$(0)\r\n"), "1.13\r\n");
        const std::string number = ask("PRINT VERSION$(2)\r\n");
        EXPECT_EQ(number.rfind("CG", 0), 0u) << number;
        EXPECT_EQ(number.substr(number.size() - 2), "\r\n");
        EXPECT_EQ(std::count(numbers.begin(), numbers.end(), number), 0) << number;
        numbers.push_back(number);
        host.reset();
        sim.reset();
    }
    start(BrakenholmOptions(26));
    EXPECT_EQ(ask("PRINT VERSION$(2)\r"), "CG100720\r\n");
}

TEST_F(SimTest, BrakenholmLinesEndAtCrWhateverTheReadsAre) {
    start(BrakenholmOptions());
    host->send("PRINT VER");
    settle();
    EXPECT_EQ(ask("SION$(1)"), "") << "no answer before the line ends";
    EXPECT_EQ(ask("\r"), "TQ8e\r\n");
    EXPECT_EQ(ask("\nSYSVAR(18)=2\r"), "Ok\r\n") << "the LF after a CR belongs to the line end";
    EXPECT_EQ(ask("SYSVAR(18)=2\n"), "") << "LF alone ends no line";
    EXPECT_EQ(ask("\r"), "") << "a line with an LF inside is not understood";
    EXPECT_EQ(ask("\r\nPRINT VERSION$(0)\rPRINT VERSION$(2)\r\n"), "1.13\r\nCG300308\r\n");
    EXPECT_EQ(sim->receivedMessages(),
              (std::vector<std::string>{"PRINT VERSION$(1)", "SYSVAR(18)=2", "SYSVAR(18)=2\n", "",
                                        "PRINT VERSION$(0)", "PRINT VERSION$(2)"}));
}

TEST_F(SimTest, BrakenholmReadsKeywordsInAnyCaseAndSpacing) {
    start(BrakenholmOptions(36));
    EXPECT_EQ(ask("  print   version$(1)\t \r\n"), "TG3e\r\n");
    EXPECT_EQ(ask("Sysvar(18)=2\r\n"), "Ok\r\n");
    // Lines without an answer, quoted text among them, are kept as they came.
    const std::vector<std::string> unknown = {"SETUP \"MEDIA,MEDIA SIZE,WIDTH,832\"",
                                              "PRINT VERSION$(3)",
                                              "SYSVAR(18)=0",
                                              "PRINT VERSION$ (1)",
                                              "SYSVAR(18) = 2",
                                              "RUN \"rom:win1.prg\""};
    for (const std::string& line : unknown) {
        EXPECT_EQ(ask(line + "\r\n"), "") << line;
    }
    const auto received = sim->receivedMessages();
    EXPECT_EQ(std::vector<std::string>(received.begin() + 2, received.end()), unknown);
}

TEST_F(SimTest, BrakenholmIgnoresALeadingDc1ByteOrText) {
    Options options = BrakenholmOptions();
    options.line.protocol = Protocol::Standard;  // no flow control: the <DC1> byte is data
    start(options);
    EXPECT_EQ(ask("\x11SYSVAR(18)=2\r\n"), "Ok\r\n");
    EXPECT_EQ(ask("<DC1>PRINT VERSION$(1)\r\n"), "TQ8e\r\n");
    EXPECT_EQ(ask("SYS\x11VAR(18)=2\r\n"), "") << "only at the start of a line";
    EXPECT_EQ(ask("\x11\x11SYSVAR(18)=2\r\n"), "");
    EXPECT_EQ(ask("<DC1><DC1>SYSVAR(18)=2\r\n"), "");
    EXPECT_EQ(ask("\x13SYSVAR(18)=2\r\n"), "") << "<DC3> is no flow control here";
    EXPECT_EQ(sim->receivedMessages().front(), "\x11SYSVAR(18)=2");
}

TEST_F(SimTest, BrakenholmOnXonXoffTakesFlowControlOutOfTheLine) {
    start(BrakenholmOptions());
    EXPECT_EQ(ask("SYS\x11VAR(18)=2\r\n"), "Ok\r\n");
    EXPECT_EQ(ask("\x13PRINT VERSION$(1)\r"), "") << "held by the host";
    EXPECT_EQ(ask("\x11\n"), "TQ8e\r\n");
    EXPECT_EQ(ask("SYSVAR(18)=2\r"), "Ok\r\n")
        << "an XON between CR and LF leaves the line end whole";
    EXPECT_EQ(sim->receivedMessages(),
              (std::vector<std::string>{"SYSVAR(18)=2", "PRINT VERSION$(1)", "SYSVAR(18)=2"}));
}

TEST_F(SimTest, BrakenholmOverridesAndFirmware) {
    Options options = BrakenholmOptions(30);
    options.firmware = "V7.12";
    options.programNumber = "FT12345";
    options.identReply = "\x01TQ8e,\x7f";
    options.preamble = '#';  // a script printer puts nothing around its answers
    options.postamble = '$';
    start(options);
    EXPECT_EQ(ask("PRINT VERSION$(1)\r\n"), "\x01TQ8e,\x7f\r\n");
    EXPECT_EQ(ask("PRINT VERSION$(2)\r\n"), "FT12345\r\n");
    EXPECT_EQ(ask("PRINT VERSION$(0)\r\n"), "V7.12\r\n");
    EXPECT_EQ(ask("SYSVAR(18)=2\r\n"), "Ok\r\n");
}

TEST_F(SimTest, BrakenholmIgnoresFramesAndEnquiries) {
    Options options = BrakenholmOptions();
    options.line.protocol = Protocol::Standard;
    start(options);
    EXPECT_EQ(ask(kAskId + kEnq + Frame(kEnq)), "") << "no acknowledge, no identification";
    // The frames made one line with the next: the interpreter cannot read it.
    EXPECT_EQ(ask("SYSVAR(18)=2\r"), "");
    EXPECT_EQ(ask("SYSVAR(18)=2\r"), "Ok\r\n");
}

TEST_F(SimTest, BrakenholmPlaysTheFaultsToo) {
    Options options = BrakenholmOptions();
    options.faults.garbage = "<NUL>zz";
    options.faults.floodBytes = 5;
    start(options);
    const std::string noisy = ask("NOT A COMMAND\r");
    ASSERT_EQ(noisy.size(), 8u) << "noise answers even a line that has no answer";
    EXPECT_EQ(noisy.substr(0, 3), std::string("\0zz", 3));
    for (char c : noisy.substr(3)) {
        EXPECT_TRUE(c >= '!' && c <= '~') << "line end or control byte in the noise";
    }
    EXPECT_EQ(ask("SYSVAR(18)=2\r\n"), "Ok\r\n");
    Faults silent;
    silent.silent = true;
    sim->setFaults(silent);
    EXPECT_EQ(ask("PRINT VERSION$(1)\r\n"), "");
    Faults cut;
    cut.closeAfterReplyBytes = 3;
    sim->setFaults(cut);
    host->send("PRINT VERSION$(1)\r\n");
    EXPECT_EQ(receive(3), "TQ8");
    EXPECT_TRUE(host->seesLineClosed());
}

TEST_F(SimTest, BrakenholmDropsAnOverlongLineWhole) {
    start(BrakenholmOptions());
    const std::string chunk(4096, 'x');
    for (int i = 0; i < 17; ++i) {  // 68 KiB, more than any line buffer holds
        host->send(chunk);
        settle();
    }
    EXPECT_EQ(ask("PRINT VERSION$(1)\r\nPRINT VERSION$(1)\r\n"), "TQ8e\r\n");
    EXPECT_EQ(sim->receivedMessages(), (std::vector<std::string>{"PRINT VERSION$(1)"}));
}

// --- Transcript ---

TEST_F(SimTest, TranscriptMergesRunsAndSpellsControlBytes) {
    Options options = StandardOptions('#');
    options.transcriptPath = path("wire.log");
    start(options);
    host->send("\x02\x1b");
    settle();
    ask("m\x03");
    const std::string expected = "> <STX><ESC>m<ETX>\n< #<DC1>#1024,987\n";
    EXPECT_EQ(sim->transcriptText(), expected);
    const auto entries = sim->transcript();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].direction, Direction::HostToPrinter);
    EXPECT_EQ(entries[1].direction, Direction::PrinterToHost);
    EXPECT_EQ(entries[1].bytes, "#\x11#1024,987");

    // The file follows as it happens: a run is written once the line has been quiet a moment.
    EXPECT_TRUE(FileComesToHold(path("wire.log"), expected)) << ReadFile(path("wire.log"));

    sim->clearTranscript();
    EXPECT_EQ(sim->transcriptText(), "");
    ask(kEnq);
    EXPECT_EQ(sim->transcriptText(), "> <ENQ>\n< #<DC1>\n");
    sim->stop();
    EXPECT_EQ(ReadFile(path("wire.log")), expected + "> <ENQ>\n< #<DC1>\n");
}

// --- State file ---

TEST_F(SimTest, StateFileIsCreatedAndItsValuesOutliveThePrinter) {
    const std::string state = path("printer.state");
    Options options;
    options.model = 0;
    options.firmware = "1.20";
    options.statePath = state;
    start(options);
    const std::string created = ReadFile(state);
    const std::string head =
        "# State of a simulated printer (tarvo-printersim); kept between runs.\n"
        "model = 5200A\nfirmware = 1.20\nmemory-total-kb = 1024\nmemory-free-kb = 987\n";
    EXPECT_EQ(created.substr(0, head.size()), head);
    EXPECT_NE(created.find("\nconfig.label-length = 1000\n"), std::string::npos) << created;
    EXPECT_EQ(created.find("shell-user"), std::string::npos) << "the 5200A has no shell";
    host.reset();
    sim.reset();

    const std::string edited =
        "# edited by hand\n\n  model=5200a  \nfirmware =  3.01\r\nmemory-total-kb = 2048\n"
        "memory-free-kb = 1000\n";
    WriteFile(state, edited);
    options.firmware = "9.99";  // a saved printer keeps its own firmware
    start(options);
    EXPECT_EQ(ask(kAskId + kAskMemory),
              "059877,3.01"
              "2048,1000");
    host.reset();
    sim.reset();
    EXPECT_EQ(ReadFile(state), edited) << "nothing changed, so nothing was rewritten";
}

TEST_F(SimTest, BrakenholmStateNamesItsModel) {
    const std::string state = path("printer.state");
    Options options = BrakenholmOptions();
    options.firmware = "8.17.2";
    options.statePath = state;
    start(options);
    // The setup tree, files and clock that follow are sim_script_test's.
    EXPECT_EQ(ReadFile(state).rfind(
                  "# State of a simulated printer (tarvo-printersim); kept between runs.\n"
                  "model = TQ8e\nfirmware = 8.17.2\nmemory-total-kb = 1024\nmemory-free-kb = 987\n"
                  "shell-user = user\n",
                  0),
              0u);
    host.reset();
    sim.reset();

    WriteFile(state, "model = tq8e\nfirmware = 9.0\n");
    start(options);
    EXPECT_EQ(ask("PRINT VERSION$(0)\r"), "9.0\r\n");
}

// One loader reads every family's state file: a file it cannot take stops the start, names the
// file and line, and is left as it was.
TEST_F(SimTest, BadStateFileIsRefusedNamingFileAndLineAndLeftAlone) {
    const std::string state = path("printer.state");
    struct Case {
        int model;  // 18: 6220E, 23, 40: TQ8e
        const char* text;
        const char* reason;
    };
    const Case cases[] = {
        {18, "model = 6220E\nthis is not a setting\n", "line 2: expected \"key = value\""},
        {18, "model = 6220E\nfirmware = 1,2\n", "line 2: firmware"},
        {18, "model = 6220E\ncolour = red\n", "line 2: unknown key \"colour\""},
        {18, "model = 6220E\nmodel = 6220E\n", "line 2: \"model\" given twice"},
        {18, "model = 6220X\n", "line 1: unknown model \"6220X\""},
        {18, "# another printer\nmodel = 5200A\n",
         "line 2: the saved printer is a 5200A, not a 6220E"},
        {40, "model = TQ8e-QEL\n", "line 1: the saved printer is a TQ8e-QEL, not a TQ8e"},
        {18, "memory-free-kb = 10\nmemory-total-kb = 9\n", "line 2: memory-free-kb exceeds"},
        {18, "memory-total-kb = -1\n", "line 1: memory-total-kb is not a size"},
        // A Lanmere printer's configuration, objects and shell user.
        {23, "config.darkness = 11\n", "line 1: setting 14: 11 is outside -10..10"},
        {23, "# soft\nconfig.darkness = soft\n", "line 2: \"soft\" is not a number or '?'"},
        {23, "config.colour = 1\n", "line 1: unknown setting \"config.colour\""},
        {23, "config.media-status = ?\n", "line 1: setting 22 cannot be unknown"},
        {23, "config.darkness = 1,2\n", "line 1: config.darkness takes one number"},
        {23, "config.U = 1,2\n", "line 1: wrong count of numbers for config.U"},
        {23, "font.5 = x,200,1\n", "line 1: font number 5 is taken by a resident font"},
        {23, "font.29 = a,b,c,d\n", "line 1: expected \"description,type,size\""},
        {23, "font.29 = Logo,TT,10\n", "line 1: a font type is a number"},
        {23, "graphic.70000 = x,0,1\n", "line 1: an object number is 0 to 65535"},
        {23, "graphic.x = a,0,1\n", "line 1: \"x\" is not an object number"},
        {23, "graphic = a,0,1\n", "line 1: \"\" is not an object number"},
        {23, "graphic.1 = a,0,-1\n", "line 1: the size is not a number of bytes"},
        {23, "memory-total-kb = 100\nmemory-free-kb = 99\ngraphic.1 = big,0,2048\n",
         "line 3: the stored objects take 2 KB, more than"},
        {23, "shell-user = root\n", "line 1: shell-user is admin or user"},
        {23, "admin-password = two words\n", "line 1: admin-password must be"},
        {23, "font.29 = a,200,1\nfont.29 = b,200,1\n", "line 2: \"font.29\" given twice"},
        // A Brakenholm printer's setup tree, files and clock.
        {40, "model = TQ8e\nconfig.darkness = 0\n", "line 2: unknown key \"config.darkness\""},
        {40, "model = TQ8e\nsetup.MEDIA,CONTRAST = +1%\n",
         "line 2: MEDIA,CONTRAST: \"+1%\" is not one of its values"},
        {40, "model = TQ8e\nsetup.MEDIA,CONTRAST = -2%\nsetup.SER-COM,UART1,BAUDRATE = 9600\n",
         "line 3: SER-COM,UART1,BAUDRATE: not a kept setting of setup tree 7.12"},
        {40, "model = TQ8e\nsetup.MEDIA,MEDIA SIZE,WIDTH = 0832\n",
         "line 2: MEDIA,MEDIA SIZE,WIDTH: is written \"832\""},
        {40, "model = TQ8e\nfile.c:/HELLO.PRG = -5\n",
         "line 2: the size of c:/HELLO.PRG is not a number of bytes"},
        {40, "model = TQ8e\nfile.card1:/X = 5\n",
         "line 2: \"card1:/X\" is not a file of this printer (\"c:/NAME\")"},
        {40, "model = TQ8e\nmemory-total-kb = 1\nmemory-free-kb = 0\nfile.c:/BIG = 2048\n",
         "line 4: the files on c: take 2048 bytes, more than its 1024"},
        {40, "model = TQ8e\nclock-offset-seconds = soon\n",
         "line 2: clock-offset-seconds is a number of seconds within a century"},
    };
    for (const Case& c : cases) {
        WriteFile(state, c.text);
        Options options = c.model == 40 ? BrakenholmOptions(40) : Options{};
        options.model = c.model;
        options.statePath = state;
        PrinterSim printer(options);
        std::string error;
        EXPECT_FALSE(printer.start(&error)) << c.text;
        EXPECT_NE(error.find("state file " + state + ", " + c.reason), std::string::npos) << error;
        EXPECT_EQ(printer.devicePath(), "");
        printer.stop();
        EXPECT_EQ(ReadFile(state), c.text);
    }
}

TEST_F(SimTest, UnusableFilesAndOptionsStopTheStart) {
    Options noDirectory;
    noDirectory.statePath = path("missing/printer.state");
    std::string error;
    EXPECT_FALSE(PrinterSim(noDirectory).start(&error));
    EXPECT_NE(error.find("missing/printer.state"), std::string::npos) << error;

    Options badTranscript;
    badTranscript.transcriptPath = path("missing/wire.log");
    EXPECT_FALSE(PrinterSim(badTranscript).start(&error));
    EXPECT_NE(error.find("wire.log"), std::string::npos) << error;

    Options badModel;
    badModel.model = 25;
    EXPECT_FALSE(PrinterSim(badModel).start(&error));
    Options badFirmware;
    badFirmware.firmware = "1.0,x";
    EXPECT_FALSE(PrinterSim(badFirmware).start(&error));
    Options badNumber;
    badNumber.programNumber = "0598,77";
    EXPECT_FALSE(PrinterSim(badNumber).start(&error));
    EXPECT_NE(error.find("program number"), std::string::npos) << error;

    // The family and the model must agree, either way round.
    Options lanmereModel = BrakenholmOptions(18);
    EXPECT_FALSE(PrinterSim(lanmereModel).start(&error));
    EXPECT_EQ(error, "model 6220E is a Lanmere printer, not a Brakenholm one");
    Options brakenholmModel;
    brakenholmModel.model = 40;
    EXPECT_FALSE(PrinterSim(brakenholmModel).start(&error));
    EXPECT_EQ(error, "model TQ8e is a Brakenholm printer, not a Lanmere one");
    for (int model : {25, 41}) {
        EXPECT_FALSE(PrinterSim(BrakenholmOptions(model)).start(&error)) << model;
        EXPECT_EQ(error,
                  "model " + std::to_string(model) + " is not a model number 0..24 or 26..40");
    }

    PrinterSim once(Options{});
    EXPECT_TRUE(once.start(&error));
    once.stop();
    EXPECT_FALSE(once.start(&error));
}

// --- Lifecycle, link and settle ---

TEST_F(SimTest, LinkPointsAtTheDeviceUntilStop) {
    const std::string link = path("printer");
    ASSERT_EQ(::symlink("/nonexistent", link.c_str()), 0);
    Options options;
    options.linkPath = link;
    start(options);
    EXPECT_EQ(sim->devicePath(), link);
    char target[PATH_MAX] = {};
    ASSERT_GT(::readlink(link.c_str(), target, sizeof target - 1), 0);
    EXPECT_EQ(std::string(target).rfind("/dev/pts/", 0), 0u) << target;
    EXPECT_EQ(ask(kAskMemory), "1024,987");
    sim->stop();
    struct stat st {};
    EXPECT_NE(::lstat(link.c_str(), &st), 0);

    WriteFile(link, "precious");
    PrinterSim refused(options);
    std::string error;
    EXPECT_FALSE(refused.start(&error));
    EXPECT_NE(error.find("not a symbolic link"), std::string::npos) << error;
    EXPECT_EQ(ReadFile(link), "precious");
}

TEST_F(SimTest, HostMayCloseAndReopenAndSeesEndOfFileAfterStop) {
    start(Options{});
    EXPECT_EQ(ask(kAskMemory), "1024,987");
    host = std::make_unique<Host>(sim->devicePath());
    host = std::make_unique<Host>(sim->devicePath());
    EXPECT_EQ(ask(kAskMemory), "1024,987");
    sim->stop();
    EXPECT_TRUE(host->seesLineClosed());
}

TEST_F(SimTest, SettleNeverReturnsEarly) {
    start(Options{});
    EXPECT_TRUE(sim->settle());
    // Without a single sleep, every reply is complete once settle() returns.
    for (int round = 0; round < 150; ++round) {
        ASSERT_EQ(ask(round % 2 ? kAskMemory : kAskId),
                  round % 2 ? "1024,987" : "066197,1.13,6220E")
            << "round " << round;
    }
}

// How fast a paced line moves is not measured here (no test depends on real time); that it
// still moves every byte both ways is.
TEST_F(SimTest, PacedLineMovesEveryByte) {
    Options options;
    options.line = {38400, 8, 'N', 1, Protocol::XonXoff};
    options.pace = true;
    options.faults.floodBytes = 384;
    start(options);
    host->send(kAskId);
    EXPECT_EQ(receive(384).size(), 384u);
    EXPECT_EQ(ask(std::string(192, 'x') + kAskMemory), "1024,987");
}

// --- The program ---

// The program announces its device, answers as asked and stops on a TERM.
TEST_F(SimTest, ProgramPlaysEitherFamilyWithTheAnswersAsked) {
    struct Case {
        std::vector<std::string> arguments;
        const char* model;
        LineFormat note;
        std::vector<std::pair<std::string, std::string>> exchanges;
    };
    const LineFormat standardLine{9600, 7, 'E', 1, FlowControl::XonXoff};
    const Case cases[] = {
        {{"--model", "5200A", "--firmware", "4.2", "--protocol", "standard", "--preamble", "<SOH>",
          "--postamble=#"},
         "5200A",
         {9600, 7, 'E', 1, FlowControl::None},
         {{kAskId,
           "\x01\x11#\x01"
           "059877,4.2#"}}},
        {{"--family", "brakenholm", "--firmware", "8.17.2"},
         "TQ8e",
         standardLine,
         {{"<DC1>SYSVAR(18)=2\r\n", "Ok\r\n"},
          {"PRINT VERSION$(1)\r\n", "TQ8e\r\n"},
          {"PRINT VERSION$(0)\r", "8.17.2\r\n"}}},
        {{"--model=780ks", "--ident-reply", "<SOH>780KS <<SOH>", "--program-number", "CG1",
          "--baud", "19200", "--data-bits", "8", "--parity", "N"},
         "780KS",
         {19200, 8, 'N', 1, FlowControl::XonXoff},
         {{"PRINT VERSION$(1)\r\n",
           "\x01"
           "780KS <SOH>\r\n"},
          {"PRINT VERSION$(2)\r\n", "CG1\r\n"}}},
        {{"--family", "lanmere", "--model", "5200A", "--ident-reply", "<DC2>FT59877"},
         "5200A",
         standardLine,
         {{kAskId,
           "\x12"
           "FT59877"}}},
        {{"--model", "0", "--program-number", "FT59877"},
         "5200A",
         standardLine,
         {{kAskId, "FT59877,1.13"}}},
    };
    for (const Case& c : cases) {
        test::Background program("tarvo-printersim", c.arguments);
        const std::string line = program.line().value_or("");
        const std::string prefix = std::string("tarvo-printersim: ") + c.model + " on ";
        ASSERT_EQ(line.rfind(prefix, 0), 0u) << line;
        Host programHost(line.substr(prefix.size()));
        ASSERT_TRUE(programHost.isOpen());
        programHost.note(c.note);
        for (const auto& [request, reply] : c.exchanges) {
            programHost.send(request);
            EXPECT_EQ(programHost.receive(reply.size()), reply) << c.model;
        }
        program.signal(SIGTERM);
        EXPECT_EQ(program.wait(), 0);
        EXPECT_TRUE(programHost.seesLineClosed());
    }
}

TEST_F(SimTest, ProgramStoresObjectsAndAnswersWithItsOptions) {
    const std::string objects = path("objects.txt");
    WriteFile(objects, "# the shop's own\nformat.1 = Shipping,0,2048\nfont.29 = Logo,400,100\n");
    test::Background program("tarvo-printersim",
                             {"--model", "TQ5e-QEL", "--options", "2", "--network", "none",
                              "--admin-password", "pw", "--objects-from", objects});
    const std::string line = program.line().value_or("");
    const std::string prefix = "tarvo-printersim: TQ5e-QEL on ";
    ASSERT_EQ(line.rfind(prefix, 0), 0u) << line;
    Host programHost(line.substr(prefix.size()));
    programHost.note({9600, 7, 'E', 1, FlowControl::XonXoff});
    const std::pair<std::string, std::string> exchanges[] = {
        {Frame("\x1bO"), "2"},
        {Frame("\x1bx"), "1,Shipping,0,2048\r\n"},
        {Frame("\x1bm"), "1024,984"},
        {Frame("\x1b.x,echo IFNAME=$SETENV_OS{IFNAME}"), "IFNAME="},
        {Frame("\x1b.x,su -p pw admin") + Frame("\x1b.x,whoami"), "admin"},
    };
    for (const auto& [request, reply] : exchanges) {
        programHost.send(request);
        EXPECT_EQ(programHost.receive(reply.size()), reply);
    }
    program.signal(SIGTERM);
    EXPECT_EQ(program.wait(), 0);

    WriteFile(objects, "font.5 = Resident,200,1\n");
    test::Background refused("tarvo-printersim", {"--objects-from", objects});
    EXPECT_EQ(refused.errors(),
              "tarvo-printersim: cannot store font 5: font number 5 is taken by a resident font\n");
    EXPECT_EQ(refused.wait(), 1);
}

TEST_F(SimTest, ProgramRefusesBadArgumentsWithOneLine) {
    for (const std::vector<std::string>& arguments :
         std::vector<std::vector<std::string>>{{"--parity", "X"},
                                               {"--model", "7000"},
                                               {"--model", "41"},
                                               {"--family", "qel"},
                                               {"--family", "brakenholm", "--model", "6220E"},
                                               {"--program-number", "05,9877"},
                                               {"--ident-reply", ""},
                                               {"--baud", "fast"},
                                               {"--split", "0"},
                                               {"--preamble", "ab"},
                                               {"--data-bits"},
                                               {"--silent=yes"},
                                               {"stray"}}) {
        test::Background program("tarvo-printersim", arguments);
        const std::string errors = program.errors();
        EXPECT_EQ(program.wait(), 2) << arguments[0];
        EXPECT_EQ(errors.rfind("tarvo-printersim: ", 0), 0u) << errors;
        EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
    }
    const std::string badObjects = path("bad-objects.txt");
    WriteFile(badObjects, "font.29 = Logo,400,100\nlogo = 1\n");
    for (const std::vector<std::string>& arguments :
         std::vector<std::vector<std::string>>{{"--options", "5"},
                                               {"--network", "eth 0"},
                                               {"--admin-password", ""},
                                               {"--objects-from", path("missing.txt")},
                                               {"--objects-from", badObjects}}) {
        test::Background program("tarvo-printersim", arguments);
        const std::string errors = program.errors();
        EXPECT_EQ(program.wait(), 2) << arguments[0];
        EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
        EXPECT_NE(errors.find(arguments[0]), std::string::npos) << errors;
    }
    test::Background badList("tarvo-printersim", {"--objects-from", badObjects});
    EXPECT_NE(badList.errors().find("line 2: unknown kind of object \"logo\""), std::string::npos);

    test::Background mismatch("tarvo-printersim", {"--model", "TQ8e", "--family=lanmere"});
    EXPECT_EQ(mismatch.errors(),
              "tarvo-printersim: --model TQ8e is a brakenholm model, not lanmere\n");
    EXPECT_EQ(mismatch.wait(), 2);

    const std::string state = path("bad.state");
    WriteFile(state, "nonsense\n");
    test::Background failing("tarvo-printersim", {"--state", state});
    EXPECT_NE(failing.errors().find("line 1"), std::string::npos);
    EXPECT_EQ(failing.wait(), 1);
}

}  // namespace
}  // namespace tarvo::sim

// Command files sent as formats and pages, and the header reading of PCUGetFormatFileInfo: the
// exact frames the simulated printer receives and the exact lines of a configuration file, the
// file's own header dropped in favour of the entry's, notation and frame bytes, refusals of
// numbers, over-long lines and unreadable files, a printer that stops answering part-way, and
// the progress window.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "config/command_writer.h"
#include "gaugebar.h"
#include "objects/command_file.h"
#include "objects/transfers.h"
#include "port/bounded_copy.h"
#include "session/kernel_state.h"
#include "support/sim_fixture.h"
#include "support/wire.h"
#include "tarvo/base/notation.h"
#include "tarvo/downloads.h"

namespace tarvo {
namespace {

using test::HostSent;

// Records what the progress window went through; `onUpdate` runs at every move.
struct ProgressLog {
    std::vector<std::string> events;
    std::function<void()> onUpdate;

    void install() {
        GaugeBackend backend{};
        backend.user = this;
        backend.open = [](void* user, const char* title, int32_t, int32_t) {
            static_cast<ProgressLog*>(user)->events.push_back(std::string("open ") + title);
        };
        backend.update = [](void* user, int32_t) {
            auto* self = static_cast<ProgressLog*>(user);
            if (self->onUpdate)
                self->onUpdate();
        };
        backend.close = [](void* user) {
            static_cast<ProgressLog*>(user)->events.push_back("close");
        };
        SetProgressBackend(&backend);
    }
    ~ProgressLog() { SetProgressBackend(nullptr); }
};

FormatInfo Format(std::uint16_t id, const char* name, const std::string& path) {
    FormatInfo entry{};
    entry.id = id;
    CopyBounded(name, entry.newDescription, sizeof entry.newDescription);
    CopyBounded(path, entry.path, sizeof entry.path);
    return entry;
}

FormatInfo Page(std::uint16_t id, const std::string& path) {
    FormatInfo entry = Format(id, "", path);
    entry.isPage = 1;
    return entry;
}

class CommandFileTest : public test::SimTest {
  protected:
    std::string write(const std::string& contents, const std::string& name = "label.cmd") {
        const std::string path = env.root() + "/" + name;
        std::ofstream(path, std::ios::binary) << contents;
        return path;
    }

    // Sends `entry` to the simulated printer on a connection of its own.
    int sendToPrinter(const FormatInfo& entry) {
        Connection conn;
        ConnOpen(*FindContext(ctx), conn);
        const int status = SendCommandFile(&conn, nullptr, entry);
        ConnClose(conn);
        return status;
    }

    std::vector<std::string> frames() const {
        std::vector<std::string> out;
        for (const std::string& m : printer->receivedMessages())
            out.push_back(RenderMnemonics(m));
        return out;
    }
};

using Frames = std::vector<std::string>;

// As a label designer writes one: its own program mode and header for another number.
constexpr const char* kDesignerFile =
    "<ESC>P\n"
    "E05;F05,OTHER;\n"
    "H0;o25,30;f0;c2;h1;w1;d0,8;\n"
    "B1;o40,60;f0;c0,0;h50;w2;d0,12;\n"
    "I2;o10,10;f0;c0;h1;w1;d3,SALE;\n";

TEST_F(CommandFileTest, TheFilesOwnHeaderGivesWayToTheEntrys) {
    startPrinter();
    const FormatInfo entry = Format(7, "NAME", write(kDesignerFile));
    ASSERT_EQ(sendToPrinter(entry), 0);
    EXPECT_EQ(frames(),
              (Frames{"<ESC>P", "E07;F07,NAME;", "H0;o25,30;f0;c2;h1;w1;d0,8;",
                      "B1;o40,60;f0;c0,0;h50;w2;d0,12;", "I2;o10,10;f0;c0;h1;w1;d3,SALE;", "R"}));

    std::string file;
    ASSERT_EQ(SendCommandFile(nullptr, &file, entry), 0);
    EXPECT_EQ(file,
              "<STX><ESC>P<ETX>\r\n"
              "<STX>E07;F07,NAME;<ETX>\r\n"
              "<STX>H0;o25,30;f0;c2;h1;w1;d0,8;<ETX>\r\n"
              "<STX>B1;o40,60;f0;c0,0;h50;w2;d0,12;<ETX>\r\n"
              "<STX>I2;o10,10;f0;c0;h1;w1;d3,SALE;<ETX>\r\n"
              "<STX>R<ETX>\r\n");

    // The header the file itself carries is what PCUGetFormatFileInfo reports.
    std::int32_t isPage = 9;
    std::int32_t number = 9;
    char name[PCU_DESCRIPTION_SIZE] = "unchanged";
    ASSERT_EQ(PCUGetFormatFileInfo(entry.path, &isPage, &number, name), PCU_OK);
    EXPECT_EQ(isPage, 0);
    EXPECT_EQ(number, 5);
    EXPECT_STREQ(name, "OTHER");
}

TEST_F(CommandFileTest, NotationIsExpandedAndFrameBytesAndEtxLinesDropped) {
    const std::string path = write(
        "F03,X;\n"
        "<STX>H1;o0,0;f0;d0,<ESC>A;<ETX>\n"
        "<ETX>a line the printer must not see\n"
        "\x03raw ETX too\n"
        "\n"
        "H2;d3,A\x02"
        "B\x03"
        "C;\r\n"
        "f1;");
    std::string file;
    ASSERT_EQ(SendCommandFile(nullptr, &file, Format(3, "X", path)), 0);
    EXPECT_EQ(file,
              "<STX><ESC>P<ETX>\r\n"
              "<STX>E03;F03,X;<ETX>\r\n"
              "<STX>H1;o0,0;f0;d0,<ESC>A;<ETX>\r\n"
              "<STX>H2;d3,ABC;<ETX>\r\n"
              "<STX>f1;<ETX>\r\n"  // once the body has begun, every line belongs to it
              "<STX>R<ETX>\r\n");
}

TEST_F(CommandFileTest, PagesAreErasedAndCreatedUnderTheirPageNumber) {
    const std::string path = write("S03,PG;\nH1;\n");
    for (std::uint16_t id : {3, 103}) {
        std::string file;
        ASSERT_EQ(SendCommandFile(nullptr, &file, Page(id, path)), 0) << id;
        EXPECT_EQ(file,
                  "<STX><ESC>P<ETX>\r\n<STX>s03;S03;<ETX>\r\n<STX>H1;<ETX>\r\n<STX>R<ETX>\r\n");
    }
    startPrinter();
    ASSERT_EQ(sendToPrinter(Page(109, path)), 0);
    EXPECT_EQ(frames(), (Frames{"<ESC>P", "s09;S09;", "H1;", "R"}));
}

TEST_F(CommandFileTest, NumbersOutsideTheirRangeAreRefusedWithNothingSent) {
    startPrinter();
    const std::string path = write("H1;\n");
    const FormatInfo refused[] = {Format(0, "Z", path), Format(100, "Z", path), Page(0, path),
                                  Page(10, path),       Page(100, path),        Page(110, path)};
    for (const FormatInfo& entry : refused) {
        std::string file;
        EXPECT_EQ(SendCommandFile(nullptr, &file, entry), PCU_ERR_OBJECT_NUMBER) << entry.id;
        EXPECT_EQ(file, "");
        EXPECT_EQ(sendToPrinter(entry), PCU_ERR_OBJECT_NUMBER) << entry.id;
    }
    EXPECT_EQ(HostSent(*printer), "");
    std::string file;
    EXPECT_EQ(SendCommandFile(nullptr, &file, Format(99, "TOP", path)), 0);
    EXPECT_EQ(SendCommandFile(nullptr, &file, Format(1, "BOTTOM", path)), 0);
}

TEST_F(CommandFileTest, AFileWithoutFieldCommandsSendsOnlyTheFrame) {
    startPrinter();
    ASSERT_EQ(sendToPrinter(Format(12, "EMPTY", write("<ESC>P\nE01;F01,A;\nR\n"))), 0);
    EXPECT_EQ(frames(), (Frames{"<ESC>P", "E12;F12,EMPTY;", "R"}));
    ASSERT_EQ(sendToPrinter(Format(13, "NOTHING", write(""))), 0);
    EXPECT_EQ(frames().size(), 6u);
}

TEST_F(CommandFileTest, AnOverlongLineIsRefusedAfterWhatCameBeforeAndRIsStillSent) {
    startPrinter();
    const std::string huge = "H" + std::string(100 * 1024, 'x');
    const FormatInfo entry = Format(4, "BIG", write("H1;\n" + huge + "\nH2;\n"));
    EXPECT_EQ(sendToPrinter(entry), PCU_ERR_FILE_READ);
    EXPECT_EQ(frames(), (Frames{"<ESC>P", "E04;F04,BIG;", "H1;", "R"}));

    // The limit is 499 characters, line end not counted (a CR before the LF is line end).
    const std::string longest = "H" + std::string(498, 'y');
    std::string file;
    EXPECT_EQ(SendCommandFile(nullptr, &file, Format(4, "B", write(longest + "\r\n"))), 0);
    EXPECT_NE(file.find("<STX>" + longest + "<ETX>"), std::string::npos);
    file.clear();
    EXPECT_EQ(SendCommandFile(nullptr, &file, Format(4, "B", write(longest + "z\n"))),
              PCU_ERR_FILE_READ);
    EXPECT_EQ(file, "<STX><ESC>P<ETX>\r\n<STX>E04;F04,B;<ETX>\r\n<STX>R<ETX>\r\n");
}

TEST_F(CommandFileTest, AFileThatCannotBeOpenedSendsNothing) {
    startPrinter();
    EXPECT_EQ(sendToPrinter(Format(4, "GONE", env.root() + "/missing.cmd")), PCU_ERR_FILE_OPEN);
    EXPECT_EQ(sendToPrinter(Format(4, "DIR", env.root())), PCU_ERR_FILE_OPEN);
    EXPECT_EQ(HostSent(*printer), "");
}

TEST_F(CommandFileTest, APrinterThatStopsAnsweringEndsTheSendWithItsError) {
    sim::Options o;
    o.line.protocol = sim::Protocol::Standard;
    startPrinter(o);
    ProgressLog progress;
    progress.onUpdate = [this] {
        sim::Faults faults;
        faults.silent = true;
        printer->setFaults(faults);
    };
    progress.install();
    const FormatInfo entry = Format(8, "HALF", write("H1;\nH2;\nH3;\n"));
    EXPECT_EQ(sendToPrinter(entry), kFrameNoAck);
    const std::string sent = HostSent(*printer);
    // The printer fell silent as the first body line went out: it was sent, never taken.
    EXPECT_NE(sent.find("<STX>E08;F08,HALF;<ETX><STX>H1;<ETX><ENQ>"), std::string::npos) << sent;
    EXPECT_EQ(sent.find("H2;"), std::string::npos) << "the send stopped at the first failure";
    EXPECT_NE(sent.find("<STX>R<ETX>"), std::string::npos) << "R is still tried";
    EXPECT_EQ(FindContext(ctx)->lastError, kFrameNoAck);
    EXPECT_EQ(progress.events,
              (std::vector<std::string>{"open Downloading command file", "close"}));
}

TEST_F(CommandFileTest, TheProgressWindowClosesOnEveryWayOut) {
    ProgressLog progress;
    progress.install();
    std::string file;
    ASSERT_EQ(SendCommandFile(nullptr, &file, Format(1, "A", write("H1;\n"))), 0);
    EXPECT_EQ(SendCommandFile(nullptr, &file, Format(1, "A", write(std::string(600, 'H') + "\n"))),
              PCU_ERR_FILE_READ);
    EXPECT_EQ(SendCommandFile(nullptr, &file, Format(0, "A", write("H1;\n"))),
              PCU_ERR_OBJECT_NUMBER);
    EXPECT_EQ(progress.events,
              (std::vector<std::string>{"open Downloading command file", "close",
                                        "open Downloading command file", "close"}));
}

// ---- PCUGetFormatFileInfo ----

struct HeaderInfo {
    int status = -1;
    std::int32_t isPage = 9;
    std::int32_t number = 9;
    std::string name;
};

class FormatFileInfoTest : public ::testing::Test {
  protected:
    HeaderInfo read(const std::string& contents) {
        const std::string path = env.root() + "/header.cmd";
        std::ofstream(path, std::ios::binary) << contents;
        HeaderInfo info;
        char name[PCU_DESCRIPTION_SIZE] = "unchanged";
        info.status = PCUGetFormatFileInfo(path.c_str(), &info.isPage, &info.number, name);
        info.name = name;
        return info;
    }
    test::TestEnv env;
};

// The header's lines in order, each F, S or A line with its number in range setting the number
// and (when it has one) the name; the header ends at the first field command.
TEST_F(FormatFileInfoTest, HeaderLinesGiveKindNumberAndName) {
    struct Case {
        std::string contents;
        std::int32_t isPage;
        std::int32_t number;
        std::string name;
        const char* why;
    };
    const Case cases[] = {
        {"F123,BIG;\nH1;\n", 0, 0, "unchanged", "a number out of range has no effect"},
        {"F12,KEPT;\nS10,TOO_FAR;\nA0,NONE;\nH1;\n", 0, 12, "KEPT", "nor does a page's"},
        {"S3,LABELS;\nH1;\n", 1, 3, "LABELS", "a page"},
        {"S3,P;\nE12;F12,FMT;\nH1;\n", 1, 12, "FMT", "the last line wins; a page stays one"},
        {"<STX>A42,ALT<ETX>\nF07;\n", 0, 7, "ALT", "a line without a name keeps the name"},
        {"F01,FIRST;\nH1;o0,0;\nF02,SECOND;\n", 0, 1, "FIRST", "the header ends at H"},
        {"<STX>F05,X;\nq1;\nF06,Y;\n", 0, 5, "X", "and at q"},
        {std::string(100, 'x') + "F09,LATE;\nF04,NEXT;\n", 0, 4, "NEXT",
         "only the first 79 characters of a line count"},
        {std::string(100 * 1024, 'x') + "\nF04,AFTER_A_HUGE_LINE;\n", 0, 4, "AFTER_A_HUGE_LINE",
         "a huge line is skipped"},
        {"F05," + std::string(60, 'N') + ";\n", 0, 5, std::string(32, 'N'), "names are cut"},
    };
    for (const Case& c : cases) {
        const HeaderInfo h = read(c.contents);
        EXPECT_EQ(h.status, PCU_OK) << c.why;
        EXPECT_EQ(h.isPage, c.isPage) << c.why;
        EXPECT_EQ(h.number, c.number) << c.why;
        EXPECT_EQ(h.name, c.name) << c.why;
    }
}

TEST_F(FormatFileInfoTest, ArgumentsAndUnreadableFiles) {
    std::int32_t isPage = 5;
    std::int32_t number = 5;
    char name[PCU_DESCRIPTION_SIZE] = "";
    const std::string missing = env.root() + "/missing.cmd";
    EXPECT_EQ(PCUGetFormatFileInfo(missing.c_str(), &isPage, &number, name), PCU_ERR_FILE_OPEN);
    EXPECT_EQ(isPage, 0);
    EXPECT_EQ(number, 0);
    EXPECT_EQ(PCUGetFormatFileInfo(env.root().c_str(), &isPage, &number, name), PCU_ERR_FILE_OPEN);
    EXPECT_EQ(PCUGetFormatFileInfo(nullptr, &isPage, &number, name), PCU_ERR_ARGUMENT);
    EXPECT_EQ(PCUGetFormatFileInfo(missing.c_str(), nullptr, &number, name), PCU_ERR_ARGUMENT);
    EXPECT_EQ(PCUGetFormatFileInfo(missing.c_str(), &isPage, nullptr, name), PCU_ERR_ARGUMENT);
    EXPECT_EQ(PCUGetFormatFileInfo(missing.c_str(), &isPage, &number, nullptr), PCU_ERR_ARGUMENT);
}

}  // namespace
}  // namespace tarvo

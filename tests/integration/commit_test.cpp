// Committing queued deletions and downloads: the exact messages and their order, what happens
// to the list entries, failures (recorded, the printer taken out of program mode, the entry
// still pending), and the object sections of a configuration file.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "session/kernel_state.h"
#include "support/sim_fixture.h"
#include "tarvo/kernel.h"
#include "unit/bitmap_builder.h"

namespace tarvo {
namespace {

using Messages = std::vector<std::string>;

constexpr int k6220E = 18;
const std::string kEsc = "\x1b";

sim::ObjectEntry Stored(sim::ObjectKind kind, unsigned id, std::string description,
                        std::uint32_t size = 2048) {
    return {kind, {id, std::move(description), "", size}};
}

template <std::size_t N>
void Copy(char (&field)[N], const std::string& text) {
    std::snprintf(field, N, "%s", text.c_str());
}

class CommitTest : public test::SimTest {
  protected:
    void start(std::vector<sim::ObjectEntry> objects = {},
               sim::Protocol protocol = sim::Protocol::XonXoff) {
        sim::Options o;
        o.model = k6220E;
        o.objects = std::move(objects);
        o.line.protocol = protocol;
        startPrinter(o);
    }

    void readAll() {
        std::uint16_t count = 0;
        ASSERT_EQ(PCUGetFonts(ctx, &count), PCU_OK);
        ASSERT_EQ(PCUGetGraphics(ctx, &count), PCU_OK);
        ASSERT_EQ(PCUGetFormats(ctx, &count), PCU_OK);
        ASSERT_EQ(PCUGetPages(ctx, &count), PCU_OK);
        printer->clearTranscript();
    }

    template <class Record>
    void mark(int (*get)(int, uint16_t, Record*), int (*put)(int, uint16_t, const Record*),
              std::uint16_t id) {
        Record r{};
        ASSERT_EQ(get(ctx, id, &r), PCU_OK) << id;
        r.status = PCU_STATUS_DELETE;
        ASSERT_EQ(put(ctx, id, &r), PCU_OK);
    }

    std::string writeFile(const std::string& name, const std::string& bytes) {
        const std::string path = env.root() + "/" + name;
        test::WriteFile(path, bytes);
        return path;
    }

    GraphicInfo graphic(std::uint16_t id, const std::string& path, const std::string& name) {
        GraphicInfo g{};
        Copy(g.path, path);
        Copy(g.newDescription, name);
        g.scaleMode = PCU_SCALE_BY_FACTOR;
        g.scale = 1;
        g.pending = PCU_PENDING_DOWNLOAD;
        g.id = id;
        return g;
    }

    std::string smallBitmap() {
        return writeFile("logo.bmp", test::MonoBmp({"##..", "#..#", "....", "####"}));
    }

    int lastError() { return FindContext(ctx)->lastError; }
    int lastSysError() { return FindContext(ctx)->lastSysError; }
};

TEST_F(CommitTest, DeletionsGoKindByKindInTheirOwnProgramModeSessions) {
    start({Stored(sim::ObjectKind::Font, 60, "A"), Stored(sim::ObjectKind::Font, 61, "B"),
           Stored(sim::ObjectKind::Font, 62, "C"), Stored(sim::ObjectKind::Graphic, 5, "G5"),
           Stored(sim::ObjectKind::Graphic, 6, "G6"), Stored(sim::ObjectKind::Format, 3, "F3"),
           Stored(sim::ObjectKind::Page, 2, "")});
    readAll();
    mark(PCUGetFontInfo, PCUPutFontInfo, 60);
    mark(PCUGetFontInfo, PCUPutFontInfo, 62);
    mark(PCUGetGraphicInfo, PCUPutGraphicInfo, 5);
    mark(PCUGetFormatInfo, PCUPutFormatInfo, 3);
    mark(PCUGetPageInfo, PCUPutPageInfo, 2);

    ASSERT_EQ(PCUDelPtrObjs(ctx), PCU_OK);

    EXPECT_EQ(printer->receivedMessages(),
              (Messages{kEsc + "P", "T60;", "T62;", "R", kEsc + "P", "G5;", "R", kEsc + "P", "E3;R",
                        kEsc + "P", "s2;R"}));
    FontInfo f{};
    EXPECT_EQ(PCUGetFontInfo(ctx, 60, &f), PCU_ERR_NO_ENTRY);
    EXPECT_EQ(PCUGetFontInfo(ctx, 61, &f), PCU_OK);
    GraphicInfo g{};
    EXPECT_EQ(PCUGetGraphicInfo(ctx, 5, &g), PCU_ERR_NO_ENTRY);
    EXPECT_EQ(PCUGetGraphicInfo(ctx, 6, &g), PCU_OK);
    EXPECT_TRUE(printer->objects(sim::ObjectKind::Page).empty());
    ASSERT_EQ(printer->objects(sim::ObjectKind::Font).size(), 1u);
    EXPECT_EQ(printer->objects(sim::ObjectKind::Font)[0].id, 61u);
}

TEST_F(CommitTest, NothingMarkedSendsOnlyTheGraphicsSessionOfANonEmptyList) {
    start({Stored(sim::ObjectKind::Font, 60, "A"), Stored(sim::ObjectKind::Graphic, 5, "G5")});
    readAll();
    ASSERT_EQ(PCUDelPtrObjs(ctx), PCU_OK);
    EXPECT_EQ(printer->receivedMessages(), (Messages{kEsc + "P", "R"}));
}

TEST_F(CommitTest, AFontListedWithSizeZeroIsNotDeletedUnlessMarked) {
    start({Stored(sim::ObjectKind::Font, 60, "Empty", 0)});
    readAll();
    FontInfo f{};
    ASSERT_EQ(PCUGetFontInfo(ctx, 60, &f), PCU_OK);
    ASSERT_EQ(f.status, PCU_STATUS_EMPTY);
    ASSERT_EQ(PCUDelPtrObjs(ctx), PCU_OK);
    EXPECT_TRUE(printer->receivedMessages().empty());
    mark(PCUGetFontInfo, PCUPutFontInfo, 60);
    ASSERT_EQ(PCUDelPtrObjs(ctx), PCU_OK);
    EXPECT_EQ(printer->receivedMessages(), (Messages{kEsc + "P", "T60;", "R"}));
}

TEST_F(CommitTest, PutPagesDeletesOnlyThePages) {
    start({Stored(sim::ObjectKind::Format, 3, "F3"), Stored(sim::ObjectKind::Page, 2, ""),
           Stored(sim::ObjectKind::Page, 4, "")});
    readAll();
    mark(PCUGetFormatInfo, PCUPutFormatInfo, 3);
    mark(PCUGetPageInfo, PCUPutPageInfo, 4);
    ASSERT_EQ(PCUPutPages(ctx), PCU_OK);
    EXPECT_EQ(printer->receivedMessages(), (Messages{kEsc + "P", "s4;R"}));
}

TEST_F(CommitTest, AGraphicDownloadIsOneBatchBetweenProgramModeAndR) {
    start();
    const GraphicInfo g = graphic(5, smallBitmap(), "LOGO");
    ASSERT_EQ(PCUPutGraphicInfo(ctx, 5, &g), PCU_OK);

    ASSERT_EQ(PCUPutGraphics(ctx), PCU_OK);

    // Columns top row first: bit (row mod 6) set where the pixel is black.
    EXPECT_EQ(printer->receivedMessages(),
              (Messages{kEsc + "P", "G5,LOGO;x4;y4;u0,K;u1,I;u2,H;u3,J", "R"}));
    GraphicInfo stored{};
    ASSERT_EQ(PCUGetGraphicInfo(ctx, 5, &stored), PCU_OK);
    EXPECT_EQ(stored.pending, PCU_PENDING_NONE);
    EXPECT_EQ(stored.status, PCU_STATUS_STORED);
    EXPECT_STREQ(stored.description, "LOGO");
    const auto graphics = printer->objects(sim::ObjectKind::Graphic);
    ASSERT_EQ(graphics.size(), 1u);
    EXPECT_EQ(graphics[0].description, "LOGO");
}

TEST_F(CommitTest, AFailedGraphicStopsTheLoopRecordsItAndLeavesProgramMode) {
    start();
    const GraphicInfo missing = graphic(5, env.root() + "/missing.bmp", "GONE");
    const GraphicInfo fine = graphic(6, smallBitmap(), "FINE");
    ASSERT_EQ(PCUPutGraphicInfo(ctx, 5, &missing), PCU_OK);
    ASSERT_EQ(PCUPutGraphicInfo(ctx, 6, &fine), PCU_OK);

    EXPECT_EQ(PCUPutGraphics(ctx), PCU_ERR_FILE_OPEN);

    EXPECT_EQ(printer->receivedMessages(), (Messages{kEsc + "P", "R"}));
    EXPECT_EQ(lastError(), PCU_ERR_FILE_OPEN);
    EXPECT_EQ(lastSysError(), 5);
    EXPECT_STREQ(FindContext(ctx)->lastErrorText, "GONE");
    GraphicInfo left{};
    ASSERT_EQ(PCUGetGraphicInfo(ctx, 6, &left), PCU_OK);
    EXPECT_EQ(left.pending, PCU_PENDING_DOWNLOAD);
}

TEST_F(CommitTest, AGraphicTooTallForStandardMessagesIsRefusedBeforeItsFirstColumn) {
    start({}, sim::Protocol::Standard);
    // 1600 rows make columns of 267 characters: more than a 256-byte message holds.
    const std::string path = writeFile(
        "tall.bmp", test::Bmp(2, 1600, 1, [](int, int) { return 0u; }, {0x000000, 0xFFFFFF}));
    const GraphicInfo g = graphic(7, path, "TALL");
    ASSERT_EQ(PCUPutGraphicInfo(ctx, 7, &g), PCU_OK);
    EXPECT_EQ(PCUPutGraphics(ctx), PCU_ERR_GRAPHIC_FRAME);
    EXPECT_EQ(printer->receivedMessages(), (Messages{kEsc + "P", "R"}));
}

TEST_F(CommitTest, AFormatAndAPageCommandFileGoUnderTheirOwnNumbers) {
    start();
    const std::string formatFile = writeFile("label.txt", "F3,OLD;\nH10;o100,100\nD11\n");
    const std::string pageFile = writeFile("page.txt", "S2,P;\nH9\n");
    FormatInfo format{};
    Copy(format.path, formatFile);
    Copy(format.newDescription, "SHIP");
    format.pending = PCU_PENDING_DOWNLOAD;
    format.id = 3;
    FormatInfo page = format;
    Copy(page.path, pageFile);
    page.isPage = 1;
    page.id = 102;
    ASSERT_EQ(PCUPutFormatInfo(ctx, 3, &format), PCU_OK);
    ASSERT_EQ(PCUPutFormatInfo(ctx, 102, &page), PCU_OK);

    ASSERT_EQ(PCUPutFormats(ctx), PCU_OK);

    const Messages sent = printer->receivedMessages();
    const Messages expected{kEsc + "P", "E03;F03,SHIP;", "H10;o100,100", "D11", "R",
                            kEsc + "P", "s02;S02;",      "H9",           "R"};
    EXPECT_EQ(sent, expected);
}

TEST_F(CommitTest, AFailingFontStopsTheFontLoopAndLaterFontsStayPending) {
    start();
    FontInfo broken{};
    Copy(broken.path, env.root() + "/absent.ibf");
    Copy(broken.newDescription, "BROKEN");
    broken.pending = PCU_PENDING_DOWNLOAD;
    broken.id = 70;
    FontInfo later = broken;
    later.id = 71;
    Copy(later.newDescription, "LATER");
    ASSERT_EQ(PCUPutFontInfo(ctx, 70, &broken), PCU_OK);
    ASSERT_EQ(PCUPutFontInfo(ctx, 71, &later), PCU_OK);

    EXPECT_EQ(PCUPutFonts(ctx), PCU_ERR_FILE_OPEN);

    EXPECT_EQ(printer->receivedMessages(), (Messages{kEsc + "P", "R"}));
    EXPECT_EQ(lastSysError(), 70);
    FontInfo left{};
    ASSERT_EQ(PCUGetFontInfo(ctx, 71, &left), PCU_OK);
    EXPECT_EQ(left.pending, PCU_PENDING_DOWNLOAD);
}

TEST_F(CommitTest, APrinterThatStopsAnsweringEndsTheCommitWithAnError) {
    start({}, sim::Protocol::Standard);
    const GraphicInfo g = graphic(5, smallBitmap(), "LOGO");
    ASSERT_EQ(PCUPutGraphicInfo(ctx, 5, &g), PCU_OK);
    sim::Faults silent;
    silent.silent = true;
    printer->setFaults(silent);
    EXPECT_NE(PCUPutGraphics(ctx), PCU_OK);
    GraphicInfo left{};
    ASSERT_EQ(PCUGetGraphicInfo(ctx, 5, &left), PCU_OK);
    EXPECT_EQ(left.pending, PCU_PENDING_DOWNLOAD);
}

TEST_F(CommitTest, ConfigurationFileCarriesDeletionsThenDownloadsLineByLine) {
    start({Stored(sim::ObjectKind::Font, 60, "A"), Stored(sim::ObjectKind::Graphic, 5, "OLD"),
           Stored(sim::ObjectKind::Format, 3, "F3")});
    readAll();
    ASSERT_EQ(PCUGetCfg(ctx), PCU_OK);
    mark(PCUGetFontInfo, PCUPutFontInfo, 60);
    mark(PCUGetFormatInfo, PCUPutFormatInfo, 3);
    const GraphicInfo g = graphic(9, smallBitmap(), "LOGO");
    ASSERT_EQ(PCUPutGraphicInfo(ctx, 9, &g), PCU_OK);
    PCUSetDnldFlags(ctx, 1, 1, 1, 1);
    printer->clearTranscript();

    const std::string path = env.root() + "/with-objects.tcf";
    ASSERT_EQ(PCUToFile(ctx, path.c_str()), PCU_OK);

    EXPECT_TRUE(printer->receivedMessages().empty());
    const std::string text = test::ReadFile(path);
    const std::size_t sections = text.find("<STX><ESC>P<ETX>");
    ASSERT_NE(sections, std::string::npos);
    EXPECT_EQ(text.substr(sections),
              "<STX><ESC>P<ETX>\r\n"
              "<STX>T60;<ETX>\r\n"
              "<STX>R<ETX>\r\n"
              "<STX><ESC>P<ETX>\r\n"
              "<STX>R<ETX>\r\n"
              "<STX><ESC>P<ETX>\r\n"
              "<STX>E3;R<ETX>\r\n"
              "<STX><ESC>P<ETX>\r\n"
              "<STX>G9,LOGO<ETX>\r\n"
              "<STX>x4<ETX>\r\n"
              "<STX>y4<ETX>\r\n"
              "<STX>u0,K<ETX>\r\n"
              "<STX>u1,I<ETX>\r\n"
              "<STX>u2,H<ETX>\r\n"
              "<STX>u3,J<ETX>\r\n"
              "<STX>R<ETX>\r\n");
    // The file took the changes: the deleted entries are gone, the graphic is no longer pending
    // but not stored in any printer either.
    FontInfo f{};
    EXPECT_EQ(PCUGetFontInfo(ctx, 60, &f), PCU_ERR_NO_ENTRY);
    GraphicInfo written{};
    ASSERT_EQ(PCUGetGraphicInfo(ctx, 9, &written), PCU_OK);
    EXPECT_EQ(written.pending, PCU_PENDING_NONE);
    EXPECT_EQ(written.status, PCU_STATUS_HOST_ONLY);
}

TEST_F(CommitTest, AFailingSectionLeavesNoFileBehind) {
    start();
    ASSERT_EQ(PCUGetCfg(ctx), PCU_OK);
    const GraphicInfo g = graphic(9, env.root() + "/missing.bmp", "LOGO");
    ASSERT_EQ(PCUPutGraphicInfo(ctx, 9, &g), PCU_OK);
    PCUSetDnldFlags(ctx, 1, 0, 1, 0);
    const std::string path = env.root() + "/broken.tcf";
    EXPECT_EQ(PCUToFile(ctx, path.c_str()), PCU_ERR_FILE_OPEN);
    EXPECT_EQ(test::ReadFile(path), "");
}

TEST_F(CommitTest, CommitsRefuseAnUnknownContext) {
    start();
    for (int (*commit)(int) :
         {PCUPutFonts, PCUPutGraphics, PCUPutFormats, PCUPutPages, PCUDelPtrObjs}) {
        EXPECT_EQ(commit(ctx + 100), PCU_ERR_NO_CONTEXT);
    }
}

}  // namespace
}  // namespace tarvo

// Reading the four directory listings from the simulated printer: the exact command on the
// wire, the entries that come back under each line protocol and with frame characters, listings
// that replace host-side changes, silence, bad lines, long listings and ports that never open.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "session/kernel_state.h"
#include "support/sim_fixture.h"
#include "support/wire.h"
#include "tarvo/kernel.h"

namespace tarvo {
namespace {

using test::HostSent;
using test::PrinterSent;

constexpr int k6220E = 18;

sim::ObjectEntry Stored(sim::ObjectKind kind, unsigned id, std::string description,
                        std::string type, std::uint32_t size) {
    return {kind, {id, std::move(description), std::move(type), size}};
}

class DirectoryReadTest : public test::SimTest {
  protected:
    static sim::Options WithObjects(std::vector<sim::ObjectEntry> objects) {
        sim::Options o;
        o.model = k6220E;
        o.objects = std::move(objects);
        return o;
    }

    std::vector<std::uint16_t> ids(int (*list)(int, std::uint16_t*, std::uint16_t*)) {
        std::vector<std::uint16_t> out(512);
        auto count = static_cast<std::uint16_t>(out.size());
        EXPECT_EQ(list(ctx, out.data(), &count), PCU_OK);
        out.resize(count);
        return out;
    }

    static int PageIds(int c, std::uint16_t* ids, std::uint16_t* count) {
        return PCUGetPageIDs(c, ids, count);
    }
    static int GraphicIds(int c, std::uint16_t* ids, std::uint16_t* count) {
        return PCUGetGraphicIDs(c, ids, nullptr, nullptr, count);
    }
    static int FormatIds(int c, std::uint16_t* ids, std::uint16_t* count) {
        return PCUGetFormatIDs(c, ids, nullptr, count);
    }

    int lastError() { return FindContext(ctx)->lastError; }

    std::uint16_t count = 0xFFFF;
};

TEST_F(DirectoryReadTest, FontListingShowsResidentAndStoredFonts) {
    startPrinter(WithObjects({Stored(sim::ObjectKind::Font, 60, "Swiss 721", "400", 65536),
                              Stored(sim::ObjectKind::Font, 50, "Dutch", "300", 40000)}));
    ASSERT_EQ(PCUGetFonts(ctx, &count), PCU_OK);
    EXPECT_EQ(HostSent(*printer), "<STX><ESC>v<ETX>");
    const int resident = propGetResFontCount(k6220E);
    EXPECT_EQ(count, resident + 2);
    EXPECT_EQ(lastError(), PCU_OK) << "every line parsed";

    FontInfo swiss{};
    ASSERT_EQ(PCUGetFontInfo(ctx, 60, &swiss), PCU_OK);
    EXPECT_STREQ(swiss.description, "Swiss 721");
    EXPECT_EQ(swiss.fontType, PCU_FONT_TYPE_TRUETYPE);
    EXPECT_EQ(swiss.kind, PCU_FONT_KIND_OUTLINE);
    EXPECT_EQ(swiss.size, 65536u);
    EXPECT_EQ(swiss.status, PCU_STATUS_STORED);
    FontInfo dutch{};
    ASSERT_EQ(PCUGetFontInfo(ctx, 50, &dutch), PCU_OK);
    EXPECT_EQ(dutch.fontType, PCU_FONT_TYPE_SPEEDO);

    // Resident fonts are listed with size 0, and so count as empty.
    std::vector<std::uint16_t> all(count);
    std::uint16_t n = count;
    ASSERT_EQ(PCUGetFontIDs(ctx, all.data(), nullptr, nullptr, &n), PCU_OK);
    std::int16_t status = 0;
    ASSERT_EQ(PCUGetFontPrintStatus(ctx, all.front(), &status), PCU_OK);
    EXPECT_EQ(status, PCU_STATUS_EMPTY);
    EXPECT_EQ(all.back(), 60) << "the printer lists in ascending order";
}

TEST_F(DirectoryReadTest, EachListingSendsItsOwnQuestion) {
    startPrinter(WithObjects({Stored(sim::ObjectKind::Graphic, 3, "Logo", "G", 2048),
                              Stored(sim::ObjectKind::Graphic, 1, "Banner", "G", 4096),
                              Stored(sim::ObjectKind::Format, 19, "SHIPPING", "F", 512),
                              Stored(sim::ObjectKind::Page, 7, "", "P", 100)}));
    ASSERT_EQ(PCUGetGraphics(ctx, &count), PCU_OK);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(ids(GraphicIds), (std::vector<std::uint16_t>{1, 3}));
    ASSERT_EQ(PCUGetFormats(ctx, &count), PCU_OK);
    EXPECT_EQ(count, 1);
    ASSERT_EQ(PCUGetPages(ctx, &count), PCU_OK);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(HostSent(*printer), "<STX><ESC>u<ETX><STX><ESC>x<ETX><STX><ESC>y<ETX>");
    EXPECT_EQ(PrinterSent(*printer),
              "1,Banner,G,4096<CR><LF>3,Logo,G,2048<CR><LF>19,SHIPPING,F,512<CR><LF>"
              "7,,P,100<CR><LF>");

    GraphicInfo logo{};
    ASSERT_EQ(PCUGetGraphicInfo(ctx, 3, &logo), PCU_OK);
    EXPECT_STREQ(logo.description, "Logo");
    EXPECT_EQ(logo.size, 2048u);
    EXPECT_EQ(logo.status, PCU_STATUS_STORED);
    FormatInfo shipping{};
    ASSERT_EQ(PCUGetFormatInfo(ctx, 19, &shipping), PCU_OK);
    EXPECT_STREQ(shipping.description, "SHIPPING");
    EXPECT_EQ(shipping.size, 512u);
    PageInfo page{};
    ASSERT_EQ(PCUGetPageInfo(ctx, 7, &page), PCU_OK);
    EXPECT_EQ(page.status, PCU_STATUS_STORED);
}

TEST_F(DirectoryReadTest, FrameCharactersAroundEveryLineAreStepped) {
    sim::Options o = WithObjects({Stored(sim::ObjectKind::Format, 1, "One", "F", 10),
                                  Stored(sim::ObjectKind::Format, 2, "Two", "F", 20),
                                  Stored(sim::ObjectKind::Format, 3, "Three", "F", 30)});
    o.preamble = '#';
    o.postamble = '$';
    startPrinter(o);
    ASSERT_EQ(PCUGetFormats(ctx, &count), PCU_OK);
    EXPECT_EQ(PrinterSent(*printer),
              "#1,One,F,10<CR><LF>$#2,Two,F,20<CR><LF>$#3,Three,F,30<CR><LF>$");
    EXPECT_EQ(count, 3);
    EXPECT_EQ(lastError(), PCU_OK);
    EXPECT_EQ(ids(FormatIds), (std::vector<std::uint16_t>{1, 2, 3}));
    FormatInfo three{};
    ASSERT_EQ(PCUGetFormatInfo(ctx, 3, &three), PCU_OK);
    EXPECT_STREQ(three.description, "Three");
}

TEST_F(DirectoryReadTest, StandardProtocolListingIsAcknowledgedThenRead) {
    sim::Options o = WithObjects({Stored(sim::ObjectKind::Graphic, 5, "Logo", "G", 99)});
    o.line.protocol = sim::Protocol::Standard;
    startPrinter(o);
    ASSERT_EQ(PCUGetGraphics(ctx, &count), PCU_OK);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(HostSent(*printer), "<STX><ESC>u<ETX>");
    EXPECT_EQ(PrinterSent(*printer), "<DC1>5,Logo,G,99<CR><LF>");
}

TEST_F(DirectoryReadTest, RtsCtsListingIsReadWithoutAcknowledge) {
    sim::Options o = WithObjects({Stored(sim::ObjectKind::Font, 55, "Gothic", "301", 800)});
    o.line.protocol = sim::Protocol::RtsCts;
    o.line.dataBits = 8;
    o.line.parity = 'N';
    startPrinter(o);
    ASSERT_EQ(PCUGetFonts(ctx, &count), PCU_OK);
    EXPECT_EQ(HostSent(*printer), "<STX><ESC>v<ETX>");
    FontInfo gothic{};
    ASSERT_EQ(PCUGetFontInfo(ctx, 55, &gothic), PCU_OK);
    EXPECT_EQ(gothic.fontType, PCU_FONT_TYPE_TRUETYPE);
    EXPECT_EQ(lastError(), PCU_OK);
}

TEST_F(DirectoryReadTest, AListingThrowsAwayHostSideChanges) {
    startPrinter(WithObjects({Stored(sim::ObjectKind::Graphic, 2, "Kept", "G", 10)}));
    GraphicInfo queued{};
    queued.id = 8;
    queued.pending = PCU_PENDING_DOWNLOAD;
    ASSERT_EQ(PCUPutGraphicInfo(ctx, 8, &queued), PCU_OK);
    GraphicInfo marked{};
    marked.id = 2;
    marked.status = PCU_STATUS_DELETE;
    ASSERT_EQ(PCUPutGraphicInfo(ctx, 2, &marked), PCU_OK);

    ASSERT_EQ(PCUGetGraphics(ctx, &count), PCU_OK);
    EXPECT_EQ(ids(GraphicIds), (std::vector<std::uint16_t>{2}));
    GraphicInfo two{};
    ASSERT_EQ(PCUGetGraphicInfo(ctx, 2, &two), PCU_OK);
    EXPECT_EQ(two.status, PCU_STATUS_STORED) << "the mark is gone";
    EXPECT_STREQ(two.description, "Kept");
}

TEST_F(DirectoryReadTest, SilenceIsAnErrorForFontsOnlyAndEmptiesTheList) {
    sim::Options o = WithObjects({});
    o.faults.silent = true;
    startPrinter(o);
    FontInfo host{};
    host.id = 70;
    ASSERT_EQ(PCUPutFontInfo(ctx, 70, &host), PCU_OK);
    FormatInfo format{};
    format.id = 1;
    ASSERT_EQ(PCUPutFormatInfo(ctx, 1, &format), PCU_OK);

    EXPECT_EQ(PCUGetFonts(ctx, &count), PCU_ERR_NO_ANSWER);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(lastError(), PCU_ERR_NO_ANSWER);
    EXPECT_STREQ(PCUErrStr(ctx), "Could not read data from connected printer.");
    std::uint16_t fonts = 9;
    PCUGetFontCount(ctx, &fonts);
    EXPECT_EQ(fonts, 0);

    // Silence to the listing and to the ping after it: the printer has stopped answering, and an
    // empty list must not pass for an empty directory.
    for (auto read : {PCUGetGraphics, PCUGetFormats, PCUGetPages}) {
        FindContext(ctx)->lastError = 0;
        count = 9;
        EXPECT_EQ(read(ctx, &count), PCU_ERR_NO_ANSWER);
        EXPECT_EQ(count, 0);
        EXPECT_EQ(lastError(), PCU_ERR_NO_ANSWER);
    }
    std::uint16_t formats = 9;
    PCUGetFormatCount(ctx, &formats);
    EXPECT_EQ(formats, 0);
}

// A printer with no graphics sends nothing to the listing, and answers the ping after it.
TEST_F(DirectoryReadTest, AnEmptyDirectoryListsNothingAndSucceeds) {
    startPrinter(WithObjects({}));
    ASSERT_EQ(PCUGetGraphics(ctx, &count), PCU_OK);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(HostSent(*printer), "<STX><ESC>u<ETX><STX><ESC>M1<ETX><STX><ESC>u<ETX>");
    EXPECT_EQ(PrinterSent(*printer), "066197,1.13,6220E");
}

TEST_F(DirectoryReadTest, BadLineIsDroppedWithCode33AndTheRestIsRead) {
    sim::Options o = WithObjects({Stored(sim::ObjectKind::Format, 19, "SHIPPING", "F", 512),
                                  Stored(sim::ObjectKind::Format, 20, "RETURNS", "F", 256)});
    o.faults.garbage = "oops<CR><LF>";  // a line of noise before the listing
    startPrinter(o);
    ASSERT_EQ(PCUGetFormats(ctx, &count), PCU_OK) << "the listing still succeeds";
    EXPECT_EQ(count, 2);
    EXPECT_EQ(ids(FormatIds), (std::vector<std::uint16_t>{19, 20}));
    EXPECT_EQ(lastError(), PCU_ERR_DIRECTORY_ENTRY);
    EXPECT_STREQ(PCUErrStr(ctx),
                 "Error in directory entry field being read from connected printer.");
}

TEST_F(DirectoryReadTest, ListingLongerThanTheReplyBufferIsReadWhole) {
    std::vector<sim::ObjectEntry> many;
    for (unsigned id = 1; id <= 150; ++id) {
        many.push_back(
            Stored(sim::ObjectKind::Graphic, id, std::string(32, 'a' + id % 26), "G", 100));
    }
    startPrinter(WithObjects(many));
    ASSERT_EQ(PCUGetGraphics(ctx, &count), PCU_OK);
    ASSERT_GT(PrinterSent(*printer).size(), 4096u);
    EXPECT_EQ(count, 150);
    EXPECT_EQ(lastError(), PCU_OK) << "no line was cut at the buffer's end";
    GraphicInfo last{};
    ASSERT_EQ(PCUGetGraphicInfo(ctx, 150, &last), PCU_OK);
    EXPECT_EQ(std::string(last.description), std::string(32, 'a' + 150 % 26));
}

TEST_F(DirectoryReadTest, PortThatWillNotOpenGivesElevenAndAnEmptyList) {
    startPrinter(WithObjects({}));
    PageInfo host{};
    host.id = 3;
    ASSERT_EQ(PCUPutPageInfo(ctx, 3, &host), PCU_OK);
    env.setProfile("Device.COM1", env.root() + "/no-such-device");
    for (auto read : {PCUGetFonts, PCUGetGraphics, PCUGetFormats, PCUGetPages}) {
        count = 9;
        EXPECT_EQ(read(ctx, &count), PCU_ERR_OPEN);
        EXPECT_EQ(count, 0);
    }
    EXPECT_EQ(lastError(), PCU_ERR_OPEN);
    std::uint16_t pages = 9;
    PCUGetPageCount(ctx, &pages);
    EXPECT_EQ(pages, 0);
    EXPECT_EQ(HostSent(*printer), "");
}

}  // namespace
}  // namespace tarvo

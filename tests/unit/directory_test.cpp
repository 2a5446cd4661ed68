// The host side of the object directory: counting and listing, entries got, put and withdrawn
// by number, text fields that never overflow, and the proposed format location.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "objects/directory_list.h"
#include "session/kernel_state.h"
#include "support/test_env.h"
#include "tarvo/kernel.h"

namespace tarvo {
namespace {

FontInfo Font(std::uint16_t id, const char* description = "", std::int16_t status = 0,
              std::int16_t pending = 0) {
    FontInfo f{};
    f.id = id;
    std::strncpy(f.description, description, sizeof f.description - 1);
    f.status = status;
    f.pending = pending;
    return f;
}

FormatInfo Format(std::uint16_t id) {
    FormatInfo f{};
    f.id = id;
    f.status = PCU_STATUS_STORED;
    return f;
}

int PutFont(int ctx, std::uint16_t number, const FontInfo& font) {
    return PCUPutFontInfo(ctx, number, &font);
}

int PutFormat(int ctx, std::uint16_t number, const FormatInfo& format) {
    return PCUPutFormatInfo(ctx, number, &format);
}

class DirectoryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ctx = PCUCfgInit();
        ASSERT_NE(ctx, 0);
    }

    std::vector<std::uint16_t> fontIds() {
        std::vector<std::uint16_t> ids(64);
        auto count = static_cast<std::uint16_t>(ids.size());
        EXPECT_EQ(PCUGetFontIDs(ctx, ids.data(), nullptr, nullptr, &count), PCU_OK);
        ids.resize(count);
        return ids;
    }

    void putFonts(std::initializer_list<std::uint16_t> ids) {
        for (const std::uint16_t id : ids)
            ASSERT_EQ(PutFont(ctx, id, Font(id)), PCU_OK) << id;
    }

    void putFormats(std::initializer_list<std::uint16_t> ids) {
        for (const std::uint16_t id : ids) {
            const FormatInfo f = Format(id);
            ASSERT_EQ(PCUPutFormatInfo(ctx, id, &f), PCU_OK) << id;
        }
    }

    // Entries as a printer listing leaves them: in reply order, not necessarily ascending.
    void appendFonts(std::initializer_list<std::uint16_t> ids) {
        for (const std::uint16_t id : ids)
            ASSERT_TRUE(AppendEntry(FindContext(ctx)->fontList.head(), Font(id, "", 2)));
    }

    int fmtLoc(int model, int start = -7) {
        FindContext(ctx)->settings.model = static_cast<std::int16_t>(model);
        location = start;
        return PCUGetFmtLoc(ctx, &location);
    }

    test::TestEnv env;
    int ctx = 0;
    int location = 0;
};

TEST_F(DirectoryTest, EmptyListsCountZeroAndListNothing) {
    std::uint16_t count = 99;
    for (auto get : {PCUGetFontCount, PCUGetGraphicCount, PCUGetFormatCount, PCUGetPageCount}) {
        count = 99;
        EXPECT_EQ(get(ctx, &count), PCU_OK);
        EXPECT_EQ(count, 0);
    }
    std::uint16_t ids[4] = {};
    char descriptions[4][PCU_DESCRIPTION_SIZE];
    count = 4;
    EXPECT_EQ(PCUGetFontIDs(ctx, ids, descriptions, descriptions, &count), PCU_OK);
    EXPECT_EQ(count, 0);
    count = 4;
    EXPECT_EQ(PCUGetGraphicIDs(ctx, ids, descriptions, nullptr, &count), PCU_OK);
    EXPECT_EQ(count, 0);
    count = 4;
    EXPECT_EQ(PCUGetFormatIDs(ctx, ids, descriptions, &count), PCU_OK);
    EXPECT_EQ(count, 0);
    count = 4;
    EXPECT_EQ(PCUGetPageIDs(ctx, ids, &count), PCU_OK);
    EXPECT_EQ(count, 0);
}

TEST_F(DirectoryTest, UnknownContextsAndNullPointersAreRefused) {
    std::uint16_t count = 0;
    std::uint16_t ids[1];
    FontInfo font = Font(1);
    GraphicInfo graphic{};
    PageInfo page{};
    std::int16_t status = 0;
    for (const int bad : {0, ctx + 1, PCU_MAX_CONTEXTS + 1}) {
        EXPECT_EQ(PCUGetFontCount(bad, &count), PCU_ERR_NO_CONTEXT);
        EXPECT_EQ(PCUGetPageIDs(bad, ids, &count), PCU_ERR_NO_CONTEXT);
        EXPECT_EQ(PCUGetFontInfo(bad, 1, &font), PCU_ERR_NO_CONTEXT);
        EXPECT_EQ(PCUPutFontInfo(bad, 1, &font), PCU_ERR_NO_CONTEXT);
        EXPECT_EQ(PCUPutGraphicInfo(bad, 1, &graphic), PCU_ERR_NO_CONTEXT);
        EXPECT_EQ(PCUDelPage(bad, 1), PCU_ERR_NO_CONTEXT);
        EXPECT_EQ(PCUGetFontPrintStatus(bad, 1, &status), PCU_ERR_NO_CONTEXT);
        EXPECT_EQ(PCUGetFonts(bad, &count), PCU_ERR_NO_CONTEXT);
    }
    EXPECT_EQ(PCUGetFontCount(ctx, nullptr), PCU_ERR_ARGUMENT);
    count = 1;
    EXPECT_EQ(PCUGetFontIDs(ctx, nullptr, nullptr, nullptr, &count), PCU_ERR_ARGUMENT);
    EXPECT_EQ(PCUGetPageIDs(ctx, ids, nullptr), PCU_ERR_ARGUMENT);
    EXPECT_EQ(PCUPutFontInfo(ctx, 1, nullptr), PCU_ERR_ARGUMENT);
    EXPECT_EQ(PCUPutPageInfo(ctx, 1, nullptr), PCU_ERR_ARGUMENT);
    ASSERT_EQ(PCUPutPageInfo(ctx, 1, &page), PCU_OK);
    EXPECT_EQ(PCUGetPageInfo(ctx, 0, nullptr), PCU_ERR_ARGUMENT);
    EXPECT_EQ(PCUGetFontPrintStatus(ctx, 1, nullptr), PCU_ERR_ARGUMENT);
    EXPECT_EQ(PCUGetFonts(ctx, nullptr), PCU_ERR_ARGUMENT);
}

TEST_F(DirectoryTest, PutInsertsInNumberOrderAndOverwritesInPlace) {
    putFonts({5, 1, 9});
    EXPECT_EQ(fontIds(), (std::vector<std::uint16_t>{1, 5, 9}));
    putFonts({4});
    EXPECT_EQ(fontIds(), (std::vector<std::uint16_t>{1, 4, 5, 9})) << "lands between 1 and 5";
    putFonts({0, 65535});
    EXPECT_EQ(fontIds(), (std::vector<std::uint16_t>{0, 1, 4, 5, 9, 65535}));

    const FontInfo changed = Font(5, "Changed", PCU_STATUS_STORED, PCU_PENDING_DOWNLOAD);
    ASSERT_EQ(PCUPutFontInfo(ctx, 5, &changed), PCU_OK);
    EXPECT_EQ(fontIds(), (std::vector<std::uint16_t>{0, 1, 4, 5, 9, 65535}));
    FontInfo got{};
    ASSERT_EQ(PCUGetFontInfo(ctx, 5, &got), PCU_OK);
    EXPECT_STREQ(got.description, "Changed");
    EXPECT_EQ(got.pending, PCU_PENDING_DOWNLOAD);
}

TEST_F(DirectoryTest, PutKeepsTheRecordsOwnNumberAndNumbersStayUnique) {
    putFonts({1, 4, 9});
    // Entry 4 renumbered to 6: it moves to its place.
    FontInfo six = Font(6, "Six");
    ASSERT_EQ(PCUPutFontInfo(ctx, 4, &six), PCU_OK);
    EXPECT_EQ(fontIds(), (std::vector<std::uint16_t>{1, 6, 9}));
    // Entry 1 renumbered onto 9: the record replaces 9, and 1 is gone.
    FontInfo nine = Font(9, "Nine");
    ASSERT_EQ(PCUPutFontInfo(ctx, 1, &nine), PCU_OK);
    EXPECT_EQ(fontIds(), (std::vector<std::uint16_t>{6, 9}));
    FontInfo got{};
    ASSERT_EQ(PCUGetFontInfo(ctx, 9, &got), PCU_OK);
    EXPECT_STREQ(got.description, "Nine");
    // No entry 30: the record is stored under its own number 2.
    FontInfo two = Font(2, "Two");
    ASSERT_EQ(PCUPutFontInfo(ctx, 30, &two), PCU_OK);
    EXPECT_EQ(fontIds(), (std::vector<std::uint16_t>{2, 6, 9}));
}

TEST_F(DirectoryTest, IdListingCopiesOnlyAsManyAsAskedFromTheFront) {
    FontInfo a = Font(3, "Three");
    std::strcpy(a.newDescription, "NewThree");
    FontInfo b = Font(7, "Seven");
    FontInfo c = Font(8, "Eight");
    for (const FontInfo* f : {&a, &b, &c})
        ASSERT_EQ(PCUPutFontInfo(ctx, f->id, f), PCU_OK);

    std::uint16_t ids[3] = {0xAAAA, 0xAAAA, 0xAAAA};
    char descriptions[3][PCU_DESCRIPTION_SIZE] = {"untouched", "untouched", "untouched"};
    char news[3][PCU_DESCRIPTION_SIZE] = {"untouched", "untouched", "untouched"};
    std::uint16_t count = 2;
    ASSERT_EQ(PCUGetFontIDs(ctx, ids, descriptions, news, &count), PCU_OK);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(ids[0], 3);
    EXPECT_EQ(ids[1], 7);
    EXPECT_EQ(ids[2], 0xAAAA);
    EXPECT_STREQ(descriptions[0], "Three");
    EXPECT_STREQ(descriptions[1], "Seven");
    EXPECT_STREQ(descriptions[2], "untouched");
    EXPECT_STREQ(news[0], "NewThree");
    EXPECT_STREQ(news[1], "");

    count = 0;
    ASSERT_EQ(PCUGetFontIDs(ctx, ids, nullptr, nullptr, &count), PCU_OK);
    EXPECT_EQ(count, 0);
}

TEST_F(DirectoryTest, EachKindListsItsOwnDescriptions) {
    GraphicInfo g{};
    g.id = 2;
    std::strcpy(g.description, "Logo");
    std::strcpy(g.newDescription, "NewLogo");
    ASSERT_EQ(PCUPutGraphicInfo(ctx, 2, &g), PCU_OK);
    FormatInfo f = Format(19);
    std::strcpy(f.description, "Label");
    ASSERT_EQ(PCUPutFormatInfo(ctx, 19, &f), PCU_OK);
    PageInfo p{};
    p.id = 3;
    ASSERT_EQ(PCUPutPageInfo(ctx, 3, &p), PCU_OK);

    std::uint16_t id = 0;
    char description[1][PCU_DESCRIPTION_SIZE];
    char newDescription[1][PCU_DESCRIPTION_SIZE];
    std::uint16_t count = 1;
    ASSERT_EQ(PCUGetGraphicIDs(ctx, &id, description, newDescription, &count), PCU_OK);
    EXPECT_EQ(id, 2);
    EXPECT_STREQ(description[0], "Logo");
    EXPECT_STREQ(newDescription[0], "NewLogo");
    count = 1;
    ASSERT_EQ(PCUGetFormatIDs(ctx, &id, description, &count), PCU_OK);
    EXPECT_EQ(id, 19);
    EXPECT_STREQ(description[0], "Label");
    count = 1;
    ASSERT_EQ(PCUGetPageIDs(ctx, &id, &count), PCU_OK);
    EXPECT_EQ(id, 3);
    std::uint16_t n = 0;
    ASSERT_EQ(PCUGetFontCount(ctx, &n), PCU_OK);
    EXPECT_EQ(n, 0) << "the kinds do not share a list";
}

TEST_F(DirectoryTest, WholeRecordsRoundTripAndFontRangesOnlyTravelIn) {
    FontInfo in{};
    in.source = PCU_FONT_SOURCE_FACE;
    std::strcpy(in.path, "/fonts/swiss.ttf");
    std::strcpy(in.faceName, "Swiss");
    in.kind = PCU_FONT_KIND_BITMAP;
    in.sizeMode = PCU_SIZE_BY_POINTS;
    in.pending = PCU_PENDING_DOWNLOAD;
    in.pointSize = 12;
    in.width = 0.25f;
    in.height = 0.5f;
    in.fontType = PCU_FONT_TYPE_BITMAP;
    std::strcpy(in.newDescription, "Swiss 12");
    in.size = 1234;
    in.id = 40;
    in.charRange = 4;
    std::memset(in.dbcsRanges, 0x81, sizeof in.dbcsRanges);
    ASSERT_EQ(PCUPutFontInfo(ctx, 40, &in), PCU_OK);

    FontInfo out{};
    std::memset(out.dbcsRanges, 0x11, sizeof out.dbcsRanges);
    ASSERT_EQ(PCUGetFontInfo(ctx, 40, &out), PCU_OK);
    FontInfo expected = in;
    std::memset(expected.dbcsRanges, 0x11, sizeof expected.dbcsRanges);
    EXPECT_EQ(std::memcmp(&out, &expected, sizeof out), 0) << "every field but the ranges";
    const FontInfo* stored = FindEntry<FontInfo>(FindContext(ctx)->fontList.head(), 40);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(std::memcmp(stored->dbcsRanges, in.dbcsRanges, sizeof in.dbcsRanges), 0);

    GraphicInfo g{};
    std::strcpy(g.path, "/img/logo.bmp");
    g.scaleMode = PCU_SCALE_BY_FACTOR;
    g.rotation = 3;
    g.scale = 1.5f;
    g.reserved = -77;
    g.id = 5;
    ASSERT_EQ(PCUPutGraphicInfo(ctx, 5, &g), PCU_OK);
    GraphicInfo gOut{};
    ASSERT_EQ(PCUGetGraphicInfo(ctx, 5, &gOut), PCU_OK);
    EXPECT_EQ(std::memcmp(&gOut, &g, sizeof g), 0);

    FormatInfo f = Format(19);
    f.isPage = 1;
    f.pending = PCU_PENDING_DOWNLOAD;
    ASSERT_EQ(PCUPutFormatInfo(ctx, 19, &f), PCU_OK);
    FormatInfo fOut{};
    ASSERT_EQ(PCUGetFormatInfo(ctx, 19, &fOut), PCU_OK);
    EXPECT_EQ(std::memcmp(&fOut, &f, sizeof f), 0);
}

TEST_F(DirectoryTest, UnterminatedTextFieldsAreCutAndTerminated) {
    FontInfo in = Font(1);
    std::memset(in.path, 'p', sizeof in.path);
    std::memset(in.faceName, 'f', sizeof in.faceName);
    std::memset(in.description, 'd', sizeof in.description);
    ASSERT_EQ(PCUPutFontInfo(ctx, 1, &in), PCU_OK);
    FontInfo out{};
    ASSERT_EQ(PCUGetFontInfo(ctx, 1, &out), PCU_OK);
    EXPECT_EQ(std::string(out.path), std::string(PCU_FONT_PATH_SIZE - 1, 'p'));
    EXPECT_EQ(std::string(out.faceName), std::string(PCU_FACE_NAME_SIZE - 1, 'f'));
    EXPECT_EQ(std::string(out.description), std::string(PCU_DESCRIPTION_SIZE - 1, 'd'));

    GraphicInfo g{};
    g.id = 2;
    std::memset(g.path, 'g', sizeof g.path);
    ASSERT_EQ(PCUPutGraphicInfo(ctx, 2, &g), PCU_OK);
    char listed[1][PCU_DESCRIPTION_SIZE];
    std::uint16_t id = 0;
    std::uint16_t count = 1;
    ASSERT_EQ(PCUGetGraphicIDs(ctx, &id, listed, nullptr, &count), PCU_OK);
    GraphicInfo gOut{};
    ASSERT_EQ(PCUGetGraphicInfo(ctx, 2, &gOut), PCU_OK);
    EXPECT_EQ(std::strlen(gOut.path), PCU_OBJECT_PATH_SIZE - 1u);
}

TEST_F(DirectoryTest, NewDescriptionsThatCouldNotBeSentAreRefused) {
    putFonts({1});
    const std::string refused[] = {"a;b",       "a,b",     "<ESC>",
                                   "tab\there", "del\x7f", std::string(33, 'x')};
    for (const std::string& bad : refused) {
        FontInfo f = Font(1, "Old");
        std::memcpy(f.newDescription, bad.data(), std::min(bad.size(), sizeof f.newDescription));
        EXPECT_EQ(PCUPutFontInfo(ctx, 1, &f), PCU_ERR_ARGUMENT) << bad;
        GraphicInfo g{};
        std::memcpy(g.newDescription, bad.data(), std::min(bad.size(), sizeof g.newDescription));
        EXPECT_EQ(PCUPutGraphicInfo(ctx, 0, &g), PCU_ERR_ARGUMENT) << bad;
        FormatInfo fm{};
        std::memcpy(fm.newDescription, bad.data(), std::min(bad.size(), sizeof fm.newDescription));
        EXPECT_EQ(PCUPutFormatInfo(ctx, 0, &fm), PCU_ERR_ARGUMENT) << bad;
    }
    FontInfo unchanged{};
    ASSERT_EQ(PCUGetFontInfo(ctx, 1, &unchanged), PCU_OK);
    EXPECT_STREQ(unchanged.description, "");
    std::uint16_t count = 9;
    PCUGetGraphicCount(ctx, &count);
    EXPECT_EQ(count, 0);

    // What the printer itself lists may hold anything from 32 up; only the new name is sent.
    FontInfo fine = Font(1, "a;b,<c>");
    std::strcpy(fine.newDescription, std::string(32, 'z').c_str());
    EXPECT_EQ(PCUPutFontInfo(ctx, 1, &fine), PCU_OK);
}

TEST_F(DirectoryTest, MissingNumbersGiveFifty) {
    putFonts({1, 5});
    FontInfo f{};
    GraphicInfo g{};
    FormatInfo fm{};
    PageInfo p{};
    std::int16_t status = 0;
    EXPECT_EQ(PCUGetFontInfo(ctx, 3, &f), PCU_ERR_NO_ENTRY);
    EXPECT_EQ(PCUGetGraphicInfo(ctx, 1, &g), PCU_ERR_NO_ENTRY);
    EXPECT_EQ(PCUGetFormatInfo(ctx, 1, &fm), PCU_ERR_NO_ENTRY);
    EXPECT_EQ(PCUGetPageInfo(ctx, 1, &p), PCU_ERR_NO_ENTRY);
    EXPECT_EQ(PCUGetFontPrintStatus(ctx, 6, &status), PCU_ERR_NO_ENTRY);
    for (auto del : {PCUDelFont, PCUDelGraphic, PCUDelFormat, PCUDelPage})
        EXPECT_EQ(del(ctx, 3), PCU_ERR_NO_ENTRY);
}

TEST_F(DirectoryTest, EntriesAfterALargerNumberAreStillFound) {
    appendFonts({9, 2, 5});
    FontInfo f{};
    EXPECT_EQ(PCUGetFontInfo(ctx, 2, &f), PCU_OK);
    EXPECT_EQ(PCUGetFontInfo(ctx, 5, &f), PCU_OK);
    EXPECT_EQ(PCUDelFont(ctx, 5), PCU_OK);
    EXPECT_EQ(fontIds(), (std::vector<std::uint16_t>{9, 2, 5})) << "reply order is kept";
}

TEST_F(DirectoryTest, DeleteWithdrawsAHostChangeOnly) {
    ASSERT_EQ(PutFont(ctx, 1, Font(1, "Printer", PCU_STATUS_STORED, PCU_PENDING_DOWNLOAD)), PCU_OK);
    ASSERT_EQ(PutFont(ctx, 2, Font(2, "Host", PCU_STATUS_HOST_ONLY, PCU_PENDING_DOWNLOAD)), PCU_OK);
    ASSERT_EQ(PutFont(ctx, 3, Font(3, "Marked", PCU_STATUS_DELETE)), PCU_OK);
    ASSERT_EQ(PutFont(ctx, 4, Font(4, "Empty", PCU_STATUS_EMPTY, PCU_PENDING_DOWNLOAD)), PCU_OK);
    for (const std::uint16_t id : {1, 2, 3, 4})
        EXPECT_EQ(PCUDelFont(ctx, id), PCU_OK) << id;
    EXPECT_EQ(fontIds(), (std::vector<std::uint16_t>{1, 3, 4}));
    std::int16_t status = 0;
    FontInfo f{};
    ASSERT_EQ(PCUGetFontInfo(ctx, 1, &f), PCU_OK);
    EXPECT_EQ(f.pending, PCU_PENDING_NONE) << "the queued download is cancelled";
    EXPECT_EQ(f.status, PCU_STATUS_STORED);
    ASSERT_EQ(PCUGetFontPrintStatus(ctx, 3, &status), PCU_OK);
    EXPECT_EQ(status, PCU_STATUS_DELETE) << "a withdrawal does not unmark a deletion";
    ASSERT_EQ(PCUGetFontPrintStatus(ctx, 4, &status), PCU_OK);
    EXPECT_EQ(status, PCU_STATUS_EMPTY);

    PageInfo page{};
    page.id = 8;
    ASSERT_EQ(PCUPutPageInfo(ctx, 8, &page), PCU_OK);
    EXPECT_EQ(PCUDelPage(ctx, 8), PCU_OK);
    std::uint16_t count = 9;
    PCUGetPageCount(ctx, &count);
    EXPECT_EQ(count, 0);
}

TEST_F(DirectoryTest, ListChangesAreRefusedWhileAnotherOperationRuns) {
    putFonts({1});
    OperationGuard running;  // an operation in progress on this thread
    int put = 0;
    int del = 0;
    int count = 0;
    std::thread other([&] {
        put = PutFont(ctx, 2, Font(2));
        del = PCUDelFont(ctx, 1);
        std::uint16_t n = 0;
        count = PCUGetFontCount(ctx, &n);
    });
    other.join();
    EXPECT_EQ(put, PCU_ERR_BUSY);
    EXPECT_EQ(del, PCU_ERR_BUSY);
    EXPECT_EQ(count, PCU_OK) << "reading the list disturbs nothing";
}

TEST_F(DirectoryTest, FormatLocationOnThe5240IsTheLowestFreeNumber) {
    EXPECT_EQ(fmtLoc(4), 1);
    EXPECT_EQ(location, 1) << "no formats";
    putFormats({1, 2, 3});
    EXPECT_EQ(fmtLoc(4), 1);
    EXPECT_EQ(location, 4);
    putFormats({5});
    EXPECT_EQ(fmtLoc(5), 1);
    EXPECT_EQ(location, 4) << "the gap before 5, on the 5040 too";

    // A list without 1, or out of order, still gives the lowest free number; 0 is none.
    cl_node* formats = FindContext(ctx)->formatList.head();
    ASSERT_EQ(cl_clrlist(formats), 0);
    for (const std::uint16_t id : {3, 0, 2})
        ASSERT_TRUE(AppendEntry(formats, Format(id)));
    EXPECT_EQ(fmtLoc(4), 1);
    EXPECT_EQ(location, 1);
    ASSERT_TRUE(AppendEntry(formats, Format(1)));
    EXPECT_EQ(fmtLoc(4), 1);
    EXPECT_EQ(location, 4);
}

TEST_F(DirectoryTest, FormatLocationFailsWhenAllHundredAreTaken) {
    for (std::uint16_t id = 1; id <= 100; ++id)
        ASSERT_EQ(PutFormat(ctx, id, Format(id)), PCU_OK);
    EXPECT_EQ(fmtLoc(4, 55), 0);
    EXPECT_EQ(location, 55) << "unchanged";
    ASSERT_EQ(PCUDelFormat(ctx, 100), PCU_OK);  // stored in the printer: stays listed
    EXPECT_EQ(fmtLoc(4), 0);
    ASSERT_EQ(PutFormat(ctx, 100, Format(101)), PCU_OK);
    EXPECT_EQ(fmtLoc(4), 1);
    EXPECT_EQ(location, 100);
}

TEST_F(DirectoryTest, FormatLocationOfOtherModelsComesFromTheProfile) {
    putFormats({1, 2});
    EXPECT_EQ(fmtLoc(18), 1);
    EXPECT_EQ(location, 19) << "the default";
    env.setProfile("FormatLoc", "7");
    EXPECT_EQ(fmtLoc(0), 1);
    EXPECT_EQ(location, 7);
    for (const char* bad : {"seven", "7x", "-1", "65536", " 7"}) {
        env.setProfile("FormatLoc", bad);
        EXPECT_EQ(fmtLoc(18, 3), 0) << bad;
        EXPECT_EQ(location, 3) << bad;
    }
}

TEST_F(DirectoryTest, FormatLocationOfUnknownContextsOrNullIsZero) {
    int where = 5;
    EXPECT_EQ(PCUGetFmtLoc(0, &where), 0);
    EXPECT_EQ(PCUGetFmtLoc(ctx + 1, &where), 0);
    EXPECT_EQ(where, 5);
    EXPECT_EQ(PCUGetFmtLoc(ctx, nullptr), 0);
}

}  // namespace
}  // namespace tarvo

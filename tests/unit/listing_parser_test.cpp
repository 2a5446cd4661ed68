// The directory listing parsers: line splitting with and without frame characters, every field
// rule of the four kinds, and bad lines that are dropped while the rest still parses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "objects/listing_parser.h"

namespace tarvo {
namespace {

constexpr std::size_t kPlain = 2;  // CR LF between lines, no frame characters

// A listing as it reaches the parser: every line a reply of its own, "pre line CR LF post",
// with the first preamble and the last postamble already stripped by the framing layer.
std::string Framed(const std::vector<std::string>& lines, char pre, char post) {
    std::string all;
    for (const std::string& line : lines) {
        if (pre != 0)
            all += pre;
        all += line + "\r\n";
        if (post != 0)
            all += post;
    }
    if (pre != 0)
        all.erase(0, 1);
    if (post != 0)
        all.pop_back();
    return all;
}

std::string Plain(const std::vector<std::string>& lines) {
    return Framed(lines, 0, 0);
}

std::vector<unsigned> FontIds(const Listing<FontInfo>& listing) {
    std::vector<unsigned> ids;
    for (const FontInfo& f : listing.entries)
        ids.push_back(f.id);
    return ids;
}

TEST(ListingSplitTest, LinesEndAtCarriageReturnsAndTheTailIsIgnored) {
    const auto lines = SplitListing("1,a,2,3\r\n4,b,5,6\r\n7,c,8", kPlain);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "1,a,2,3");
    EXPECT_EQ(lines[1], "4,b,5,6");
    EXPECT_TRUE(SplitListing("", kPlain).empty());
    EXPECT_TRUE(SplitListing("1,a,2,3", kPlain).empty()) << "no CR: nothing is finished";
}

TEST(ListingSplitTest, OneLeadingAcknowledgeIsSkipped) {
    for (const char ack : {'\x11', '\x12'}) {
        const std::string reply = std::string(1, ack) + "1,a,2,3\r\n";
        const auto lines = SplitListing(reply, kPlain);  // views into `reply`
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0], "1,a,2,3");
    }
    const auto twice = SplitListing(
        "\x11\x11"
        "1,a,2,3\r\n",
        kPlain);
    ASSERT_EQ(twice.size(), 1u);
    EXPECT_EQ(twice[0],
              "\x11"
              "1,a,2,3")
        << "only the first byte is an acknowledge";
}

TEST(ListingSplitTest, StepCountsTheFrameCharactersBetweenReplies) {
    EXPECT_EQ(ListingLineStep(false, false), 2u);
    EXPECT_EQ(ListingLineStep(true, false), 3u);
    EXPECT_EQ(ListingLineStep(false, true), 3u);
    EXPECT_EQ(ListingLineStep(true, true), 4u);

    const std::string reply = Framed({"1,a,2,3", "4,b,5,6", "7,c,8,9"}, '#', '$');
    EXPECT_EQ(reply, "1,a,2,3\r\n$#4,b,5,6\r\n$#7,c,8,9\r\n");
    const auto lines = SplitListing(reply, ListingLineStep(true, true));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "4,b,5,6");
    EXPECT_EQ(lines[2], "7,c,8,9");
}

TEST(ListingSplitTest, AStepPastTheEndStopsAndAZeroStepCannotLoop) {
    const auto lines = SplitListing("1,a,2,3\r", 4);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(SplitListing("a\rb\rc\r", 0).size(), 3u);
}

TEST(FontListingTest, TypeCodesGiveFontTypeAndKind) {
    const auto listing =
        ParseFontListing(Plain({"1,Swiss,400,5000", "2,Dutch,300,6000", "3,Mono,301,7000",
                                "4,Block,200,800", "5,Padded,0400,10"}),
                         kPlain);
    ASSERT_EQ(listing.badLines, 0);
    ASSERT_EQ(listing.entries.size(), 5u);
    const FontInfo& tt = listing.entries[0];
    EXPECT_EQ(tt.id, 1);
    EXPECT_STREQ(tt.description, "Swiss");
    EXPECT_EQ(tt.fontType, PCU_FONT_TYPE_TRUETYPE);
    EXPECT_EQ(tt.kind, PCU_FONT_KIND_OUTLINE);
    EXPECT_EQ(tt.size, 5000u);
    EXPECT_EQ(tt.status, PCU_STATUS_STORED);
    EXPECT_EQ(tt.pending, PCU_PENDING_NONE);
    EXPECT_STREQ(tt.newDescription, "");
    EXPECT_STREQ(tt.path, "");
    EXPECT_EQ(listing.entries[1].fontType, PCU_FONT_TYPE_SPEEDO);
    EXPECT_EQ(listing.entries[1].kind, PCU_FONT_KIND_OUTLINE);
    EXPECT_EQ(listing.entries[2].fontType, PCU_FONT_TYPE_TRUETYPE);
    EXPECT_EQ(listing.entries[3].fontType, PCU_FONT_TYPE_BITMAP);
    EXPECT_EQ(listing.entries[3].kind, PCU_FONT_KIND_BITMAP);
    EXPECT_EQ(listing.entries[4].fontType, PCU_FONT_TYPE_TRUETYPE) << "the type is a number";
}

TEST(FontListingTest, SizeZeroIsListedAsEmptyAndTheReplyOrderIsKept) {
    const auto listing =
        ParseFontListing(Plain({"9,Late,200,0", "3,Early,200,12", ",NoNumber,200,1"}), kPlain);
    ASSERT_EQ(listing.badLines, 0);
    EXPECT_EQ(FontIds(listing), (std::vector<unsigned>{9, 3, 0}));
    EXPECT_EQ(listing.entries[0].status, PCU_STATUS_EMPTY);
    EXPECT_EQ(listing.entries[1].status, PCU_STATUS_STORED);
}

TEST(FontListingTest, EmptyDescriptionAndExtraFieldsAreAccepted) {
    const auto listing = ParseFontListing(Plain({"7,,200,99,extra,fields"}), kPlain);
    ASSERT_EQ(listing.badLines, 0);
    ASSERT_EQ(listing.entries.size(), 1u);
    EXPECT_STREQ(listing.entries[0].description, "");
    EXPECT_EQ(listing.entries[0].size, 99u);
}

TEST(FontListingTest, BadLinesAreDroppedAndCountedWhileTheRestParses) {
    const std::vector<std::string> lines = {
        "1,Good,200,10",
        "2,TwoCommas,200",        // fewer than three commas
        "x3,Letter,200,10",       // number not all digits
        "4,NoType,,10",           // type must begin with a digit
        "5,BadType,2a0,10",       // type not all digits
        "6,NoSize,200,",          // size must begin with a digit
        "7,BadSize,200,1 0",      // size not all digits
        "8,Tab\there,200,10",     // control byte in the description
        "65536,Big,200,10",       // no 16-bit number
        "9,Huge,200,4294967296",  // no 32-bit size
        "",                       // an empty line
        "10,AlsoGood,300,20",
        "65535,Top,200,4294967295",  // the largest number and size
        "11,Caf\xe9,200,1",          // bytes above 127 are description characters
    };
    const auto listing = ParseFontListing(Plain(lines), kPlain);
    EXPECT_EQ(listing.badLines, 10);
    EXPECT_EQ(FontIds(listing), (std::vector<unsigned>{1, 10, 65535, 11}));
    EXPECT_EQ(listing.entries[2].size, 4294967295u);
    EXPECT_STREQ(listing.entries[3].description, "Caf\xe9");
}

TEST(FontListingTest, LongDescriptionIsCutAndReportedButTheFontIsKept) {
    const std::string exact(32, 'x');
    const std::string longer(40, 'y');
    const auto listing =
        ParseFontListing(Plain({"1," + exact + ",200,1", "2," + longer + ",200,1"}), kPlain);
    EXPECT_EQ(listing.badLines, 1);
    ASSERT_EQ(listing.entries.size(), 2u);
    EXPECT_EQ(std::string(listing.entries[0].description), exact);
    EXPECT_EQ(std::string(listing.entries[1].description), std::string(32, 'y'));
}

TEST(FontListingTest, AWrongStepSpoilsLinesButNeverReadsPastTheReply) {
    const std::string reply = Framed({"1,One,200,10", "2,Two,200,20"}, '#', '$');
    const auto listing = ParseFontListing(reply, kPlain);
    EXPECT_EQ(listing.badLines, 1) << "the second line starts with the frame characters";
    EXPECT_EQ(FontIds(listing), (std::vector<unsigned>{1}));
}

TEST(GraphicListingTest, EmptyNumberAndSizeCountAsZeroAndTheThirdFieldIsSkipped) {
    const auto listing =
        ParseGraphicListing(Plain({"12,Logo,anything at all,2048", ",Blank,x,", "3,,,7"}), kPlain);
    ASSERT_EQ(listing.badLines, 0);
    ASSERT_EQ(listing.entries.size(), 3u);
    const GraphicInfo& logo = listing.entries[0];
    EXPECT_EQ(logo.id, 12);
    EXPECT_STREQ(logo.description, "Logo");
    EXPECT_EQ(logo.size, 2048u);
    EXPECT_EQ(logo.status, PCU_STATUS_STORED);
    EXPECT_EQ(logo.pending, PCU_PENDING_NONE);
    EXPECT_EQ(logo.scaleMode, 0);
    EXPECT_EQ(logo.rotation, 0);
    EXPECT_EQ(logo.scale, 0.0f);
    EXPECT_EQ(logo.width, 0.0f);
    EXPECT_EQ(listing.entries[1].id, 0);
    EXPECT_EQ(listing.entries[1].size, 0u);
    EXPECT_EQ(listing.entries[2].size, 7u);
}

TEST(GraphicListingTest, BadLinesAreDropped) {
    const auto listing = ParseGraphicListing(Plain({"1,a,b", "q,a,b,1", "1,a,b,z",
                                                    "2,\x1b"
                                                    "esc,b,1",
                                                    "70000,a,b,1", "4,ok,b,1"}),
                                             kPlain);
    EXPECT_EQ(listing.badLines, 5);
    ASSERT_EQ(listing.entries.size(), 1u);
    EXPECT_EQ(listing.entries[0].id, 4);
}

TEST(FormatListingTest, LinesParseLikeGraphicsWithStoredStatus) {
    const auto listing =
        ParseFormatListing(Plain({"19,SHIPPING,F,512", "20,RETURNS,F,256", "bad"}), kPlain);
    EXPECT_EQ(listing.badLines, 1);
    ASSERT_EQ(listing.entries.size(), 2u);
    EXPECT_EQ(listing.entries[0].id, 19);
    EXPECT_STREQ(listing.entries[0].description, "SHIPPING");
    EXPECT_EQ(listing.entries[0].size, 512u);
    EXPECT_EQ(listing.entries[0].status, PCU_STATUS_STORED);
    EXPECT_EQ(listing.entries[0].isPage, 0);
    EXPECT_STREQ(listing.entries[0].path, "");
}

TEST(PageListingTest, OnlyTheNumberIsReadButThreeCommasAreStillNeeded) {
    const auto listing =
        ParsePageListing(Plain({"4,whatever,\x01,!", "5,,,", "x,a,b,c", "6,a,b", "7"}), kPlain);
    EXPECT_EQ(listing.badLines, 3);
    ASSERT_EQ(listing.entries.size(), 2u);
    EXPECT_EQ(listing.entries[0].id, 4);
    EXPECT_EQ(listing.entries[0].status, PCU_STATUS_STORED);
    EXPECT_EQ(listing.entries[1].id, 5);
}

}  // namespace
}  // namespace tarvo

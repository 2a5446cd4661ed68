// Objects a host downloads to the simulated Lanmere printer in program mode: what the printer
// stores, lists and accounts, the dots it decodes from graphics and bitmap fonts, and the
// downloads it drops.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "integration/sim_host.h"
#include "tarvo/sim/printer_sim.h"

namespace tarvo::sim {
namespace {

using namespace wire;

const std::string kProgram = "\x1bP";
const std::string kFontList = Frame("\x1bv");
const std::string kGraphicList = Frame("\x1bu");
const std::string kFormatList = Frame("\x1bx");
const std::string kPageList = Frame("\x1by");

using Rows = std::vector<std::string>;

// Columns as the host encodes them: "u<x>," and `chars` characters per column, '@' plus bit
// (row mod 6) for each printed row.
std::string Columns(const Rows& rows, std::size_t chars) {
    std::string text;
    const std::size_t width = rows.empty() ? 0 : rows.front().size();
    for (std::size_t x = 0; x < width; ++x) {
        text += "u" + std::to_string(x) + ",";
        for (std::size_t c = 0; c < chars; ++c) {
            int bits = 0;
            for (std::size_t bit = 0; bit < 6; ++bit) {
                const std::size_t y = c * 6 + bit;
                if (y < rows.size() && rows[y][x] == '#')
                    bits |= 1 << bit;
            }
            text += static_cast<char>('@' + bits);
        }
        text += ";";
    }
    return text;
}

std::string GraphicColumns(const Rows& rows) {
    return Columns(rows, (rows.size() + 5) / 6);
}

std::string GlyphColumns(const Rows& rows) {
    return Columns(rows, rows.size() / 6 + 1);
}

// Top and bottom rows printed, and a diagonal stripe, so that rows on both sides of every
// six-row boundary differ.
Rows Pattern(int width, int height) {
    Rows rows(static_cast<std::size_t>(height), std::string(static_cast<std::size_t>(width), '.'));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (y == 0 || y == height - 1 || (x + y) % 3 == 0)
                rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = '#';
        }
    }
    return rows;
}

// Lower-case hex, two digits a byte.
std::string Hex(const std::string& bytes) {
    std::string text;
    char pair[3];
    for (unsigned char byte : bytes) {
        std::snprintf(pair, sizeof pair, "%02x", byte);
        text += pair;
    }
    return text;
}

class SimObjectsTest : public SimHostTest {
  protected:
    // Sends each body in a frame of its own and waits until the printer has taken them in.
    // Replies are read and dropped.
    void send(const std::vector<std::string>& bodies) {
        for (const std::string& body : bodies)
            host->send(Frame(body));
        settle();
        host->drain();
    }

    // The listing lines of a kind, without their line ends.
    std::vector<std::string> listing(const std::string& question) {
        const std::string reply = ask(question);
        std::vector<std::string> lines;
        std::size_t start = 0;
        while (start < reply.size()) {
            const std::size_t end = reply.find("\r\n", start);
            lines.push_back(reply.substr(start, end - start));
            start = end == std::string::npos ? reply.size() : end + 2;
        }
        return lines;
    }

    bool listed(const std::string& question, const std::string& line) {
        const std::vector<std::string> lines = listing(question);
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
};

// --- Graphics ---

// (Dots across every six-row boundary come back whole in the host's download round trip, whose
// encoder the graphic command test pins byte for byte.)

TEST_F(SimObjectsTest, GraphicColumnsAreReadAsWritten) {
    start(Options{});
    // Column 0: rows 0 and 6 ('A' twice); column 1: row 5 ('`' = '@' + 32), then nothing.
    send({kProgram, "G1,Box;x2;y7;u0,AA;u1,`@;R"});
    const auto image = sim->graphicImage(1);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->rows, (Rows{"#.", "..", "..", "..", "..", ".#", "#."}));
    // Columns never sent stay blank; a column sent twice keeps its last dots.
    send({kProgram, "G2,Gap;x3;y1;u2,A;u0,A;u0,@;R"});
    ASSERT_TRUE(sim->graphicImage(2));
    EXPECT_EQ(sim->graphicImage(2)->rows, Rows{"..#"});
}

TEST_F(SimObjectsTest, ProgramModeSpansMessagesInAnySplit) {
    start(Options{});
    const Rows rows = Pattern(4, 13);
    const std::string columns = GraphicColumns(rows);
    // All of it in one message.
    send({kProgram + "G1,One;x4;y13;" + columns + "R"});
    // One command per message, as a host that sends each command at once does.
    std::vector<std::string> single{kProgram, "G2,Many", "x4", "y13"};
    for (std::size_t at = 0; at < columns.size();) {
        const std::size_t end = columns.find(';', at);
        single.push_back(columns.substr(at, end - at));
        at = end + 1;
    }
    single.push_back("R");
    send(single);
    // Pieces batched with their separators, the last of each message without one.
    const std::size_t split = columns.find("u2");
    const std::vector<std::string> batched = {
        kProgram, "G3,Batched;x4;y13;" + columns.substr(0, split - 1),
        columns.substr(split, columns.size() - split - 1), "R"};
    send(batched);
    for (unsigned id : {1u, 2u, 3u}) {
        SCOPED_TRACE(id);
        const auto image = sim->graphicImage(id);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->rows, rows);
    }
    // Every message is in the record of messages, in order.
    std::vector<std::string> all = {kProgram + "G1,One;x4;y13;" + columns + "R"};
    all.insert(all.end(), single.begin(), single.end());
    all.insert(all.end(), batched.begin(), batched.end());
    EXPECT_EQ(sim->receivedMessages(), all);
}

// --- Fonts ---

TEST_F(SimObjectsTest, BitmapFontKeepsEachCharacterWithItsWidths) {
    start(Options{});
    const Rows letterA = {"..##.", ".#..#", ".#..#", "##..#", "#####", "#...#",
                          "#...#", "#...#", "#...#", "#...#", ".....", "....."};
    const Rows blank(12, "...");
    send({kProgram, "T50,Small;x8;y12;",
          // A negative A-width comes with the B-width; the blank with its advance.
          "t65,-1;Z5;" + GlyphColumns(letterA), "t32;Z3;u0,@@@;u1,@@@;u2,@@@;", "R"});
    EXPECT_EQ(sim->bitmapFontCell(50), std::make_pair(8, 12));
    const std::vector<DecodedGlyph> glyphs = sim->bitmapFontGlyphs(50);
    ASSERT_EQ(glyphs.size(), 2u);
    EXPECT_EQ(glyphs[0], (DecodedGlyph{32, std::nullopt, 3, 3, 12, blank}));
    EXPECT_EQ(glyphs[1], (DecodedGlyph{65, -1, 5, 5, 12, letterA}));
    // Eight columns of two bytes each (a cell of 12 rows).
    EXPECT_TRUE(listed(kFontList, "50,Small,200,16"));
    // Thirteen rows take three characters a column, as twelve do.
    const Rows tall = Pattern(2, 13);
    send({kProgram, "T51,Tall;x2;y13;t66;Z2;" + GlyphColumns(tall), "R"});
    ASSERT_EQ(sim->bitmapFontGlyphs(51).size(), 1u);
    EXPECT_EQ(sim->bitmapFontGlyphs(51)[0].rows, tall);
    EXPECT_TRUE(listed(kFontList, "51,Tall,200,4"));
}

TEST_F(SimObjectsTest, OutlineFontKeepsTheBytesItWasSent) {
    start(Options{});
    std::string file;
    for (int i = 0; i < 300; ++i)
        file += static_cast<char>((i * 7 + 3) % 256);
    // Data commands of 121 bytes each, some alone in a message, some batched.
    const std::string hex = Hex(file);
    send({kProgram, "J52,Outline,1,300;", "j" + hex.substr(0, 242) + ";",
          "j" + hex.substr(242, 242) + ";j" + hex.substr(484), "J53,Speedo,0,2;", "j00ff", "R"});
    EXPECT_EQ(sim->outlineFontData(52), file);
    EXPECT_EQ(sim->outlineFontData(53), std::string("\x00\xff", 2));
    EXPECT_TRUE(listed(kFontList, "52,Outline,400,300"));
    EXPECT_TRUE(listed(kFontList, "53,Speedo,300,2"));
    // Content belongs to its kind: an outline font is no bitmap font.
    EXPECT_TRUE(sim->bitmapFontGlyphs(52).empty());
    EXPECT_FALSE(sim->graphicImage(52));
}

TEST_F(SimObjectsTest, ImageFontKeepsItsLinesUntilTheNextFont) {
    start(Options{});
    const std::vector<std::string> lines = {"&     1500,      28,    1100;",
                                            "$0000000800000010000100000000", "@00000000",
                                            "%0000041C0000041C"};
    // As the image sender does it: a memory question between leaving and re-entering program
    // mode, then the header without a separator and one line a message.
    std::vector<std::string> bodies = {kProgram, "R", "\x1bm", kProgram, "J54,Kanji,2"};
    bodies.insert(bodies.end(), lines.begin(), lines.end());
    // The next font ends the image at once; one R comes after all.
    bodies.insert(bodies.end(), {"J55,Next,1,1;", "j41;", "R"});
    send(bodies);
    EXPECT_EQ(sim->ibfLines(54), lines);
    EXPECT_TRUE(listed(kFontList, "54,Kanji,200,1500"));
    EXPECT_EQ(sim->outlineFontData(55), "A");
    // Without a stated image size, the size is the bytes of the lines.
    send({kProgram, "J56,Plain,2", "$0102", "@03", "R"});
    EXPECT_TRUE(listed(kFontList, "56,Plain,200,8"));
}

// --- Formats and pages ---

TEST_F(SimObjectsTest, FormatsAndPagesKeepTheirLines) {
    start(Options{});
    ASSERT_TRUE(sim->addObject(ObjectKind::Font, {60, "Kept", "400", 100}));
    // A later line may begin with any letter: "T60;" is a line here, not a font deletion.
    send({kProgram, "E07;F07,Shipping;", "H1;o50,50;f3;", "L;D1", "T60;", "R"});
    EXPECT_EQ(sim->formatLines(7), (std::vector<std::string>{"H1;o50,50;f3;", "L;D1", "T60;"}));
    EXPECT_TRUE(listed(kFormatList, "7,Shipping,0,21"));
    EXPECT_EQ(sim->objects(ObjectKind::Font).size(), 1u);
    // In one message, the ';' before R separates; it is not part of the line.
    send({kProgram + "E08;F08,Batch;H1;o5;R"});
    EXPECT_EQ(sim->formatLines(8), std::vector<std::string>{"H1;o5"});
    // A page has a number and no name.
    send({kProgram, "s03;S03;", "B1;q1", "R"});
    EXPECT_EQ(sim->pageLines(3), std::vector<std::string>{"B1;q1"});
    EXPECT_TRUE(listed(kPageList, "3,,0,5"));
    EXPECT_TRUE(sim->formatLines(3).empty());
    // Erase, then create again with new lines: the old ones are gone.
    send({kProgram, "E07;F07,Shipping;", "M2", "R"});
    EXPECT_EQ(sim->formatLines(7), std::vector<std::string>{"M2"});
    send({kProgram, "E8;R", kProgram, "s3;R"});
    EXPECT_TRUE(sim->formatLines(8).empty());
    EXPECT_TRUE(sim->objects(ObjectKind::Page).empty());
    EXPECT_EQ(listing(kFormatList), std::vector<std::string>{"7,Shipping,0,2"});
}

// --- Memory, deletions, persistence ---

TEST_F(SimObjectsTest, DownloadsTakeMemoryAndDeletionsGiveItBack) {
    start(Options{});
    EXPECT_EQ(ask(kAskMemory), "1024,987");
    // 16 x 1024 dots: 2048 bytes, 2 KB.
    const Rows rows(1024, std::string(16, '#'));
    send({kProgram, "G5,Big;x16;y1024;", GraphicColumns(rows), "R"});
    ASSERT_TRUE(listed(kGraphicList, "5,Big,0,2048"));
    EXPECT_EQ(ask(kAskMemory), "1024,985");
    EXPECT_EQ(sim->memoryFreeKb(), 985u);
    // Replaced by a smaller one under the same number: 1 KB.
    send({kProgram, "G5,Small;x8;y8;", GraphicColumns(Rows(8, "#.#.#.#.")), "R"});
    EXPECT_EQ(ask(kAskMemory), "1024,986");
    send({kProgram, "J52,F,1,2;jabcd;", "T50,B;x1;y6;t65;Z1;u0,A@;", "R"});
    EXPECT_EQ(ask(kAskMemory), "1024,984");
    // Deletions, the way the commit loops send them.
    send({kProgram, "T52;", "T50;", "R", kProgram, "G5;", "R"});
    EXPECT_EQ(ask(kAskMemory), "1024,987");
    EXPECT_FALSE(sim->outlineFontData(52));
    EXPECT_TRUE(sim->bitmapFontGlyphs(50).empty());
    EXPECT_FALSE(sim->graphicImage(5));
    EXPECT_TRUE(ask(kGraphicList).empty());
}

TEST_F(SimObjectsTest, ContentGoesWithItsObject) {
    start(Options{});
    send({kProgram, "G1,Logo;x1;y1;u0,A;", "G2,Other;x1;y1;u0,A;R"});
    ASSERT_TRUE(sim->graphicImage(1));
    EXPECT_TRUE(sim->deleteObject(ObjectKind::Graphic, 1));
    EXPECT_FALSE(sim->graphicImage(1));
    ASSERT_TRUE(sim->addObject(ObjectKind::Graphic, {2, "Replaced", "0", 1}));
    EXPECT_FALSE(sim->graphicImage(2));
}

TEST_F(SimObjectsTest, StateFileKeepsTheListingNotTheContent) {
    Options options;
    options.statePath = path("printer.state");
    start(options);
    send({kProgram, "G9,Saved;x2;y2;u0,C;u1,B;R"});
    ASSERT_TRUE(sim->graphicImage(9));
    host.reset();
    sim->stop();
    EXPECT_NE(ReadFile(options.statePath).find("graphic.9 = Saved,0,1\n"), std::string::npos);
    start(options);
    const std::vector<StoredObject> saved = {{9, "Saved", "0", 1}};
    EXPECT_EQ(sim->objects(ObjectKind::Graphic), saved);
    EXPECT_FALSE(sim->graphicImage(9));
    EXPECT_EQ(sim->memoryFreeKb(), 986u);
}

TEST_F(SimObjectsTest, ADownloadThatDoesNotFitIsDroppedAndThePrinterGoesOn) {
    Options options;
    options.memoryFreeKb = 1;
    start(options);
    // 100 x 100 dots: 1250 bytes, 2 KB, with 1 KB free.
    send({kProgram, "G9,Huge;x100;y100;" + GraphicColumns(Pattern(100, 100)),
          "G10,Tiny;x1;y1;u0,A;", "R"});
    EXPECT_EQ(sim->lastRefusal(),
              "graphic 9 \"Huge\" not stored: not enough printer memory: 2 KB needed, 1 KB free");
    EXPECT_FALSE(sim->graphicImage(9));
    EXPECT_TRUE(sim->graphicImage(10));
    EXPECT_EQ(listing(kGraphicList), std::vector<std::string>{"10,Tiny,0,1"});
    EXPECT_EQ(ask(kAskMemory), "1024,0");
    // Replacing an object may use the memory it frees.
    send({kProgram, "G10,Again;x8;y128;" + GraphicColumns(Rows(128, std::string(8, '#'))), "R"});
    EXPECT_EQ(listing(kGraphicList), std::vector<std::string>{"10,Again,0,128"});
}

// --- Malformed downloads ---

struct BadDownload {
    std::string commands;  // between <ESC>P and R
    std::string reason;    // part of the refusal
};

TEST_F(SimObjectsTest, MalformedDownloadsAreDroppedWhole) {
    start(Options{});
    const std::string tooManyDots = "G1,A;x65535;y65535;u0,@";
    const std::string tallColumn = std::string(65535 / 6 + 1, '@');
    const std::vector<BadDownload> cases = {
        {"G1,A;u0,@;", "the size (x and y) did not come before the columns"},
        {"G2,A;x2;y7;u2,@@;", "column 2 is beyond the width of 2"},
        {"G3,A;x2;y7;u0,@@@;", "column 0 has 3 characters, not 2"},
        {"G4,A;x2;y7;u0,@;", "column 0 has 1 characters, not 2"},
        {"G5,A;x2;y7;u0,@B;", "column 0 sets a dot below row 6"},
        {"G6,A;x2;y7;u0,@ ;", "holds a byte that is no column character"},
        {"G7,A;x70000;y2;", "\"x\" needs a number 0 to 65535"},
        {"G8,A;x-1;y2;", "\"x\" needs a number 0 to 65535"},
        {tooManyDots, "a graphic of 65535 x 65535 dots is more than the simulator keeps"},
        {"G10,A;x2;y2;u0,A;x3;", "the size (x) came after the columns"},
        {"G11,A;x2;y2;ua,A;", "a column command needs"},
        {"G12,A;x2;y2;k5;", "\"k\" is no graphic command"},
        {"G13,A;x0;y5;", "a graphic without dots"},
        {"J61,F,1,4;jabc;", "odd number of hex digits"},
        {"J62,F,1,2;jABCD;", "no lower-case hex digit"},
        {"J63,F,1,2;jzz00;", "no lower-case hex digit"},
        {"J64,F,1,2;jabcdef;", "more data came than the 2 bytes announced"},
        {"J65,F,1,4;jabcd;", "2 of the 4 bytes announced came"},
        {"J66,F,7,4;", "a font header is"},
        {"J67,F,1,99999999999;", "a font header is"},
        {"J68,F,1,0;", "an empty font"},
        {"J69,F,2", "no image lines came"},
        {"T70,F;t65;", "a character came before the cell height (y)"},
        {"T71,F;x8;y12;t65;u0,@@@;", "a column came before its character's t and Z"},
        {"T72,F;x8;y12;t65;Z5;u0,@@;", "character 65: column 0 has 2 characters, not 3"},
        {"T73,F;x8;y12;t65;Z5;u0,@@A;", "character 65: column 0 sets a dot below row 11"},
        {"T74,F;x8;y12;t65;Z5;u65535,@@@;", "a column command needs"},
        {"T75,F;x8;y65535;t65;Z5;u65534," + tallColumn + ";",
         "the font holds more dots than the simulator keeps"},
        {"T76,F;x8;y0;", "\"y\" needs a number 1 to 65535"},
        {"T77,F;x8;y12;", "no character has a column of dots"},
        {"T78,F;x8;y12;t65;", "character 65 has no Z"},
        {"T79,F;x8;y12;t65;Z2;t66,x;", "a character needs a code 0 to 65535"},
        {"T80,F;x8;y12;t65;Z2;u0,@@@;x9;", "the cell size (x) came after a character"},
        {"T81,Bad,Name;x8;", "a header is T<number>,<name>"},
        {"T70000,F;", "the number is not 0 to 65535"},
        {"F1,A,B;H1", "a header is F<number>,<name>"},
        {"G14,This description is far too long for it;x1;y1;u0,A;",
         "a description is 0 to 32 printable characters"},
        {"J0,Resident,1,1;j41;", "font number 0 is taken by a resident font"},
    };
    for (const BadDownload& bad : cases) {
        SCOPED_TRACE(bad.commands.substr(0, 60));
        send({kProgram + bad.commands, "R"});
        EXPECT_NE(sim->lastRefusal().find(bad.reason), std::string::npos) << sim->lastRefusal();
        EXPECT_TRUE(sim->objects(ObjectKind::Graphic).empty());
        EXPECT_TRUE(sim->objects(ObjectKind::Format).empty());
        EXPECT_EQ(ask(kAskMemory), "1024,987");
    }
    EXPECT_TRUE(sim->objects(ObjectKind::Font).empty());
    // A broken download swallows its own data, not the next object's.
    send({kProgram + "G1,A;u0,@;u1,@;G2,B;x1;y1;u0,A;R"});
    EXPECT_FALSE(sim->graphicImage(1));
    EXPECT_TRUE(sim->graphicImage(2));
}

}  // namespace
}  // namespace tarvo::sim

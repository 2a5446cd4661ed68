// Font transfers against the simulated printer and into a configuration file: the exact
// commands of a bitmap conversion, the character ranges, outline downloads of whole files, a
// printer that falls silent part-way, and the fonts the transfers refuse.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "fonts/bitmap_font.h"
#include "fonts/rendered_font.h"
#include "gaugebar.h"
#include "objects/transfers.h"
#include "port/bounded_copy.h"
#include "port/framing.h"
#include "session/kernel_state.h"
#include "support/sim_fixture.h"
#include "support/test_env.h"
#include "tarvo/downloads.h"

namespace tarvo {
namespace {

using Frames = std::vector<std::string>;

const std::string kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

FontInfo BitmapFont(int charRange, int points = 8) {
    FontInfo e{};
    e.source = PCU_FONT_SOURCE_FACE;
    CopyBounded("DejaVu Sans", e.faceName, sizeof e.faceName);
    e.kind = PCU_FONT_KIND_BITMAP;
    e.sizeMode = PCU_SIZE_BY_POINTS;
    e.pointSize = static_cast<std::int16_t>(points);  // 8 points: 12 dots at emulation 0
    e.charRange = static_cast<std::int16_t>(charRange);
    e.id = 7;
    CopyBounded("Sans8", e.newDescription, sizeof e.newDescription);
    return e;
}

FontInfo OutlineFont(const std::string& path, int fontType = PCU_FONT_TYPE_TRUETYPE) {
    FontInfo e{};
    e.source = 1;
    CopyBounded(path, e.path, sizeof e.path);
    e.kind = PCU_FONT_KIND_OUTLINE;
    e.fontType = static_cast<std::int16_t>(fontType);
    e.id = 3;
    CopyBounded("Outline", e.newDescription, sizeof e.newDescription);
    return e;
}

std::string Hex(const std::string& bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    for (const unsigned char c : bytes) {
        out += kDigits[c >> 4];
        out += kDigits[c & 15];
    }
    return out;
}

class FontDownloadTest : public test::SimTest {
  protected:
    void start(sim::Protocol protocol = sim::Protocol::XonXoff) {
        sim::Options o;
        o.line.protocol = protocol;
        startPrinter(o);
    }
    template <class Transfer>
    int toPrinter(Transfer transfer) {
        Connection conn;
        ConnOpen(*FindContext(ctx), conn);
        const int status = transfer(&conn);
        ConnClose(conn);
        printer->settle();
        return status;
    }
    int bitmap(const FontInfo& e, int emulation = 0) {
        return toPrinter([&](Connection* c) { return SendBitmapFont(c, nullptr, e, emulation); });
    }
    int outline(const FontInfo& e) {
        return toPrinter([&](Connection* c) { return SendOutlineFont(c, nullptr, e); });
    }
    // A file that starts like a TrueType font, with `size` bytes counting up.
    std::string fakeTrueType(std::size_t size, const char* tag = "\x00\x01\x00\x00") {
        std::string bytes(tag, 4);
        for (std::size_t i = 4; i < size; ++i)
            bytes += static_cast<char>(i * 7 + 3);
        bytes.resize(size);
        const std::string path = env.root() + "/font.ttf";
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    // What the same face renders to, for comparing with the wire.
    std::string expectedCharacter(unsigned code, int dots) {
        const auto font = fonts::RenderedFont::Open(kDejaVu, 0, fonts::CharSize{dots, 0},
                                                    fonts::CharacterSet::Default);
        return fonts::BitmapCharacterCommands(code, *font->renderCode(code), font->metrics());
    }
};

TEST_F(FontDownloadTest, DigitsSendTheHeaderAndExactlyTenCharacters) {
    start();
    ASSERT_EQ(bitmap(BitmapFont(2)), 0);
    const Frames frames = printer->receivedMessages();
    ASSERT_EQ(frames.size(), 11u);
    // 12 dots per em: ascent 12, descent 3, largest advance 23.
    EXPECT_EQ(frames[0], "T7,Sans8;x23;y15;");
    for (int digit = 0; digit < 10; ++digit) {
        const std::string head = "t" + std::to_string(48 + digit) + ";Z";
        EXPECT_EQ(frames[1 + digit].substr(0, head.size()), head) << frames[1 + digit];
        EXPECT_EQ(frames[1 + digit], expectedCharacter(48 + digit, 12));
    }
    // The one: hinted to a clean stem; every column spans the cell in 15 / 6 + 1 characters.
    // Rows 3 to 11 (the baseline), the stem in column 2 and the foot in columns 0 to 4.
    EXPECT_EQ(frames[2], "t49;Z8;u0,H`@;u1,H`@;u2,x\x7F@;u3,@`@;u4,@`@;")
        << "render once by hand when FreeType's hinting changes";
}

TEST_F(FontDownloadTest, CharacterRangesSendTheirCharacters) {
    start();
    ASSERT_EQ(bitmap(BitmapFont(1)), 0);
    EXPECT_EQ(printer->receivedMessages().size(), 1u + 62);
    printer->clearTranscript();
    ASSERT_EQ(bitmap(BitmapFont(3)), 0);
    const Frames printable = printer->receivedMessages();
    // 95 printable characters, the space among them as blank columns.
    ASSERT_EQ(printable.size(), 1u + 95);
    const std::string space = printable[1];
    EXPECT_EQ(space.substr(0, 6), "t32;Z4") << space;
    EXPECT_EQ(space, "t32;Z4;u0,@@@;u1,@@@;u2,@@@;u3,@@@;");
}

TEST_F(FontDownloadTest, LongCharactersAreSplitUnderTheStandardProtocol) {
    start(sim::Protocol::Standard);
    ASSERT_EQ(bitmap(BitmapFont(2, 72)), 0);  // 102 dots: each character over 256 bytes
    const Frames frames = printer->receivedMessages();
    const std::string one = expectedCharacter('1', 102);
    ASSERT_GE(one.size(), 256u);
    // Reassembled, the frames are the header and the ten characters' texts.
    std::string joined;
    for (const std::string& f : frames) {
        EXPECT_LT(f.size(), 256u);
        joined += f;
    }
    // Split at its semicolons, which travel along but for the last.
    EXPECT_NE(joined.find(one.substr(0, one.size() - 1)), std::string::npos);
    EXPECT_GT(frames.size(), 11u);
}

TEST_F(FontDownloadTest, AFileTargetGetsOneLinePerCommand) {
    std::string file;
    ASSERT_EQ(SendBitmapFont(nullptr, &file, BitmapFont(2), 0), 0);
    EXPECT_EQ(file.substr(0, 29), "<STX>T7,Sans8;x23;y15;<ETX>\r\n");
    EXPECT_NE(file.find("<STX>t49<ETX>\r\n<STX>Z8<ETX>\r\n<STX>u0,H`@<ETX>\r\n"), std::string::npos)
        << file;
}

TEST_F(FontDownloadTest, OutlineDownloadSendsTheWholeFileInHex) {
    start();
    const std::string path = fakeTrueType(300);
    ASSERT_EQ(outline(OutlineFont(path)), 0);
    const Frames frames = printer->receivedMessages();
    const std::string bytes = test::ReadFile(path);
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[0], "J03,Outline,1,300;");
    EXPECT_EQ(frames[1], "j" + Hex(bytes.substr(0, 121)) + ";");
    EXPECT_EQ(frames[1].size(), 244u);
    EXPECT_EQ(frames[2], "j" + Hex(bytes.substr(121, 121)) + ";");
    EXPECT_EQ(frames[3], "j" + Hex(bytes.substr(242)) + ";");
}

TEST_F(FontDownloadTest, OutlineDownloadOfARealFaceIntoAFile) {
    std::string file;
    FontInfo e = OutlineFont("");
    e.source = PCU_FONT_SOURCE_FACE;
    CopyBounded("DejaVu Sans", e.faceName, sizeof e.faceName);
    ASSERT_EQ(SendOutlineFont(nullptr, &file, e), 0);
    const std::string bytes = test::ReadFile(kDejaVu);
    const std::string header = "<STX>J03,Outline,1," + std::to_string(bytes.size()) + ";<ETX>\r\n";
    ASSERT_EQ(file.substr(0, header.size()), header);
    std::string hex;
    std::size_t commands = 0;
    for (std::size_t at = header.size(); at < file.size(); ++commands) {
        const std::size_t end = file.find("\r\n", at);
        const std::string line = file.substr(at, end - at);
        EXPECT_EQ(line.substr(0, 6), "<STX>j");
        hex += line.substr(6, line.size() - 6 - 6);  // without ";<ETX>"
        at = end + 2;
    }
    EXPECT_EQ(hex, Hex(bytes));
    EXPECT_EQ(commands, (bytes.size() + 120) / 121);
}

TEST_F(FontDownloadTest, AWholeNumberOfCommandsEndsWithAnEmptyOne) {
    std::string file;
    ASSERT_EQ(SendOutlineFont(nullptr, &file, OutlineFont(fakeTrueType(242))), 0);
    EXPECT_NE(file.find("<STX>j;<ETX>\r\n"), std::string::npos);
    EXPECT_EQ(file.substr(file.size() - 14), "<STX>j;<ETX>\r\n");
}

// Silences the printer from the first move of the progress bar.
struct Silencer {
    sim::PrinterSim* printer;
    std::vector<std::string> titles;
    int closes = 0;
};

GaugeBackend SilencingBackend(Silencer& silencer) {
    GaugeBackend backend{};
    backend.user = &silencer;
    backend.open = [](void* user, const char* title, int32_t, int32_t) {
        static_cast<Silencer*>(user)->titles.push_back(title);
    };
    backend.update = [](void* user, int32_t) {
        sim::Faults faults;
        faults.silent = true;
        static_cast<Silencer*>(user)->printer->setFaults(faults);
    };
    backend.close = [](void* user) { ++static_cast<Silencer*>(user)->closes; };
    return backend;
}

TEST_F(FontDownloadTest, AFailedSendEndsTheOutlineDownloadWithItsError) {
    start(sim::Protocol::Standard);
    Silencer silencer{printer.get(), {}, 0};
    const GaugeBackend backend = SilencingBackend(silencer);
    SetProgressBackend(&backend);
    const int status = outline(OutlineFont(fakeTrueType(25000)));
    SetProgressBackend(nullptr);
    EXPECT_EQ(status, kFrameNoAck);
    // The first chunk's 82 whole commands went through; the 83rd met the silence.
    const Frames frames = printer->receivedMessages();
    EXPECT_EQ(frames.size(), 1u + 82 + 1) << "the unanswered frame arrived too";
    EXPECT_EQ(silencer.titles, std::vector<std::string>{"Downloading fonts"});
    EXPECT_EQ(silencer.closes, 1);
}

TEST_F(FontDownloadTest, AFailedSendEndsTheBitmapConversionWithItsError) {
    start(sim::Protocol::Standard);
    Silencer silencer{printer.get(), {}, 0};
    const GaugeBackend backend = SilencingBackend(silencer);
    SetProgressBackend(&backend);
    const int status = bitmap(BitmapFont(2));
    SetProgressBackend(nullptr);
    EXPECT_EQ(status, kFrameNoAck);
    EXPECT_EQ(printer->receivedMessages().size(), 3u) << "header, '0', then the unanswered '1'";
    EXPECT_EQ(silencer.titles, std::vector<std::string>{"Downloading fonts"});
    EXPECT_EQ(silencer.closes, 1);
}

TEST_F(FontDownloadTest, FontsThatCannotBeSentAreRefusedBeforeAnyByte) {
    start();
    FontInfo e = OutlineFont(fakeTrueType(300));
    e.status = PCU_STATUS_EMPTY;
    EXPECT_EQ(outline(e), PCU_ERR_EMPTY_FONT);
    e = OutlineFont(fakeTrueType(300), PCU_FONT_TYPE_BITMAP);
    EXPECT_EQ(outline(e), PCU_ERR_NOT_OUTLINE);
    EXPECT_EQ(outline(OutlineFont(fakeTrueType(300, "ttcf"))), PCU_ERR_NOT_OUTLINE)
        << "a collection is never sent whole";
    EXPECT_EQ(outline(OutlineFont(fakeTrueType(300, "OTTO"))), PCU_ERR_NOT_OUTLINE);
    EXPECT_EQ(outline(OutlineFont("/etc/hostname")), PCU_ERR_NOT_OUTLINE) << "not a font";
    EXPECT_EQ(outline(OutlineFont(env.root() + "/missing.ttf")), PCU_ERR_FILE_OPEN);
    e = OutlineFont("");
    e.source = PCU_FONT_SOURCE_FACE;
    CopyBounded("No Such Face", e.faceName, sizeof e.faceName);
    EXPECT_EQ(outline(e), PCU_ERR_FACE);

    FontInfo b = BitmapFont(2);
    CopyBounded("No Such Face", b.faceName, sizeof b.faceName);
    EXPECT_EQ(bitmap(b), PCU_ERR_FACE);
    b.source = 1;
    CopyBounded("/etc/hostname", b.path, sizeof b.path);
    EXPECT_EQ(bitmap(b), PCU_ERR_FACE) << "not a font";
    EXPECT_EQ(bitmap(BitmapFont(2), 7), PCU_ERR_ARGUMENT) << "unknown emulation";
    EXPECT_TRUE(printer->receivedMessages().empty());
}

TEST_F(FontDownloadTest, ASpeedoFileIsSentAsItIs) {
    start();
    const std::string path = fakeTrueType(10, "D4.0");
    ASSERT_EQ(outline(OutlineFont(path, PCU_FONT_TYPE_SPEEDO)), 0);
    EXPECT_EQ(printer->receivedMessages(),
              (Frames{"J03,Outline,0,10;", "j" + Hex(test::ReadFile(path)) + ";"}));
}

}  // namespace
}  // namespace tarvo

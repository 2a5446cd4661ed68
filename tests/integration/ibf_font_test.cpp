// .IBF font images sent as fonts: the memory question before the image and the refusal of an
// image one byte too large, the exact frames on the wire and lines in a configuration file,
// over-long lines and files that are no image, a printer that stops answering part-way, and
// the readers of the image size and of the memory reply.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "gaugebar.h"
#include "objects/ibf_file.h"
#include "objects/transfers.h"
#include "port/bounded_copy.h"
#include "port/framing.h"
#include "port/port.h"
#include "session/kernel_state.h"
#include "support/sim_fixture.h"
#include "support/wire.h"
#include "tarvo/base/notation.h"
#include "tarvo/downloads.h"

namespace tarvo {
namespace {

using test::HostSent;
using Frames = std::vector<std::string>;

// The first lines of an image as the double-byte conversion writes them, framed by raw STX and
// ETX bytes: the sizes, the font header and the start of the offset table.
std::string IbfImage(unsigned long long size) {
    char sizes[64];
    std::snprintf(sizes, sizeof sizes, "\x02&%8llu,%8d,%8d;\x03\n", size, 1052, 1564);
    return std::string(sizes) +
           "\x02$0000001000000018000100000000\x03\n"
           "\x02@00000000\x03\n"
           "\x02%0000041C0000041C0000041C\x03\n";
}

// What the printer receives of that image after the font header.
const Frames kImageFrames = {"&    2000,    1052,    1564;", "$0000001000000018000100000000",
                             "@00000000", "%0000041C0000041C0000041C"};

FontInfo Font(std::uint16_t id, const char* name, const std::string& path) {
    FontInfo entry{};
    entry.id = id;
    CopyBounded(name, entry.newDescription, sizeof entry.newDescription);
    CopyBounded(path, entry.path, sizeof entry.path);
    return entry;
}

class IbfFontTest : public test::SimTest {
  protected:
    void start(unsigned freeKb, sim::Protocol protocol = sim::Protocol::XonXoff) {
        sim::Options o;
        o.memoryFreeKb = freeKb;
        o.line.protocol = protocol;
        startPrinter(o);
    }
    std::string write(const std::string& contents) {
        const std::string path = env.root() + "/KANJI.ibf";
        std::ofstream(path, std::ios::binary) << contents;
        return path;
    }
    int sendToPrinter(const FontInfo& entry) {
        Connection conn;
        ConnOpen(*FindContext(ctx), conn);
        const int status = SendIbfFont(FindContext(ctx), &conn, nullptr, entry);
        ConnClose(conn);
        return status;
    }
    Frames frames() const {
        Frames out;
        for (const std::string& m : printer->receivedMessages())
            out.push_back(RenderMnemonics(m));
        return out;
    }
    Context& context() { return *FindContext(ctx); }
};

TEST_F(IbfFontTest, AnImageOfExactlyTheFreeMemoryIsSent) {
    start(2);
    context().settings.memoryFree = 500;
    ASSERT_EQ(sendToPrinter(Font(5, "KANJI", write(IbfImage(2000)))), 0);
    Frames expected = {"R", "<ESC>m", "<ESC>P", "J5,KANJI,2"};
    expected.insert(expected.end(), kImageFrames.begin(), kImageFrames.end());
    EXPECT_EQ(frames(), expected);
    EXPECT_EQ(context().settings.memoryFree, 2) << "refreshed from the printer's answer";
}

TEST_F(IbfFontTest, AnImageOneByteTooLargeIsRefusedAndRecorded) {
    start(2);
    EXPECT_EQ(sendToPrinter(Font(5, "KANJI", write(IbfImage(2001)))), PCU_ERR_PRINTER_MEMORY);
    EXPECT_EQ(frames(), (Frames{"R", "<ESC>m", "<ESC>P"})) << "back in program mode, no font";
    EXPECT_EQ(context().lastError, PCU_LAST_ERROR_FONT_MEMORY);
    EXPECT_EQ(context().lastSysError, 5);
    EXPECT_STREQ(context().lastErrorText, "KANJI");
}

TEST_F(IbfFontTest, NoFreeMemoryRefusesAnyImageButAnEmptyOne) {
    start(0);
    EXPECT_EQ(sendToPrinter(Font(6, "ONE", write(IbfImage(1)))), PCU_ERR_PRINTER_MEMORY);
    EXPECT_EQ(sendToPrinter(Font(6, "NONE", write(IbfImage(0)))), 0);
}

TEST_F(IbfFontTest, AFileTargetGetsTheImageWithoutAMemoryCheck) {
    start(0);
    context().settings.memoryFree = 0;
    std::string file;
    ASSERT_EQ(SendIbfFont(nullptr, nullptr, &file, Font(5, "KANJI", write(IbfImage(2000)))), 0);
    EXPECT_EQ(file,
              "<STX>J5,KANJI,2<ETX>\r\n"
              "<STX>&    2000,    1052,    1564;<ETX>\r\n"
              "<STX>$0000001000000018000100000000<ETX>\r\n"
              "<STX>@00000000<ETX>\r\n"
              "<STX>%0000041C0000041C0000041C<ETX>\r\n");
    EXPECT_EQ(HostSent(*printer), "");
}

TEST_F(IbfFontTest, LinesOver255CharactersEndTheImageWithReadError) {
    const std::string longest = "\x02@" + std::string(253, '0');  // 255 with its STX
    std::string file;
    ASSERT_EQ(
        SendIbfFont(nullptr, nullptr, &file, Font(5, "K", write(IbfImage(9) + longest + "\n"))), 0);
    EXPECT_NE(file.find("<STX>@" + std::string(253, '0') + "<ETX>\r\n"), std::string::npos);

    file.clear();
    const std::string image = IbfImage(9);
    EXPECT_EQ(
        SendIbfFont(nullptr, nullptr, &file, Font(5, "K", write(image + longest + "0\n@0\n"))),
        PCU_ERR_FILE_READ);
    EXPECT_EQ(file.find("@00000000000000"), std::string::npos) << "nothing of the long line";
    EXPECT_EQ(file.find("<STX>@0<ETX>"), std::string::npos) << "nor what follows it";
    EXPECT_NE(file.find("<STX>%0000041C0000041C0000041C<ETX>\r\n"), std::string::npos);

    start(987);
    EXPECT_EQ(sendToPrinter(Font(5, "K", write(image + std::string(100 * 1024, '@') + "\n"))),
              PCU_ERR_FILE_READ);
    EXPECT_EQ(frames().size(), 8u) << "three around the question, the header, four short lines";
}

TEST_F(IbfFontTest, AFileThatStatesNoImageSizeIsNotSent) {
    start(987);
    for (const std::string& contents :
         {std::string(""), std::string("\x02&none,1052;\x03\n\x02@00\x03\n"),
          std::string("\x02&") + std::string(300, '1') + "\x03\n"}) {
        std::string file;
        EXPECT_EQ(SendIbfFont(nullptr, nullptr, &file, Font(5, "K", write(contents))),
                  PCU_ERR_FILE_READ);
        EXPECT_EQ(file, "");
        EXPECT_EQ(sendToPrinter(Font(5, "K", write(contents))), PCU_ERR_FILE_READ);
    }
    EXPECT_EQ(HostSent(*printer), "");
    EXPECT_EQ(sendToPrinter(Font(5, "K", env.root() + "/missing.ibf")), PCU_ERR_FILE_OPEN);
    EXPECT_EQ(HostSent(*printer), "");
}

TEST_F(IbfFontTest, ALineThatGoesAwayDuringTheQuestionEndsTheSend) {
    sim::Options o;
    o.faults.closeAfterReplyBytes = 3;  // the memory answer is cut off, then the line is gone
    startPrinter(o);
    EXPECT_EQ(sendToPrinter(Font(5, "KANJI", write(IbfImage(2000)))), kPortWriteFailed)
        << "returning to program mode found the line gone";
    EXPECT_EQ(HostSent(*printer), "<STX>R<ETX><STX><ESC>m<ETX>");
}

TEST_F(IbfFontTest, APrinterThatFallsSilentPartWayEndsTheSendWithItsError) {
    start(987, sim::Protocol::Standard);
    struct Silencer {
        sim::PrinterSim* printer;
        std::vector<std::string> events;
    } silencer{printer.get(), {}};
    GaugeBackend backend{};
    backend.user = &silencer;
    backend.open = [](void* user, const char* title, int32_t, int32_t) {
        static_cast<Silencer*>(user)->events.push_back(title);
    };
    backend.update = [](void* user, int32_t) {
        sim::Faults faults;
        faults.silent = true;
        static_cast<Silencer*>(user)->printer->setFaults(faults);
    };
    backend.close = [](void* user) { static_cast<Silencer*>(user)->events.push_back("close"); };
    SetProgressBackend(&backend);
    const int status = sendToPrinter(Font(5, "KANJI", write(IbfImage(2000))));
    SetProgressBackend(nullptr);

    EXPECT_EQ(status, kFrameNoAck);
    const std::string sent = HostSent(*printer);
    // Silent from the first move of the bar, after the first image line was taken.
    EXPECT_NE(sent.find("<STX>$0000001000000018000100000000<ETX><ENQ>"), std::string::npos) << sent;
    EXPECT_EQ(sent.find("@00000000"), std::string::npos);
    EXPECT_EQ(silencer.events, (std::vector<std::string>{"Downloading .IBF file", "close"}));
}

TEST(IbfReaders, ImageSizeIsTheFirstFieldsNumber) {
    EXPECT_EQ(IbfImageSize("\x02&    1234,    1052,    1564;\x03"), 1234u);
    EXPECT_EQ(IbfImageSize("&12\x02"
                           "34,5"),
              1234u)
        << "frame bytes go first";
    EXPECT_EQ(IbfImageSize("&ab7c9,5"), 7u) << "from the first digit, up to the first non-digit";
    EXPECT_EQ(IbfImageSize(std::string("&") + std::string(40, '9')), UINT64_MAX);
    EXPECT_EQ(IbfImageSize("&abc,1234"), std::nullopt);
    EXPECT_EQ(IbfImageSize(""), std::nullopt);
}

TEST(IbfReaders, FreeMemoryIsTheNumberAfterTheFirstComma) {
    EXPECT_EQ(FreeMemoryFromReply("1024,987"), 987);
    EXPECT_EQ(FreeMemoryFromReply("1024,?"), 0) << "unknown counts as none";
    EXPECT_EQ(FreeMemoryFromReply("?,?"), 0);
    EXPECT_EQ(FreeMemoryFromReply("\x11"
                                  "1024, 55\r"),
              55);
    EXPECT_EQ(FreeMemoryFromReply("1024,987,3"), 987);
    EXPECT_EQ(FreeMemoryFromReply("1024,9999999"), 65535);
    EXPECT_EQ(FreeMemoryFromReply("1024"), std::nullopt);
    EXPECT_EQ(FreeMemoryFromReply("1024,"), std::nullopt);
    EXPECT_EQ(FreeMemoryFromReply("1024,x5"), std::nullopt);
}

}  // namespace
}  // namespace tarvo

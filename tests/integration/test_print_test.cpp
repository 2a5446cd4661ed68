// Test labels on the simulated printer: the exact messages of built-in labels, stored formats
// and pages, and composed labels (their format text, the temporary format number chosen from a
// fresh listing, and its erasure), plus refusals before any traffic.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "session/kernel_state.h"
#include "support/sim_fixture.h"
#include "tarvo/kernel.h"

namespace tarvo {
namespace {

using Messages = std::vector<std::string>;

constexpr int k6220E = 18;
const std::string kPing = "\x1bM1";
const std::string kListFormats = "\x1bx";

sim::ObjectEntry StoredFormat(unsigned id) {
    return {sim::ObjectKind::Format, {id, "F" + std::to_string(id), "", 10}};
}

// What a composed label sends after the ping and the listing, for temporary format `n`. An
// empty listing is believed only once the printer has answered another ping.
Messages ComposedMessages(int n, const std::string& format, bool listed = false) {
    const std::string number = std::to_string(n);
    Messages sent{kPing, kListFormats};
    if (!listed)
        sent.push_back(kPing);
    const Messages label{"\x1bP",
                         format,
                         "R",
                         "\x1b"
                         "E" +
                             number + "\x17",
                         "\x1bP",
                         "E" + number,
                         "R"};
    sent.insert(sent.end(), label.begin(), label.end());
    return sent;
}

// The format text of the composed label the printer received last.
std::string FormatText(const Messages& sent) {
    for (std::size_t i = sent.size(); i-- > 1;) {
        if (sent[i - 1] == "\x1bP" && sent[i].rfind("E", 0) == 0 &&
            sent[i].find(";F") != std::string::npos)
            return sent[i];
    }
    return {};
}

class TestPrintTest : public test::SimTest {
  protected:
    void start(std::vector<sim::ObjectEntry> objects = {}, int model = k6220E) {
        sim::Options o;
        o.model = model;
        o.objects = std::move(objects);
        startPrinter(o);
        context().settings.model = static_cast<std::int16_t>(model);
    }
    Context& context() { return *FindContext(ctx); }
    int barcode(int index, int labelSize = PCU_LABEL_2X3) {
        return PCUTestPrint(ctx, PCU_TEST_BARCODE, labelSize, 0, 0, 0, 0, index);
    }
    int fontLabel(int font, int points, int labelSize) {
        return PCUTestPrint(ctx, PCU_TEST_FONT, labelSize, 0, font, points, 0, 0);
    }
};

TEST_F(TestPrintTest, BuiltInLabelsSendTheirLetterInTestMode) {
    start();
    struct Case {
        int selector;
        const char* letter;
    };
    for (const Case c : {Case{1, "h"}, Case{2, "Q"}, Case{3, "C"}, Case{0, "s"}, Case{9, "s"}}) {
        printer->clearTranscript();
        ASSERT_EQ(PCUTestPrint(ctx, PCU_TEST_BUILT_IN, 0, c.selector, 0, 0, 0, 0), PCU_OK);
        EXPECT_EQ(printer->receivedMessages(),
                  (Messages{kPing, "\x1bT;", std::string(c.letter) + ";", "R"}))
            << c.selector;
    }
    EXPECT_EQ(printer->printedLabels(), (Messages{"test label h", "test label Q", "test label C",
                                                  "test label s", "test label s"}));
}

TEST_F(TestPrintTest, StoredFormatsAndPagesArePrintedByNumber) {
    start({StoredFormat(7), {sim::ObjectKind::Page, {2, "", "", 10}}});
    ASSERT_EQ(PCUTestPrint(ctx, PCU_TEST_FORMAT, 0, 7, 0, 0, 0, 0), PCU_OK);
    ASSERT_EQ(PCUTestPrint(ctx, PCU_TEST_PAGE, 0, 2, 0, 0, 0, 0), PCU_OK);
    EXPECT_EQ(printer->receivedMessages(), (Messages{kPing,
                                                     "\x1b"
                                                     "E7\x17",
                                                     kPing, "\x1bG2\x17"}));
    EXPECT_EQ(printer->printedLabels(), (Messages{"format 7", "page 2"}));
}

TEST_F(TestPrintTest, BarCodeLabelsPrintTwoSymbolsBelowPdf417AndOneFromThereOn) {
    start();
    ASSERT_EQ(barcode(14), PCU_OK);
    const std::string postnet =
        "E1;F1;B1;o8,38;c11;i1;f0;d3,0123456789;H0;o40,15;c2;h1;w1;f0;d3,Postnet        ;"
        "B2;o112,225;c11;i1;f1;d3,0123456789;";
    EXPECT_EQ(printer->receivedMessages(), ComposedMessages(1, postnet));

    printer->clearTranscript();
    ASSERT_EQ(barcode(15), PCU_OK);
    const std::string pdf417 =
        "E1;F1;B1;o8,38;c12,1,3,0;w5;h15;i0;f0;d3,0123456789;H0;o40,15;c2;h1;w1;f0;"
        "d3,PDF417         ;";
    EXPECT_EQ(printer->receivedMessages(), ComposedMessages(1, pdf417));

    // Each label was printed from its format, and the temporary format is gone again.
    const Messages printed = printer->printedLabels();
    ASSERT_EQ(printed.size(), 2u);
    EXPECT_EQ(printed[0], "format 1: " + postnet.substr(6, postnet.size() - 7));
    EXPECT_EQ(printed[1], "format 1: " + pdf417.substr(6, pdf417.size() - 7));
    EXPECT_TRUE(printer->objects(sim::ObjectKind::Format).empty());
}

TEST_F(TestPrintTest, BarCodeOriginsFollowLabelSizeAndEmulation) {
    start();
    context().settings.emulation = 3;
    ASSERT_EQ(barcode(0, PCU_LABEL_4X6), PCU_OK);
    EXPECT_EQ(FormatText(printer->receivedMessages()),
              "E1;F1;B1;o30,150;c0,0;p@;h100;i1;f0;d3,0123456789;H0;o40,15;c2;h1;w1;f0;"
              "d3,Code 39        ;B2;o450,900;c0,0;p@;h100;i1;f1;d3,0123456789;");
}

TEST_F(TestPrintTest, MaxicodeCarriesItsControlCharactersToThePrinter) {
    start();
    ASSERT_EQ(barcode(17), PCU_OK);
    const std::string text = FormatText(printer->receivedMessages());
    EXPECT_NE(text.find("f0;d3,[)>\x1a\x1e"
                        "01\x1a\x1d"
                        "95555012340"),
              std::string::npos);
    EXPECT_NE(text.find("WA\x1a\x1e\x1a\x04;H0;o40,15;"), std::string::npos);
    EXPECT_EQ(text.find("B2;"), std::string::npos);
    EXPECT_EQ(printer->printedLabels().size(), 1u);
}

TEST_F(TestPrintTest, FontLabelNamesAStoredFontAndCarriesThePointSize) {
    start({{sim::ObjectKind::Font, {60, "Swiss 721", "400", 4096}}});
    std::uint16_t count = 0;
    ASSERT_EQ(PCUGetFonts(ctx, &count), PCU_OK);
    printer->clearTranscript();
    context().settings.emulation = 2;
    ASSERT_EQ(fontLabel(60, 12, PCU_LABEL_4X6), PCU_OK);
    EXPECT_EQ(FormatText(printer->receivedMessages()),
              "E1;F1;H0;o30,260;c60;h1;w1;f1;d3,Swiss 721: Font number 60;k12;"
              "H1;o393,260;c60;h1;w1;f2;d3,Swiss 721: Font number 60;k12;");
}

TEST_F(TestPrintTest, FontLabelOfAnUnlistedFontHasNoDescription) {
    start();
    ASSERT_EQ(fontLabel(5, 0, PCU_LABEL_2X3), PCU_OK);
    EXPECT_EQ(FormatText(printer->receivedMessages()),
              "E1;F1;H0;o30,195;c5;h1;w1;f1;d3,: Font number 5;"
              "H1;o295,195;c5;h1;w1;f2;d3,: Font number 5;");
}

TEST_F(TestPrintTest, FontDescriptionThatWouldBreakTheFormatIsLeftOut) {
    start();
    FontInfo font{};
    font.id = 61;
    font.status = PCU_STATUS_STORED;
    std::snprintf(font.description, sizeof font.description, "%s", "A;c9<ESC>");
    ASSERT_EQ(PCUPutFontInfo(ctx, 61, &font), PCU_OK);
    ASSERT_EQ(fontLabel(61, 0, PCU_LABEL_2X3), PCU_OK);
    EXPECT_NE(FormatText(printer->receivedMessages()).find("f1;d3,: Font number 61;"),
              std::string::npos);
}

TEST_F(TestPrintTest, GraphicLabelPlacesTheGraphicAtTheOrigin) {
    start();
    ASSERT_EQ(PCUTestPrint(ctx, PCU_TEST_GRAPHIC, 0, 0, 0, 0, 7, 0), PCU_OK);
    EXPECT_EQ(printer->receivedMessages(), ComposedMessages(1, "E1;F1;U1;o0,0;c7;w1;h1;"));
}

TEST_F(TestPrintTest, TemporaryFormatIsTheStoredLocationWhenFreeElseTheLowestFree) {
    struct Case {
        std::vector<unsigned> stored;
        const char* formatLoc;  // null: not in the profile
        int expected;
    };
    const Case cases[] = {
        {{}, nullptr, 1},    {{1, 2, 4}, nullptr, 3}, {{1, 2, 3}, nullptr, 4}, {{1, 2, 3}, "7", 7},
        {{1, 2, 4}, "4", 3}, {{2}, "0", 1},           {{1}, "x", 2},           {{5}, "100", 1},
    };
    for (const Case& c : cases) {
        std::vector<sim::ObjectEntry> objects;
        for (unsigned id : c.stored)
            objects.push_back(StoredFormat(id));
        env.setProfile("FormatLoc", c.formatLoc != nullptr ? c.formatLoc : "");
        start(objects);
        ASSERT_EQ(PCUTestPrint(ctx, PCU_TEST_GRAPHIC, 0, 0, 0, 0, 1, 0), PCU_OK);
        const std::string n = std::to_string(c.expected);
        EXPECT_EQ(printer->receivedMessages(),
                  ComposedMessages(c.expected, "E" + n + ";F" + n + ";U1;o0,0;c1;w1;h1;",
                                   !c.stored.empty()))
            << (c.formatLoc != nullptr ? c.formatLoc : "(none)");
    }
}

TEST_F(TestPrintTest, TemporaryFormatNumberComesFromTheModels4And5AlikeAndLeavesTheListAlone) {
    for (int model : {4, 5}) {
        start({StoredFormat(1), StoredFormat(2), StoredFormat(4)}, model);
        // The context's own list is stale on purpose: the fresh listing decides.
        std::uint16_t count = 0;
        ASSERT_EQ(PCUGetFormatCount(ctx, &count), PCU_OK);
        ASSERT_EQ(count, 0);
        ASSERT_EQ(barcode(1), PCU_OK);
        EXPECT_EQ(FormatText(printer->receivedMessages()).substr(0, 6), "E3;F3;") << model;
        ASSERT_EQ(PCUGetFormatCount(ctx, &count), PCU_OK);
        EXPECT_EQ(count, 0);
        EXPECT_EQ(printer->objects(sim::ObjectKind::Format).size(), 3u);
    }
}

TEST_F(TestPrintTest, NoFreeFormatNumberIsRefusedBeforeAnythingIsDefined) {
    std::vector<sim::ObjectEntry> objects;
    for (unsigned id = 1; id <= 99; ++id)
        objects.push_back(StoredFormat(id));
    start(objects);
    EXPECT_EQ(barcode(0), PCU_ERR_NO_FREE_FORMAT);
    EXPECT_EQ(printer->receivedMessages(), (Messages{kPing, kListFormats}));
    EXPECT_EQ(context().lastError, PCU_ERR_NO_FREE_FORMAT);
    EXPECT_NE(std::string(PCUErrStr(ctx)).find("99"), std::string::npos);
    EXPECT_TRUE(printer->printedLabels().empty());
}

TEST_F(TestPrintTest, NoListingMeansNoTemporaryFormat) {
    constexpr int k5200A = 0;  // cannot list its formats
    start({StoredFormat(1)}, k5200A);
    EXPECT_EQ(barcode(0), PCU_ERR_NO_FREE_FORMAT);
    EXPECT_EQ(printer->receivedMessages(), Messages{kPing});
    EXPECT_EQ(context().lastError, PCU_ERR_NO_FREE_FORMAT);

    EXPECT_EQ(printer->objects(sim::ObjectKind::Format).size(), 1u) << "format 1 is still there";

    // A printer that lists nothing and then answers no ping either: its silence is no listing.
    start();
    test::FakeClock silencing{[this] {
        settlePrinter();
        const Messages heard = printer->receivedMessages();
        if (std::find(heard.begin(), heard.end(), kListFormats) != heard.end()) {
            sim::Faults silent;
            silent.silent = true;
            printer->setFaults(silent);
        }
    }};
    platform::SetClock(&silencing);
    EXPECT_EQ(barcode(0), PCU_ERR_NO_FREE_FORMAT);
    platform::SetClock(clock.get());
    EXPECT_EQ(printer->receivedMessages(), (Messages{kPing, kListFormats, kPing}));
    EXPECT_TRUE(printer->printedLabels().empty());
}

TEST_F(TestPrintTest, SilentPrinterGetsOnlyThePing) {
    sim::Options o;
    o.faults.silent = true;
    startPrinter(o);
    for (int kind : {PCU_TEST_FORMAT, PCU_TEST_BARCODE, PCU_TEST_BUILT_IN}) {
        printer->clearTranscript();
        EXPECT_EQ(PCUTestPrint(ctx, kind, 0, 1, 0, 0, 0, 0), PCU_ERR_NO_PING);
        EXPECT_EQ(printer->receivedMessages(), Messages{kPing}) << kind;
    }
}

TEST_F(TestPrintTest, BadArgumentsAreRefusedWithoutTraffic) {
    start();
    EXPECT_EQ(PCUTestPrint(ctx, 6, 0, 0, 0, 0, 0, 0), PCU_ERR_ARGUMENT);
    EXPECT_EQ(barcode(PCU_BARCODE_SAMPLES), PCU_ERR_ARGUMENT);
    EXPECT_EQ(barcode(0, 2), PCU_ERR_ARGUMENT);
    context().settings.emulation = 5;
    EXPECT_EQ(fontLabel(1, 0, 0), PCU_ERR_ARGUMENT);
    EXPECT_EQ(PCUTestPrint(0, PCU_TEST_BUILT_IN, 0, 0, 0, 0, 0, 0), PCU_ERR_NO_CONTEXT);
    EXPECT_TRUE(printer->receivedMessages().empty());
    EXPECT_STREQ(PCUGetBarcodeSampleName(19), "QR Code        ");
    EXPECT_EQ(PCUGetBarcodeSampleName(20), nullptr);
}

}  // namespace
}  // namespace tarvo

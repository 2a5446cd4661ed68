// The connection, test print and firmware dialogs' logic without a printer: the search
// window's trial fields and texts, the test print lists, masks and arguments, and the
// firmware page's messages.
#include <gtest/gtest.h>

#include "desk/connection_search.h"
#include "desk/firmware_messages.h"
#include "desk/test_print.h"
#include "tarvo/firmware.h"
#include "tarvo/models.h"

namespace tarvo::app {
namespace {

commState Trial(int port, int baud, int parity, int bits, int stop, int protocol) {
    commState c{};
    c.port = port;
    c.baud = baud;
    c.parity = parity;
    c.dataBits = bits;
    c.stopBits = stop;
    c.protocol = protocol;
    return c;
}

TEST(SearchWindow, SerialTrialShowsEveryField) {
    const TrialFields f = DescribeTrial(
        Trial(PCU_PORT_COM2, 19200, PCU_PARITY_MARK, 8, 2, PCU_PROTOCOL_RTSCTS), false);
    EXPECT_EQ(f.port, "COM2");
    EXPECT_EQ(f.baud, "19200");
    EXPECT_EQ(f.parity, "MARK");
    EXPECT_EQ(f.dataBits, "8");
    EXPECT_EQ(f.stopBits, "2");
    EXPECT_EQ(f.protocol, "RTS/CTS");
    EXPECT_TRUE(f.serialFieldsEnabled);
    EXPECT_TRUE(f.baudEnabled);

    EXPECT_EQ(DescribeTrial(Trial(PCU_PORT_COM1, 9600, PCU_PARITY_EVEN, 7, 1, 1), false).protocol,
              "STANDARD");
    EXPECT_EQ(DescribeTrial(Trial(PCU_PORT_COM1, 9600, 9, 7, 1, 0), false).parity, "EVEN");
    EXPECT_EQ(DescribeTrial(Trial(PCU_PORT_COM1, 9600, 9, 7, 1, 0), false).protocol, "XON/XOFF");
}

TEST(SearchWindow, ParallelTrialBlanksAndDisablesTheSerialFields) {
    const TrialFields f = DescribeTrial(Trial(PCU_PORT_LPT1, 0, PCU_PARITY_ODD, 8, 1, 3), true);
    EXPECT_EQ(f.port, "LPT1");
    EXPECT_EQ(f.baud, "");
    EXPECT_FALSE(f.baudEnabled);
    EXPECT_FALSE(f.serialFieldsEnabled);
    EXPECT_EQ(f.parity, "");
    EXPECT_EQ(f.dataBits, "");
    EXPECT_EQ(f.stopBits, "");
    EXPECT_EQ(f.protocol, "PARALLEL");
    EXPECT_EQ(DescribeTrial(Trial(PCU_PORT_LPT3, 0, 0, 0, 0, 3), true).port, "LPT3");
    EXPECT_EQ(DescribeTrial(Trial(42, 0, 0, 0, 0, 3), true).port, "LPT1");
}

TEST(SearchWindow, ButtonCancelsARunningSearchAndGivesUp) {
    SessionFlags flags;
    SearchWindowModel window(flags);
    int changes = 0;
    window.onChange = [&] { ++changes; };
    window.Reset();
    window.Trial(Trial(PCU_PORT_COM1, 9600, 0, 7, 1, 0));
    EXPECT_TRUE(window.running());
    EXPECT_FALSE(window.CancelRequested());
    window.PressButton();
    EXPECT_TRUE(window.CancelRequested());
    EXPECT_TRUE(flags.giveUp);
    EXPECT_TRUE(window.closeRequested());
    EXPECT_FALSE(flags.autoConnectSucceeded);
    EXPECT_EQ(changes, 3);
}

TEST(SearchWindow, GroupChoicesSendTheirSearchMessages) {
    EXPECT_EQ(GroupSearchMessage(PrinterGroup::Lanmere), 0x400u + 101);
    EXPECT_EQ(GroupSearchMessage(PrinterGroup::Brakenholm), 0x400u + 104);
    EXPECT_EQ(GroupSearchMessage(PrinterGroup::DontKnow), 0x400u + 105);
    EXPECT_EQ(ProblemDialogTexts().heading, "PRINTER COMMUNICATION PROBLEM");
}

constexpr int kG5Qel = 15;

TEST(TestPrint, G5QelOffersEverySymbologyButCode1) {
    char name[PROP_NAME_SIZE] = "";
    ASSERT_EQ(propGetPrinterStr(kG5Qel, name), 1);
    ASSERT_STREQ(name, "G5-QEL");
    const std::uint32_t mask = SymbologyMask(kG5Qel);
    const auto list = SymbologyList(mask);
    ASSERT_EQ(list.size(), 19u);
    EXPECT_EQ(list[16], "Maxicode       ");
    EXPECT_EQ(list[18], "QR Code        ");
    for (const auto& entry : list)
        EXPECT_EQ(entry.size(), 15u);

    TestPrintChoice c;
    c.user = UserDefinedOption::BarCode;
    c.symbologyPosition = 16;  // the 17th entry
    c.largeLabel = true;
    EXPECT_EQ(TestPrintArgsFor(c, kG5Qel), (TestPrintArgs{3, 1, 0, 0, 0, 0, 17}));
}

TEST(TestPrint, EveryModelOffersTheFifteenBasicSymbologies) {
    for (int m = 0; m <= PROP_DEFAULT_MODEL; ++m)
        EXPECT_EQ(SymbologyMask(m) & 0x7FFFu, 0x7FFFu) << m;
    EXPECT_EQ(SymbologyMask(0), 0x7FFFu);  // 5200A: those only
    EXPECT_EQ(SymbologyMask(-1), 0u);
    EXPECT_EQ(SymbologyMask(26), 0u);
    EXPECT_EQ(SymbologyList(SymbologyMask(0)).size(), 15u);
    EXPECT_EQ(SymbologyAt(SymbologyMask(0), 15), 0);  // past the list: number 0
}

TEST(TestPrint, LabelSizesFollowTheMeasurementMode) {
    const LabelSizeText metric = LabelSizes(true);
    EXPECT_EQ(metric.title, "Label Size (cm)");
    EXPECT_EQ(metric.small, "5cm x 8cm");
    EXPECT_EQ(metric.large, "10cm x 15cm");
    const LabelSizeText inch = LabelSizes(false);
    EXPECT_EQ(inch.title, "Label Size (inches)");
    EXPECT_EQ(inch.small, "2\" x 3\"");
    EXPECT_EQ(inch.large, "4\" x 6\"");
}

TEST(TestPrint, EnableMaskFollowsTheChoices) {
    using U = UserDefinedOption;
    EXPECT_EQ(TestPrintEnableMask(PrintOption::TestLabel, 0, U::Text), 0x37u);
    EXPECT_EQ(TestPrintEnableMask(PrintOption::TestLabel, 0, U::Graphic), 0x47u);
    EXPECT_EQ(TestPrintEnableMask(PrintOption::TestLabel, 0, U::BarCode), 0x107u);
    EXPECT_EQ(TestPrintEnableMask(PrintOption::TestLabel, 2, U::BarCode), 0x1u);
    EXPECT_EQ(TestPrintEnableMask(PrintOption::Format, 0, U::Text), 0x8u);
    EXPECT_EQ(TestPrintEnableMask(PrintOption::Page, 3, U::Graphic), 0x80u);
}

TEST(TestPrint, ArgumentsForEachKindOfTest) {
    TestPrintChoice c;
    c.option = PrintOption::Format;
    c.formatEntry = "FRMT07  Shipping  ";
    EXPECT_EQ(TestPrintArgsFor(c, 18), (TestPrintArgs{0, 0, 7, 0, 0, 0, 0}));
    c.formatEntry.clear();  // no stored formats: number 0
    EXPECT_EQ(TestPrintArgsFor(c, 18), (TestPrintArgs{0, 0, 0, 0, 0, 0, 0}));

    c.option = PrintOption::Page;
    c.pageEntry = "PAGE03  Pagefile";
    EXPECT_EQ(TestPrintArgsFor(c, 18), (TestPrintArgs{4, 0, 3, 0, 0, 0, 0}));

    c.option = PrintOption::TestLabel;
    c.testLabel = 4;  // "Pitch"
    c.largeLabel = true;
    EXPECT_EQ(TestPrintArgsFor(c, 18), (TestPrintArgs{5, 0, 3, 0, 0, 0, 0}));

    c.testLabel = kUserDefinedLabel;
    c.user = UserDefinedOption::Text;
    c.fontEntry = "FONT12  Swiss";
    c.fontHasSizes = true;
    c.pointSize = 24;
    EXPECT_EQ(TestPrintArgsFor(c, 18), (TestPrintArgs{1, 1, 0, 12, 24, 0, 0}));
    c.fontHasSizes = false;
    c.fontEntry = "60";  // typed
    EXPECT_EQ(TestPrintArgsFor(c, 18), (TestPrintArgs{1, 1, 0, 60, 0, 0, 0}));

    c.user = UserDefinedOption::Graphic;
    c.largeLabel = false;
    c.graphicEntry = "GRFX05  Logo";
    EXPECT_EQ(TestPrintArgsFor(c, 18), (TestPrintArgs{2, 0, 0, 0, 0, 5, 0}));
}

TEST(TestPrint, TypedFontNumbersMustBeDigitsTheModelAllows) {
    EXPECT_FALSE(TypedFontAccepted("", 18));
    EXPECT_FALSE(TypedFontAccepted("1a", 18));
    EXPECT_FALSE(TypedFontAccepted("-3", 18));
    EXPECT_FALSE(TypedFontAccepted("99999999999", 18));
    EXPECT_EQ(TypedFontAccepted("40", 18), propCheckFontLoc(18, 40) == 0);
    EXPECT_EQ(TypedFontAccepted("0", 18), propCheckFontLoc(18, 0) == 0);
}

TEST(FirmwareMessages, ResultsWithTheirTexts) {
    EXPECT_EQ(FirmwareResultString(PCU_FW_CANNOT_OPEN), 61242);
    EXPECT_EQ(FirmwareResultString(kFirmwareNoAnswer), 61243);
    for (int code : {11, 12, 121})
        EXPECT_EQ(FirmwareResultString(code), 61244) << code;
    EXPECT_EQ(FirmwareResultString(16), 61245);
    for (int code : {31, 130, 131, 132, 133, 140, 141, 142, 143, 144, 145, 146})
        EXPECT_EQ(FirmwareResultString(code), 61246) << code;
    EXPECT_EQ(FirmwareResultString(100), 61247);
    EXPECT_EQ(FirmwareResultString(kFirmwareInvalidationFailed), 61248);
    for (int code : {0, 4, 30, 34, 129, 134, 139, 147})
        EXPECT_EQ(FirmwareResultString(code), 0) << code;

    EXPECT_EQ(FirmwareResultMessage(143),
              "Firmware download command file contains a syntax error.");
    EXPECT_EQ(FirmwareResultMessage(4), "");
    EXPECT_EQ(FirmwareResultMessage(33),
              "Unable to communicate with the printer. If the firmware is already invalid check "
              "the \"Printer in boot mode\" checkbox.");
}

}  // namespace
}  // namespace tarvo::app

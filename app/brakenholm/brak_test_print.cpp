#include "brakenholm/brak_test_print.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "brakenholm/brak_host.h"
#include "brakenholm/brak_name_listing.h"
#include "brakenholm/brak_sample_size.h"
#include "brakenholm/brak_transfer.h"
#include "brakenholm/value_tables.h"

namespace tarvo::app {
namespace {

constexpr std::string_view kPlainFirstData = "123456";
constexpr std::string_view kPlainSecondData = "567890";

constexpr std::array<BrakSymbology, 36> kSymbologies{{
    {"Codabar", "CODABAR", "A12345B", "C67890D"},
    {"Code 11", "CODE11", kPlainFirstData, kPlainSecondData},
    {"Code 16K", "CODE16K", kPlainFirstData, kPlainSecondData},
    {"Code 39", "CODE39", kPlainFirstData, kPlainSecondData},
    {"Code 39 full ASCII", "CODE39A", kPlainFirstData, kPlainSecondData},
    {"Code 39 w. checksum", "CODE39C", kPlainFirstData, kPlainSecondData},
    {"Code 49", "CODE49", kPlainFirstData, kPlainSecondData},
    {"Code 93", "CODE93", kPlainFirstData, kPlainSecondData},
    {"Code 128", "CODE128", kPlainFirstData, kPlainSecondData},
    {"DUN-14/16", "DUN", kPlainFirstData, kPlainSecondData},
    {"EAN-8", "EAN8", "1234567", "4567890"},
    {"EAN-13", "EAN13", "123456789012", "567890123456"},
    {"EAN-128", "EAN128", kPlainFirstData, kPlainSecondData},
    {"5-Char Supplemental Code", "ADDON5", "12345", "67890"},
    {"Industrial 2 of 5", "C2OF5IND", kPlainFirstData, kPlainSecondData},
    {"Industrial 2 of 5 w. checksum", "C2OF5INDC", kPlainFirstData, kPlainSecondData},
    {"Interleaved 2 of 5", "INT2OF5", kPlainFirstData, kPlainSecondData},
    {"Interleaved 2 of 5 w. checksum", "INT2OF5C", kPlainFirstData, kPlainSecondData},
    {"Interleaved 2 of 5 A", "I2OF5A", kPlainFirstData, kPlainSecondData},
    {"LEB", "LEB", kPlainFirstData, kPlainSecondData},
    {"Matrix 2 of 5", "C2OF5MAT", kPlainFirstData, kPlainSecondData},
    {"MaxiCode", "MAXICODE", "", ""},
    {"MSI(modified Plessey)", "MSI", kPlainFirstData, kPlainSecondData},
    {"PDF417", "PDF417", kPlainFirstData, kPlainSecondData},
    {"Philips", "PHILIPS", kPlainFirstData, kPlainSecondData},
    {"Philips (alternative designation)", "DOT CODE A", kPlainFirstData, kPlainSecondData},
    {"Plessey", "PLESSEY", kPlainFirstData, kPlainSecondData},
    {"Straight 2 of 5", "C2OF5", kPlainFirstData, kPlainSecondData},
    {"2-Char Supplemental Code", "ADDON2", "12", "34"},
    {"UCC-128 Serial Ship. Container Code", "UCC128", "0000012345123456789", "0000067890123456789"},
    {"UPC-5 digits Add-On Code", "SCCADDON", kPlainFirstData, kPlainSecondData},
    {"UPC-A", "UPCA", kPlainFirstData, kPlainSecondData},
    {"UPC-B", "UPCB", kPlainFirstData, kPlainSecondData},
    {"UPC-E", "UPCE", kPlainFirstData, kPlainSecondData},
    {"UPC Shipping Container Code", "UPCSCC", kPlainFirstData, kPlainSecondData},
    {"USD5", "USD5", kPlainFirstData, kPlainSecondData},
}};

// MaxiCode carries a structured message (postal code, country, class and text) in place of
// plain data.
constexpr std::string_view kMaxiCodeLine =
    "PB \"12345\";CHR$(10);\"6789\";CHR$(10);\"008\";CHR$(10);\"840\";CHR$(10);"
    "\"ABCDEFGHIJKLMNOPQRSTUVWXYZ\"";

constexpr std::size_t kMaxQuotedName = 30;
constexpr std::string_view kDingbatFont = "Zapf Dingbats BT";

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

OpResult Refused(std::string detail) {
    return {OpStatus::Failed, std::nullopt, std::move(detail)};
}

// Sends the lines one by one; the first that fails ends the sample.
OpResult SendLines(CBrakPrinter& printer, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        const TxResult sent = printer.SendLine(line, false);
        if (!sent.ok())
            return {OpStatus::Failed, std::nullopt,
                    "sending \"" + line + "\": " + DescribeTx(sent)};
    }
    return {};
}

int LeadingNumber(std::string_view text) {
    const std::size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos)
        return 0;
    long long value = 0;
    for (std::size_t i = start;
         i < text.size() && i < start + 6 && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
        value = value * 10 + (text[i] - '0');
    return static_cast<int>(value);
}

int HeadDots(const CBrakPrinter& printer) {
    return LeadingNumber(printer.Identity().sysvar22);
}

std::optional<std::string> NameProblem(const BrakTestPrintChoice& choice) {
    switch (choice.kind) {
        case BrakTestPrintKind::Label:
            return std::nullopt;
        case BrakTestPrintKind::Font:
            return FontNameProblem(choice.name);
        case BrakTestPrintKind::Image:
            return PrinterFileNameProblem(choice.name);
        case BrakTestPrintKind::Symbology:
            if (FindBrakSymbology(choice.name) == nullptr)
                return "the printer knows no symbology \"" + choice.name + "\"";
            return std::nullopt;
    }
    return std::nullopt;
}

// A font or image the printer does not list would print an empty label (the printer answers
// the sample's lines, but nothing reads those answers): it is refused before anything is sent.
std::optional<std::string> NotHeld(CBrakPrinter& printer, const BrakTestPrintChoice& choice) {
    if (choice.kind != BrakTestPrintKind::Font && choice.kind != BrakTestPrintKind::Image)
        return std::nullopt;
    const bool font = choice.kind == BrakTestPrintKind::Font;
    const BrakNameListing listing = font ? ReadFontNames(printer) : ReadImageNames(printer);
    if (!listing.read || ListsName(listing, choice.name))
        return std::nullopt;
    return std::string("the printer holds no ") + (font ? "font" : "image") + " \"" + choice.name +
           "\"";
}

OpResult PrintChosen(CBrakPrinter& printer, const BrakTestPrintChoice& choice) {
    switch (choice.kind) {
        case BrakTestPrintKind::Label:
            return PrintTestLabel(printer);
        case BrakTestPrintKind::Font:
            return PrintFontSample(printer, choice.name);
        case BrakTestPrintKind::Image:
            return PrintImageSample(printer, choice.name);
        case BrakTestPrintKind::Symbology:
            return PrintSymbologySample(printer, choice.name);
    }
    return {};
}

// A transfer printer without a ribbon prints nothing; the operator is told before the sample.
void WarnWithoutRibbon(CBrakPrinter& printer, Prompt& prompt) {
    const bool transferSet =
        printer.SetupGeneration() < 2 ||
        printer.GetSetup().paperType == FindInTable(PaperType712Table(), "TRANSFER");
    if (!transferSet || printer.Identity().sysvar20 != 1)
        return;
    const std::optional<std::int16_t> ribbon = printer.ReadRibbonSensor();
    if (ribbon && *ribbon == 0)
        prompt.Tell("Tarvo Warning", "No ribbon detected!", PromptIcon::Exclamation);
}

}  // namespace

std::span<const BrakSymbology> BrakSymbologyTable() {
    return kSymbologies;
}

const BrakSymbology* FindBrakSymbology(std::string_view name) {
    for (const BrakSymbology& s : kSymbologies) {
        if (EqualNoCase(s.printerName, name))
            return &s;
    }
    return nullptr;
}

int HeadResolutionFor(int headDots, std::string_view modelText) {
    switch (headDots) {
        case 512:
        case 320:
            return 6;
        case 1280:
            return modelText == "760" || modelText == "780" ? 12 : 8;
        default:
            return 8;
    }
}

int ReadHeadResolution(CBrakPrinter& printer) {
    if (!printer.SendLine("FUNCTEST \"HEAD\",WHEAD$", false).ok())
        return HeadResolutionFor(0, {});
    const QueryReply reply = printer.QueryLine("PRINT WHEAD$");
    return HeadResolutionFor(LeadingNumber(reply.text), printer.Identity().version1);
}

BrakSampleSize SampleSizeFor(int generation, int resolution, int headDots) {
    const auto dots = static_cast<std::uint16_t>(std::clamp(headDots, 0, 0xFFFF));
    switch (generation) {
        case 0:
            return {832, 2000};
        case 1:
            if (resolution <= 8)
                return {std::max<std::uint16_t>(832, dots), 10000};
            return {std::max<std::uint16_t>(1296, dots), 9996};
        case 2:
            return {1960, 1800};
        default:
            // A head whose width was never read gets the narrowest head's width, not 0.
            return {dots > 0 ? dots : std::uint16_t{832}, 2000};
    }
}

std::optional<std::string> FontNameProblem(std::string_view name) {
    if (name.empty())
        return "no font was named";
    if (name.size() > kMaxQuotedName)
        return "the font name is longer than 30 characters";
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || byte < 0x20 || byte > 0x7E)
            return "a font name cannot hold a double quote, a control byte or a byte above 0x7E";
    }
    return std::nullopt;
}

std::vector<std::string> TestLabelLines(const CBrakPrinter& printer) {
    const BrakIdentity& id = printer.Identity();
    const bool classic = printer.SetupGeneration() == 0;
    const std::string font = classic ? "FT \"SW030RSN\"" : "FT \"Swiss 721 BT\",10";
    const std::string title = classic ? "FT \"SW050RSN\"" : "FT \"Swiss 721 Bold BT\",14";
    return {"CLL",
            "PP 20,20",
            "DIR 1",
            "PRBOX 760,360,4",
            "PP 50,320",
            title,
            "PT \"**** TEST LABEL ****\"",
            "PP 50,240",
            font,
            "PT " + Quoted("Model: " + id.version1),
            "PP 50,200",
            "PT " + Quoted("Firmware: " + id.version0),
            "PP 50,160",
            "PT " + Quoted("Dots in printhead: " + id.sysvar22),
            "PP 50,40",
            "BT \"CODE39\"",
            "BH 80",
            "PB \"TEST LABEL\"",
            "PF"};
}

std::vector<std::string> FontSampleLines(int generation, std::string_view font) {
    const bool dingbats = font == kDingbatFont;
    const std::string caption = generation == 0 ? "FT \"SW120BSN\"" : "FT \"Swiss 721 BT\",8";
    const std::string sample =
        generation == 0 && font == "MS060BMN" ? "FT \"MS060BMN\"" : "FT " + Quoted(font) + ",12";
    std::vector<std::string> lines = {"CLL",   "PP 20,20",           "DIR 1",
                                      caption, "PT " + Quoted(font), "PP 20,80"};
    if (dingbats)
        lines.push_back("NASC \"ROM:ZAPF.NSC\"");
    lines.push_back(sample);
    lines.push_back("PT \"ABCDEFGHIJKLMNOPQRSTUVWXYZ\"");
    lines.push_back("PP 20,140");
    lines.push_back("PT \"abcdefghijklmnopqrstuvwxyz 0123456789\"");
    if (dingbats)
        lines.push_back("NASC 1");
    lines.push_back("PF");
    return lines;
}

std::vector<std::string> ImageSampleLines(int generation, std::string_view image) {
    if (generation == 0)
        return {"CLL : PP 10,10 : DIR 1 : PM " + Quoted(image) + " : PF"};
    return {"PRPOS 20,20 : DIR 1 : PRIMAGE " + Quoted(image) + " : PF"};
}

std::vector<std::string> SymbologySampleLines(const BrakSymbology& s) {
    const bool maxiCode = s.printerName == "MAXICODE";
    const std::string first = maxiCode ? std::string(kMaxiCodeLine) : "PB " + Quoted(s.firstData);
    const std::string second = maxiCode ? std::string(kMaxiCodeLine) : "PB " + Quoted(s.secondData);
    return {"CLL",
            "BT " + Quoted(s.printerName),
            "BF \"Swiss 721 BT\",8 ON",
            maxiCode ? "BM 1" : "BM 2",
            s.printerName == "PDF417" ? "BH 100" : "BH 150",
            "PP 50,20",
            "DIR 4",
            "FONT \"Swiss 721 BT\",10",
            "PT " + Quoted(s.displayName),
            "PP 100,20",
            "DIR 1",
            first,
            "DIR 4",
            "PP 500,400",
            second,
            "PF"};
}

OpResult PrintTestLabel(CBrakPrinter& printer) {
    return SendLines(printer, TestLabelLines(printer));
}

OpResult PrintFontSample(CBrakPrinter& printer, std::string_view font) {
    if (auto problem = FontNameProblem(font))
        return Refused(*problem);
    return SendLines(printer, FontSampleLines(printer.SetupGeneration(), font));
}

OpResult PrintImageSample(CBrakPrinter& printer, std::string_view image) {
    if (auto problem = PrinterFileNameProblem(image))
        return Refused(*problem);
    return SendLines(printer, ImageSampleLines(printer.SetupGeneration(), image));
}

OpResult PrintSymbologySample(CBrakPrinter& printer, std::string_view printerName) {
    const BrakSymbology* symbology = FindBrakSymbology(printerName);
    if (symbology == nullptr)
        return Refused("the printer knows no symbology \"" + std::string(printerName) + "\"");
    return SendLines(printer, SymbologySampleLines(*symbology));
}

OpResult RunBrakTestPrint(CBrakPrinter& printer, Prompt& prompt,
                          const BrakTestPrintChoice& choice) {
    if (auto problem = NameProblem(choice))
        return Refused(*problem);
    if (auto problem = NotHeld(printer, choice))
        return Refused(*problem);
    WarnWithoutRibbon(printer, prompt);
    const int resolution = ReadHeadResolution(printer);
    const BrakSampleSize size =
        SampleSizeFor(printer.SetupGeneration(), resolution, HeadDots(printer));
    SampleSizeScope scope(printer);
    if (OpResult set = scope.Set(size.width, size.length); !set.ok())
        return set;
    const OpResult printed = PrintChosen(printer, choice);
    const OpResult restored = scope.Restore();
    return printed.ok() ? restored : printed;
}

}  // namespace tarvo::app

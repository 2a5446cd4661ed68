// The configuration reply parser: the printer's reply forms, unknown values, escapes, the
// commands a reply carries that the record does not keep, numbers that do not fit, replies cut
// short, and agreement with the configuration text for every model. A reply that fails must
// leave the record exactly as it was.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "config/command_letters.h"
#include "config/reply_parser.h"
#include "config/setting_access.h"
#include "port/bounded_copy.h"
#include "tarvo/base/model_tables.h"
#include "tarvo/base/notation.h"
#include "tarvo/base/setting_rules.h"
#include "tarvo/types.h"

namespace tarvo {
namespace {

std::string Bytes(std::string notation) {
    ExpandMnemonics(notation);
    return notation;
}

ConfigRecord Record(int model, const char* firmware = "") {
    ConfigRecord r;
    r.model = static_cast<std::int16_t>(model);
    CopyBounded(firmware, r.firmware, sizeof r.firmware);
    return r;
}

// Parses `notation` into a copy of `start`; on failure also checks that nothing changed.
struct Parsed {
    bool ok;
    ConfigRecord record;
};
Parsed Parse(const std::string& notation, const ConfigRecord& start = Record(6)) {
    Parsed p{false, start};
    p.ok = ParseConfigurationReply(Bytes(notation), p.record);
    if (!p.ok) {
        EXPECT_EQ(p.record, start) << "a failed parse changed the record: " << notation;
    }
    return p;
}

TEST(ConfigReplyTest, ThePrintersReplyForm) {
    const Parsed p = Parse("<DC1><SI>C2;<SI>S40;<ESC>j;<SYN>0020;<ETX>");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.record.emulation, 2);
    EXPECT_EQ(p.record.printSpeed, 40);
    EXPECT_EQ(p.record.mediaStatus, 1);
    EXPECT_EQ(p.record.interCharDelay, 20);
    EXPECT_FALSE(Parse("<DC1><SI>C2;<SI>S40;<ESC>j;<SYN>0020;").ok) << "no <ETX>";
}

TEST(ConfigReplyTest, EveryCutOfAReplyFailsWithoutTouchingTheRecord) {
    const std::string full = Bytes(
        "<DC2><SI>A3;<SI>C1;<SI>D0120;<SI>d-05;<SI>F-008;<SI>g1,420;<SI>h1,0;<SI>P6,0,1,2,1;"
        "<SI>U1,2,3,4;<SI>Z1,2;<SI>p2,1;<SYN>0025;<SOH><DLE><ETX>;<EOT>A;<ESC>k;<ESC>j;"
        "<ESC><SYN>1500;<ETX>");
    ConfigRecord start = Record(6);
    start.darkness = 99;
    for (std::size_t n = 0; n < full.size(); ++n) {
        ConfigRecord r = start;
        EXPECT_FALSE(ParseConfigurationReply(full.substr(0, n), r)) << n;
        EXPECT_EQ(r, start) << n;
    }
    ConfigRecord r = start;
    ASSERT_TRUE(ParseConfigurationReply(full, r));
    EXPECT_EQ(r.darkness, -5);
    EXPECT_EQ(r.serialFlag, 1);
    EXPECT_EQ(r.startChar, '\x03');
    EXPECT_EQ(r.endChar, 'A');
    EXPECT_EQ(r.messageDelay, 1500);
    EXPECT_EQ(r.mediaStatus, 1);
}

TEST(ConfigReplyTest, EmptyAndBareReplies) {
    EXPECT_FALSE(Parse("").ok);
    EXPECT_FALSE(Parse("<DC1>").ok);
    EXPECT_TRUE(Parse("<ETX>").ok);
    EXPECT_TRUE(Parse("<SI>C2;<ETX>trailing bytes are never read").ok);
}

TEST(ConfigReplyTest, QuestionMarksAreUnknownValues) {
    ConfigRecord start = Record(6);
    start.darkness = 7;
    start.labelLength = 1234;
    const Parsed p = Parse("<SI>d?;<SI>L????;<SI>F-?;<SI>D1?2;<ETX>", start);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.record.darkness, 0);
    EXPECT_EQ(p.record.labelLength, 0);
    EXPECT_EQ(p.record.topOfForm, 0);
    EXPECT_EQ(p.record.trailMargin, 2) << "a ? resets what came before it";
}

TEST(ConfigReplyTest, SignedFieldsOnly) {
    const Parsed p = Parse("<SI>F-10;<SI>d-10;<SI>f-30;<ETX>");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.record.topOfForm, -10);
    EXPECT_EQ(p.record.darkness, -10);
    EXPECT_EQ(p.record.restAdjust, -30);
    for (const char* unsignedField :
         {"<SI>D-1;", "<SI>b-5;", "<SI>S-40;", "<SYN>-1;", "<SI>g-1,2;"}) {
        EXPECT_FALSE(Parse(std::string(unsignedField) + "<ETX>").ok) << unsignedField;
    }
    EXPECT_FALSE(Parse("<SI>d-;<ETX>").ok) << "a sign without digits";
    EXPECT_FALSE(Parse("<SI>d--5;<ETX>").ok);
}

TEST(ConfigReplyTest, NumbersMustFitTheirField) {
    struct Case {
        const char* reply;
        bool ok;
    };
    const Case cases[] = {
        {"<SI>c255;", true},
        {"<SI>c256;", false},  // 8 bits
        {"<SI>L65535;", true},
        {"<SI>L65536;", false},  // 16 bits
        {"<SI>F32767;", true},
        {"<SI>F32768;", false},  // signed 16 bits
        {"<SI>F-32768;", true},
        {"<SI>F-32769;", false},  //
        {"<SI>d2147483647;", true},
        {"<SI>d2147483648;", false},  // signed 32 bits
        {"<SI>d-2147483648;", true},
        {"<SI>d-2147483649;", false},
        {"<SI>d0000000001;", true},
        {"<SI>d00000000001;", false},  // at most 10 digits
        {"<SI>H99999999999;", false},
        {"<SI>H9999999999;", true},  // also when ignored
        {"<SI>P1,2,3,4,65536;", false},
        {"<ESC><SYN>70000;", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Parse(std::string(c.reply) + "<ETX>").ok, c.ok) << c.reply;
    }
}

TEST(ConfigReplyTest, MissingNumbersAndCommasFailTheWholeReply) {
    for (const char* bad : {"<SI>C;", "<SI>g1;", "<SI>g1,;", "<SI>h,1;", "<SI>p1;", "<SYN>;",
                            "<ESC><SYN>;", "<SI>H;", "<SI>r;", "<SI>s;", "<SI>Z;", "<SI>Z1,;",
                            "<SI>U1,2,3;", "<SI>U1,2,3,4,;", "<SI>P1,2,3;", "<SI>P1,2,3,4,;"}) {
        EXPECT_FALSE(Parse(std::string("<SI>C2;") + bad + "<ETX>").ok) << bad;
    }
}

TEST(ConfigReplyTest, CommandsARecordDoesNotKeep) {
    ConfigRecord start = Record(12);
    start.serialFlag = 7;
    // Four serial numbers without a fifth keep the flag as it was; five replace it.
    Parsed p = Parse("<SI>P6,0,1,2;<SI>U1,2,3,4;<SI>H5;<SI>r6;<SI>s7;<SI>C2;<ETX>", start);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.record.serialFlag, 7);
    EXPECT_EQ(p.record.emulation, 2);
    p = Parse("<SI>P6,0,1,2,1;<SI>U1,2,3,4,5;<SI>Z<SI>Z1;<SI>Z1,2;<SI>C3;<ETX>", start);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.record.serialFlag, 1);
    EXPECT_EQ(p.record.emulation, 3);
    // Letters nobody knows, and stray bytes between commands, are passed over.
    p = Parse("<SI>Q12;<SI>x;garbage<SI>C1;<ESC>q<ESC><SI>T2;<ETX>", start);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.record.emulation, 1);
    EXPECT_EQ(p.record.labelStock, 2) << "a command right after an unknown <ESC> is kept";
}

TEST(ConfigReplyTest, EmulationOfThe6430And6630) {
    for (int model : {8, 9}) {
        const Parsed p = Parse("<SI>C1;<SI>T2;<ETX>", Record(model));
        ASSERT_TRUE(p.ok);
        EXPECT_EQ(p.record.emulation, 4) << model;
        EXPECT_EQ(p.record.labelStock, 2);
    }
    EXPECT_EQ(Parse("<SI>C1;<ETX>", Record(6)).record.emulation, 1);
}

TEST(ConfigReplyTest, HandshakePinsOnlyWhereTheModelTakesThem) {
    ConfigRecord start = Record(0);
    start.valueP1 = 5;
    start.valueP2 = 6;
    Parsed p = Parse("<SI>p2,1;<ETX>", start);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.record.valueP1, 0);
    EXPECT_EQ(p.record.valueP2, 0);
    p = Parse("<SI>p2,1;<ETX>", Record(6));
    EXPECT_EQ(p.record.valueP1, 2) << "the first p value is setting 37";
    EXPECT_EQ(p.record.valueP2, 1);
}

TEST(ConfigReplyTest, StartAndEndCharacters) {
    // The printer's form, with escapes and separators.
    Parsed p = Parse("<SOH><DLE><ETX>;<EOT><DLE><DLE>;<ETX>");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.record.startChar, '\x03');
    EXPECT_EQ(p.record.endChar, '\x10');
    // A file's form: 0 bytes without separators, then more commands.
    ConfigRecord start = Record(6);
    start.startChar = 'x';
    start.endChar = 'y';
    start.mediaStatus = start.bufferStatus = start.memoryStatus = 1;
    p = Parse("<SOH><NUL><EOT><NUL><ESC>k<ESC><SYN>0040<ETX>", start);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.record.startChar, 0);
    EXPECT_EQ(p.record.endChar, 0);
    EXPECT_EQ(p.record.mediaStatus + p.record.bufferStatus + p.record.memoryStatus, 0);
    EXPECT_EQ(p.record.messageDelay, 40);
    // A separator is the character itself when it is the byte after the command.
    p = Parse("<SOH>;;<EOT>;<ETX>");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.record.startChar, ';');
    EXPECT_EQ(p.record.endChar, ';');
    EXPECT_FALSE(Parse("<SOH><DLE>").ok);
    EXPECT_FALSE(Parse("<SOH>").ok);
}

TEST(ConfigReplyTest, StatusReporting) {
    Parsed p = Parse("<ESC>k;<ESC>d;<ESC>e;<ETX>");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.record.mediaStatus, 0);
    EXPECT_EQ(p.record.bufferStatus, 1);
    EXPECT_EQ(p.record.memoryStatus, 1);
    EXPECT_FALSE(Parse("<ESC>").ok);
}

TEST(ConfigReplyTest, ShortAnswers) {
    auto memory = ParseMemoryReply("1024,987");
    ASSERT_TRUE(memory);
    EXPECT_EQ(memory->total, 1024);
    EXPECT_EQ(memory->free, 987);
    memory = ParseMemoryReply(Bytes("<DC2>512,100<CR><LF>"));
    ASSERT_TRUE(memory);
    EXPECT_EQ(memory->free, 100);
    for (const char* bad :
         {"", "1024", "1024,", ",5", "a,1", "1,b", "70000,1", "1,-1", "1 2,3", "12345678901,1"}) {
        EXPECT_FALSE(ParseMemoryReply(bad)) << bad;
    }
    EXPECT_EQ(ParseSecondNumber("256,512"), 512);
    EXPECT_EQ(ParseSecondNumber("256,512,7"), 512);
    EXPECT_FALSE(ParseSecondNumber("256"));
    EXPECT_FALSE(ParseSecondNumber("256,x"));
    EXPECT_EQ(ParseLeadingNumber("3"), 3);
    EXPECT_EQ(ParseLeadingNumber(Bytes("<DC2>4,extra")), 4);
    EXPECT_FALSE(ParseLeadingNumber("x1"));
    EXPECT_FALSE(ParseLeadingNumber(""));
    EXPECT_FALSE(ParseLeadingNumber("99999999999"));
}

}  // namespace
}  // namespace tarvo

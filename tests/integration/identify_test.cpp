// Identification against simulated printers: every model, the reply forms, the shared-number
// road, the program-number file, frame characters, and refusals of bad replies.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "models/program_numbers.h"
#include "session/kernel_state.h"
#include "support/sim_fixture.h"
#include "support/wire.h"
#include "tarvo/kernel.h"

namespace tarvo {
namespace {

struct Identity {
    int code = -1;
    std::string model, number, firmware;
};

class IdentifyTest : public test::SimTest {
  protected:
    Identity identify(const char* modelIn = "") {
        Identity id;
        char model[PCU_ID_MODEL_SIZE];
        char number[PCU_ID_NUMBER_SIZE] = "";
        char firmware[PCU_ID_FIRMWARE_SIZE] = "";
        std::snprintf(model, sizeof model, "%s", modelIn);
        id.code = PCUGetPrinterID(ctx, model, number, firmware, 1);
        id.model = model;
        id.number = number;
        id.firmware = firmware;
        return id;
    }
    void writeProgramNumberFile(const std::string& text) {
        std::filesystem::create_directories(env.root() + "/data/tarvo");
        std::ofstream(ProgramNumberFilePath(), std::ios::binary) << text;
    }
    sim::Options replying(const std::string& reply) {
        sim::Options o;
        o.identReply = reply;
        return o;
    }
};

// The program number each model identifies with: its first number, the type-specific number of
// the three-field models, or the shell-refined number of the shared-base family.
std::string ExpectedNumber(int model) {
    const ProgramNumberRow& row = ProgramNumberTable()[static_cast<std::size_t>(model)];
    return row.number2.empty() ? std::string(row.number1) : std::string(row.number2);
}

TEST_F(IdentifyTest, EveryEscapeLanguageModelIsIdentified) {
    for (int model = 0; model <= 24; ++model) {
        sim::Options o;
        o.model = model;
        o.firmware = "2." + std::to_string(model);
        startPrinter(o);
        const Identity id = identify();
        const ProgramNumberRow& row = ProgramNumberTable()[static_cast<std::size_t>(model)];
        ASSERT_EQ(id.code, PCU_OK) << row.name;
        EXPECT_EQ(id.model, row.name);
        EXPECT_EQ(id.number, model == 10 ? "062564" : ExpectedNumber(model)) << row.name;
        EXPECT_EQ(id.firmware, o.firmware);
        EXPECT_EQ(FindContext(ctx)->settings.model, model);
        EXPECT_EQ(State().programNumberSecond, model != 10 && !row.number2.empty());
    }
}

TEST_F(IdentifyTest, SharedBaseNumberIsRefinedThroughTheShell) {
    sim::Options o;
    o.model = 23;  // TQ5e-QEL
    startPrinter(o);
    const Identity id = identify();
    ASSERT_EQ(id.code, PCU_OK);
    EXPECT_EQ(id.model, "TQ5e-QEL");
    EXPECT_EQ(id.number, "871210");
    EXPECT_NE(test::HostSent(*printer).find("<STX><ESC>.x,uname -p<ETX>"), std::string::npos);
}

TEST_F(IdentifyTest, XonXoffPrinterIsFirstGreetedAsStandard) {
    startPrinter();
    ASSERT_EQ(identify().code, PCU_OK);
    // Frame detection; the Standard greeting (an empty message and <ESC>M1, each re-asked once
    // with <ENQ>: a printer on XON/XOFF does not hear a line without flow control); then the
    // identification request.
    EXPECT_EQ(test::HostSent(*printer),
              "<STX><ESC>M1<ETX><STX><ENQ><ETX>"
              "<STX><ETX><ENQ><STX><ESC>M1<ETX><ENQ>"
              "<STX><ESC>M1<ETX>");
    EXPECT_EQ(FindContext(ctx)->comm.protocol, PCU_PROTOCOL_XONXOFF) << "switched back";
}

TEST_F(IdentifyTest, FtPrefixedReplyIdentifiesTheModel) {
    startPrinter(replying("FT59877,1.13"));
    const Identity id = identify();
    ASSERT_EQ(id.code, PCU_OK);
    EXPECT_EQ(id.model, "5200A");
    EXPECT_EQ(id.number, "FT59877");
    EXPECT_EQ(FindContext(ctx)->comm.preamble, 0) << "FT is part of the number, not a preamble";
}

TEST_F(IdentifyTest, UnknownNumberIsLookedUpInTheSiteFile) {
    writeProgramNumberFile("* site printers\n999999 6240\n");
    startPrinter(replying("999999,1.0"));
    const Identity id = identify();
    ASSERT_EQ(id.code, PCU_OK);
    EXPECT_EQ(id.model, "6240");
    EXPECT_EQ(FindContext(ctx)->settings.model, 7);
    EXPECT_FALSE(State().programNumberSecond);
}

TEST_F(IdentifyTest, UnknownNumberWithoutAFileLineIsAnUnknownDevice) {
    writeProgramNumberFile("888888 6240\n999999 NotAModel\n");
    startPrinter(replying("999999,1.0"));
    FindContext(ctx)->settings.model = 3;
    EXPECT_EQ(identify().code, PCU_ERR_UNKNOWN_DEVICE);
    EXPECT_EQ(FindContext(ctx)->lastError, PCU_ERR_UNKNOWN_DEVICE);
    EXPECT_EQ(FindContext(ctx)->settings.model, 3) << "the model stays as it was";
    EXPECT_STREQ(PCUErrStr(ctx), "Unknown device on selected COM port.");
}

TEST_F(IdentifyTest, BadRepliesEndWithSixOrThirtyTwo) {
    const std::pair<std::string, int> cases[] = {
        {"059877 1.13", PCU_ERR_UNKNOWN_DEVICE},                 // no comma
        {std::string(30, ','), PCU_ERR_UNKNOWN_DEVICE},          // nothing but commas
        {"\x01\x7f\xff,\x80", PCU_ERR_UNKNOWN_DEVICE},           // not text
        {"DEF ,1.0", PCU_ERR_UNKNOWN_DEVICE},                    // the generic row never matches
        {",1.0", PCU_ERR_UNKNOWN_DEVICE},                        // an empty number matches nothing
        {std::string(200, '9') + ",1", PCU_ERR_UNKNOWN_DEVICE},  // longer than the read
    };
    for (const auto& [reply, code] : cases) {
        startPrinter(replying(reply));
        EXPECT_EQ(identify().code, code) << reply;
    }
    sim::Options silent;
    silent.faults.silent = true;
    startPrinter(silent);
    EXPECT_EQ(identify().code, PCU_ERR_NO_ANSWER);
}

TEST_F(IdentifyTest, FrameCharactersAreDetectedAndStored) {
    sim::Options o;
    o.preamble = '#';
    o.postamble = '$';
    startPrinter(o);
    // The context does not know them yet.
    FindContext(ctx)->comm.preamble = 0;
    FindContext(ctx)->comm.postamble = 0;
    ASSERT_EQ(identify().code, PCU_OK);
    EXPECT_EQ(FindContext(ctx)->comm.preamble, '#');
    EXPECT_EQ(FindContext(ctx)->comm.postamble, '$');
    char value[8];
    PCUGetProfileString("Communications", "Preamble", "", value, sizeof value, 0);
    EXPECT_STREQ(value, "#");
    PCUGetProfileString("Communications", "Postamble", "", value, sizeof value, 0);
    EXPECT_STREQ(value, "$");
}

TEST_F(IdentifyTest, DetectionWithoutAnAnswerKeepsTheStoredCharacters) {
    sim::Options o;
    o.faults.silent = true;
    startPrinter(o);
    FindContext(ctx)->comm.preamble = '#';
    EXPECT_EQ(identify().code, PCU_ERR_NO_ANSWER);
    EXPECT_EQ(FindContext(ctx)->comm.preamble, '#');
}

TEST_F(IdentifyTest, QueryZeroReportsWhatTheContextHolds) {
    startPrinter();
    char model[PCU_ID_MODEL_SIZE];
    char number[PCU_ID_NUMBER_SIZE];
    char firmware[PCU_ID_FIRMWARE_SIZE];
    EXPECT_EQ(PCUGetPrinterID(ctx, model, number, firmware, 0), PCU_ERR_NO_FIRMWARE);
    EXPECT_STREQ(model, "5200A");
    ASSERT_EQ(identify().code, PCU_OK);
    printer->clearTranscript();
    EXPECT_EQ(PCUGetPrinterID(ctx, model, number, firmware, 0), PCU_OK);
    EXPECT_STREQ(model, "6220E");
    EXPECT_STREQ(number, "0661976220E");
    EXPECT_STREQ(firmware, "1.13");
    EXPECT_EQ(test::HostSent(*printer), "") << "nothing is asked";
}

TEST_F(IdentifyTest, RefusesUnknownContextsAndNullBuffers) {
    startPrinter();
    char a[PCU_ID_MODEL_SIZE] = "";
    char b[PCU_ID_NUMBER_SIZE] = "";
    EXPECT_EQ(PCUGetPrinterID(ctx + 1, a, b, b, 1), PCU_ERR_NO_CONTEXT);
    EXPECT_EQ(PCUGetPrinterID(ctx, a, nullptr, b, 1), PCU_ERR_ARGUMENT);
    EXPECT_EQ(PCUGetRealPrinterID(ctx, nullptr, a, b), PCU_ERR_ARGUMENT);
    EXPECT_EQ(PCUGetRealPrinterID(0, a, a, b), PCU_ERR_NO_CONTEXT);
}

TEST_F(IdentifyTest, RealIdReturnsTheRawFields) {
    startPrinter();
    char type[PCU_ID_TYPE_SIZE];
    char number[PCU_ID_NUMBER_SIZE];
    char firmware[PCU_ID_FIRMWARE_SIZE];
    ASSERT_EQ(PCUGetRealPrinterID(ctx, type, number, firmware), PCU_OK);
    EXPECT_STREQ(number, "066197");
    EXPECT_STREQ(firmware, "1.13");
    EXPECT_STREQ(type, "6220E");

    startPrinter(replying("no comma here"));
    EXPECT_EQ(PCUGetRealPrinterID(ctx, type, number, firmware), PCU_ERR_NO_ANSWER);
    env.setProfile("Device.COM1", "none");
    EXPECT_EQ(PCUGetRealPrinterID(ctx, type, number, firmware), PCU_ERR_OPEN);
}

class ScriptIdentifyTest : public IdentifyTest {
  protected:
    void startScriptPrinter(sim::Options o) {
        o.family = sim::Family::Brakenholm;
        startPrinter(o);
        env.setProfile("Family", "Brakenholm");
        ASSERT_EQ(PCUInitCommParm(ctx), PCU_OK);
    }
};

TEST_F(ScriptIdentifyTest, VersionLinesGiveModelFirmwareAndNumber) {
    sim::Options o;
    o.model = 40;  // TQ8e
    o.firmware = "V7.12.3";
    startScriptPrinter(o);
    const Identity id = identify();
    ASSERT_EQ(id.code, PCU_OK);
    EXPECT_EQ(id.model, "TQ8e");
    EXPECT_EQ(id.firmware, "V7.12.3");
    EXPECT_EQ(id.number, "CG300308");
    EXPECT_EQ(test::HostSent(*printer),
              "<DC1>SYSVAR(18)=2<CR><LF>PRINT VERSION$(1)<CR><LF>"
              "PRINT VERSION$(0)<CR>PRINT VERSION$(2)<CR>");
}

TEST_F(ScriptIdentifyTest, AnswersThatAreNotTextAreRefused) {
    sim::Options o;
    o.model = 40;
    o.identReply = std::string("TQ8e\tx");  // a tab is not printable
    startScriptPrinter(o);
    const Identity id = identify();
    EXPECT_EQ(id.code, PCU_ERR_NO_ANSWER);
    EXPECT_EQ(id.model, "");
}

TEST_F(ScriptIdentifyTest, LongAnswersAreCutToTheBuffers) {
    sim::Options o;
    o.model = 40;
    o.identReply = std::string(300, 'M');
    startScriptPrinter(o);
    const Identity id = identify();
    ASSERT_EQ(id.code, PCU_OK);
    EXPECT_EQ(id.model, std::string(PCU_ID_MODEL_SIZE - 1, 'M'));
}

TEST_F(ScriptIdentifyTest, DefaultAsModelNameTakesTheEscapeRoad) {
    startPrinter();  // an escape-language printer on a context set to the script family
    FindContext(ctx)->comm.family = PCU_FAMILY_BRAKENHOLM;
    const Identity id = identify("DEFAULT");
    ASSERT_EQ(id.code, PCU_OK);
    EXPECT_EQ(id.model, "6220E");
    EXPECT_EQ(FindContext(ctx)->comm.family, PCU_FAMILY_LANMERE);
}

TEST_F(ScriptIdentifyTest, SilentScriptPrinterGivesSix) {
    sim::Options o;
    o.model = 40;
    o.faults.silent = true;
    startScriptPrinter(o);
    EXPECT_EQ(identify().code, PCU_ERR_NO_ANSWER);
    env.setProfile("Device.COM1", "none");
    EXPECT_EQ(identify().code, PCU_ERR_OPEN);
}

class LookupTest : public ::testing::Test {
  protected:
    struct Row {
        int code;
        int model;
        std::string name, number1, number2;
    };
    Row lookup(int how, int model, const char* name = "", const char* number1 = "",
               const char* number2 = "") {
        Row r{};
        char n[PCU_ID_MODEL_SIZE];
        char a[PCU_ID_NUMBER_SIZE];
        char b[PCU_ID_NUMBER_SIZE];
        std::snprintf(n, sizeof n, "%s", name);
        std::snprintf(a, sizeof a, "%s", number1);
        std::snprintf(b, sizeof b, "%s", number2);
        r.model = model;
        r.code = PCUPrinterLookup(how, &r.model, n, a, b);
        r.name = n;
        r.number1 = a;
        r.number2 = b;
        return r;
    }
    test::TestEnv env;
};

TEST_F(LookupTest, EachWayOfNamingARow) {
    Row r = lookup(0, 10);
    EXPECT_EQ(r.code, PCU_OK);
    EXPECT_EQ(r.name, "6000");
    EXPECT_EQ(r.number1, "062564");
    EXPECT_EQ(r.number2, "062566");

    r = lookup(1, -1, "TQ8e-QEL");
    EXPECT_EQ(r.model, 24);
    EXPECT_EQ(r.number2, "971210");

    r = lookup(2, -1, "", "FT61612");
    EXPECT_EQ(r.code, PCU_OK);
    EXPECT_EQ(r.model, 1);

    r = lookup(2, -1, "", "xx", "0062566");
    EXPECT_EQ(r.model, 10) << "the second number is tried too";

    r = lookup(7, -1, "", "", "18");
    EXPECT_EQ(r.model, 18);
    EXPECT_EQ(r.name, "6220E");
}

TEST_F(LookupTest, UnknownRowsFallBackToTheFileOrDefault) {
    Row r = lookup(2, 7, "", "999999");
    EXPECT_EQ(r.code, PCU_ERR_DEFAULT_MODEL);
    EXPECT_EQ(r.name, "Default");

    std::filesystem::create_directories(env.root() + "/data/tarvo");
    std::ofstream(ProgramNumberFilePath()) << "999999,6240x\nABCDEF1234 5200B\n";
    r = lookup(2, 7, "", "999999");
    EXPECT_EQ(r.code, PCU_OK);
    EXPECT_EQ(r.name, "6240x") << "the file's name agrees with 6240 in its first five characters";
    r = lookup(2, 1, "", "abcdef1234");
    EXPECT_EQ(r.code, PCU_OK) << "the number is upper-cased";
    EXPECT_EQ(r.name, "5200B");
    r = lookup(2, 3, "", "ABCDEF1234");
    EXPECT_EQ(r.code, PCU_ERR_DEFAULT_MODEL) << "5200B does not agree with 5600";
    EXPECT_EQ(lookup(1, 0, "6220e").code, PCU_ERR_DEFAULT_MODEL) << "names are exact";
}

TEST_F(LookupTest, NullPointersAreRefused) {
    int model = 0;
    char buf[PCU_ID_MODEL_SIZE] = "";
    EXPECT_EQ(PCUPrinterLookup(0, nullptr, buf, buf, buf), PCU_ERR_ARGUMENT);
    EXPECT_EQ(PCUPrinterLookup(0, &model, buf, nullptr, buf), PCU_ERR_ARGUMENT);
}

}  // namespace
}  // namespace tarvo

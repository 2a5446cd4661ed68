// The configuration file: exact bytes, save and load for every model, files written by hand,
// refusals that leave the context as it was, and saves that fail without destroying the file
// that was there.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "config/setting_access.h"
#include "port/bounded_copy.h"
#include "session/kernel_state.h"
#include "support/test_env.h"
#include "tarvo/base/model_tables.h"
#include "tarvo/base/setting_rules.h"
#include "tarvo/kernel.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

class ConfigFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ctx = PCUCfgInit();
        PCUSetDnldFlags(ctx, 1, 0, 0, 0);
        other = PCUCfgInit();
        resetOther();
    }
    ConfigRecord& record(int c) { return FindContext(c)->settings; }
    std::string path(const std::string& name) const { return env.root() + "/" + name; }
    std::string write(const std::string& name, const std::string& contents) {
        std::ofstream(path(name), std::ios::binary) << contents;
        return path(name);
    }
    // `other` holds a configuration that a failed load must not disturb.
    void resetOther() {
        ConfigRecord& r = record(other);
        r = ConfigRecord{};
        r.model = 7;
        CopyBounded("3.3", r.firmware, sizeof r.firmware);
        r.darkness = 4;
        r.labelLength = 999;
        r.memoryFree = 321;
        r.serialFlag = 5;
    }

    test::TestEnv env;
    int ctx = 0;
    int other = 0;
};

void SetFirmware(ConfigRecord& r, const char* firmware) {
    CopyBounded(firmware, r.firmware, sizeof r.firmware);
}

TEST_F(ConfigFileTest, ExactBytesOfA5200AConfiguration) {
    ConfigRecord& r = record(ctx);
    r.model = 0;
    SetFirmware(r, "1.20");
    r.emulation = 1;
    r.darkness = 3;
    r.topOfForm = 20;
    r.restAdjust = -2;
    r.mediaType = 1;
    r.mediaSensitivity = 470;
    r.imageBands = 3;
    r.labelLength = 1000;
    r.charSet = 1;
    r.memorySize = 20;
    r.valueV = 99;
    r.retract = 1;
    r.printSpeed = 30;
    r.labelStock = 1;
    const std::string file = path("a.tcf");
    ASSERT_EQ(PCUToFile(ctx, file.c_str()), PCU_OK);
    EXPECT_EQ(test::ReadFile(file),
              "<ETX>5200A,1.20\r\n"
              "<STX>R<ETX>\r\n"
              "<STX><SI>C1<ETX>\r\n"
              "<STX><SI>c0<ETX>\r\n"
              "<STX><SI>D0000<ETX>\r\n"
              "<STX><SI>d003<ETX>\r\n"
              "<STX><SI>F0020<ETX>\r\n"
              "<STX><SI>f-02<ETX>\r\n"
              "<STX><SI>g1,470<ETX>\r\n"
              "<STX><SI>I03<ETX>\r\n"
              "<STX><SI>i0<ETX>\r\n"
              "<STX><SI>L1000<ETX>\r\n"
              "<STX><SI>l1<ETX>\r\n"
              "<STX><SI>N020<ETX>\r\n"
              "<STX><SI>z0<ETX>\r\n"
              "<STX><SI>R1<ETX>\r\n"
              "<STX><SI>S30<ETX>\r\n"
              "<STX><SI>T1<ETX>\r\n"
              "<STX><SI>t0<ETX>\r\n"
              "<STX><SYN>0000<ETX>\r\n"
              "<STX><SOH><NUL><EOT><NUL><ESC>k<ETX>\r\n"
              "<STX><ESC><SYN>0000<ETX>\r\n");
    EXPECT_EQ((fs::status(file).permissions() & fs::perms::all),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                  fs::perms::others_read);

    // Loading it back restores everything the file carries, start and end characters of 0
    // included, and derives what it does not.
    record(other).startChar = 'x';
    record(other).endChar = 'y';
    ASSERT_EQ(PCUFromFile(other, file.c_str()), PCU_OK);
    ConfigRecord expected = r;
    expected.memoryFree = 0;
    expected.imageSize = 0;
    expected.paperHandling = 0;
    expected.serialFlag = 5;  // not in the file: the loading context keeps its own
    EXPECT_EQ(record(other), expected);
}

TEST_F(ConfigFileTest, LinesWrittenByHand) {
    // LF line ends, the printer's own separators, and object sections after the configuration.
    const std::string file = write("hand.tcf",
                                   "<ETX>6220,1.13 build 7\n"
                                   "<STX>R<ETX>\n"
                                   "<STX><SI>d-3;<ETX>\n"
                                   "<STX><SOH>A;<ETX>\n"
                                   "<STX><EOT><ETX><ETX>\n"
                                   "<STX><SI>p1,2<ETX>\n"
                                   "<STX><ESC>P<ETX>\n" +
                                       std::string(1000, 'x') + "\n<STX><SI>d9<ETX>\n");
    ASSERT_EQ(PCUFromFile(other, file.c_str()), PCU_OK);
    const ConfigRecord& r = record(other);
    EXPECT_EQ(r.model, 6);
    EXPECT_STREQ(r.firmware, "1.13") << "the firmware runs to a blank";
    EXPECT_EQ(r.darkness, -3) << "nothing after the object sections begin is read";
    EXPECT_EQ(r.startChar, 'A');
    EXPECT_EQ(r.endChar, '\x03');
    EXPECT_EQ(r.valueP1, 1);
    EXPECT_EQ(r.valueV, kValueVNotSent);
    EXPECT_EQ(r.labelLength, 999) << "what the file does not set stays";
}

TEST_F(ConfigFileTest, HeaderVariants) {
    write("default.tcf", "<ETX>DEFAULT,\r\n<STX>R<ETX>\r\n");
    ASSERT_EQ(PCUFromFile(other, path("default.tcf").c_str()), PCU_OK);
    EXPECT_EQ(record(other).model, kDefaultModel);
    EXPECT_STREQ(record(other).firmware, "");
    write("bare.tcf", "<ETX>5200C/D\r\n<STX>R<ETX>");
    ASSERT_EQ(PCUFromFile(other, path("bare.tcf").c_str()), PCU_OK);
    EXPECT_EQ(record(other).model, 2);
    write("long.tcf", "<ETX>5040," + std::string(40, '9') + "\r\n<STX>R<ETX>\r\n");
    ASSERT_EQ(PCUFromFile(other, path("long.tcf").c_str()), PCU_OK);
    EXPECT_EQ(std::string(record(other).firmware), std::string(31, '9'));
}

struct Refusal {
    const char* name;
    std::string contents;
    int code;
    const char* where;  // the detail text: the failing line and the file
};

TEST_F(ConfigFileTest, RefusalsLeaveTheContextAsItWas) {
    const std::string okHead = "<ETX>6220,1.0\r\n<STX>R<ETX>\r\n";
    const Refusal refusals[] = {
        {"empty", "", PCU_ERR_FILE_MODEL, "line 1 of r.tcf"},
        {"unknown model", "<ETX>Unknown,1.0\r\n<STX>R<ETX>\r\n", PCU_ERR_FILE_MODEL,
         "line 1 of r.tcf"},
        {"script model", "<ETX>TQ8e,1.0\r\n<STX>R<ETX>\r\n", PCU_ERR_FILE_MODEL, "line 1 of r.tcf"},
        {"wrong case", "<ETX>6220e,1.0\r\n<STX>R<ETX>\r\n", PCU_ERR_FILE_MODEL, "line 1 of r.tcf"},
        {"header only", "<ETX>6220,1.0\r\n", PCU_ERR_FILE_MODEL, "line 2 of r.tcf"},
        {"no R", "<ETX>6220,1.0\r\n<STX><SI>C1<ETX>\r\n", PCU_ERR_FILE_MODEL, "line 2 of r.tcf"},
        {"R with more", "<ETX>6220,1.0\r\n<STX>R1<ETX>\r\n", PCU_ERR_FILE_MODEL, "line 2 of r.tcf"},
        {"bad number", okHead + "<STX><SI>C1<ETX>\r\n<STX><SI>d--5<ETX>\r\n", PCU_ERR_FILE_PARSE,
         "line 4 of r.tcf"},
        {"too wide", okHead + "<STX><SI>L65536<ETX>\r\n", PCU_ERR_FILE_PARSE, "line 3 of r.tcf"},
        {"missing comma", okHead + "<STX><SI>g1<ETX>\r\n", PCU_ERR_FILE_PARSE, "line 3 of r.tcf"},
        {"cut start", okHead + "<STX><SOH><ETX>", PCU_ERR_FILE_PARSE, "line 3 of r.tcf"},
        {"long line", okHead + "<STX>" + std::string(247, 'x') + "<ETX>\r\n", PCU_ERR_FILE_PARSE,
         "line 3 of r.tcf"},
        {"long header", "<ETX>6220," + std::string(300, '1') + "\r\n<STX>R<ETX>\r\n",
         PCU_ERR_FILE_PARSE, "line 1 of r.tcf"},
        {"no line ends", std::string(100000, 'x'), PCU_ERR_FILE_PARSE, "line 1 of r.tcf"},
    };
    for (const Refusal& r : refusals) {
        const ConfigRecord before = record(other);
        const std::string file = write("r.tcf", r.contents);
        EXPECT_EQ(PCUFromFile(other, file.c_str()), r.code) << r.name;
        EXPECT_EQ(record(other), before) << r.name;
        EXPECT_EQ(FindContext(other)->lastError, r.code) << r.name;
        EXPECT_STREQ(FindContext(other)->lastErrorText, r.where) << r.name;
    }
}

TEST_F(ConfigFileTest, LineLimitIsExact) {
    const std::string head = "<ETX>6220,1.0\r\n<STX>R<ETX>\r\n";
    const std::string line256 = "<STX>" + std::string(246, 'x') + "<ETX>";
    ASSERT_EQ(line256.size(), 256u);
    EXPECT_EQ(PCUFromFile(other, write("a.tcf", head + line256 + "\r\n").c_str()), PCU_OK);
    EXPECT_EQ(PCUFromFile(other, write("b.tcf", head + line256 + "\n").c_str()), PCU_OK);
    EXPECT_EQ(PCUFromFile(other, write("c.tcf", head + line256).c_str()), PCU_OK);
    EXPECT_EQ(PCUFromFile(other, write("d.tcf", head + line256 + "x\r\n").c_str()),
              PCU_ERR_FILE_PARSE);
}

TEST_F(ConfigFileTest, ConfigurationPartIsBounded) {
    std::string text = "<ETX>6220,1.0\r\n<STX>R<ETX>\r\n";
    const std::string line = "<STX>" + std::string(200, ' ') + "<ETX>\r\n";
    for (int i = 0; i < 20; ++i)
        text += line;  // 4000 bytes of commands: within the bound
    EXPECT_EQ(PCUFromFile(other, write("fits.tcf", text).c_str()), PCU_OK);
    text += line;
    EXPECT_EQ(PCUFromFile(other, write("over.tcf", text).c_str()), PCU_ERR_FILE_PARSE);
}

TEST_F(ConfigFileTest, FilesThatCannotBeRead) {
    const ConfigRecord before = record(other);
    EXPECT_EQ(PCUFromFile(other, path("missing.tcf").c_str()), PCU_ERR_FILE_WRITE);
    EXPECT_EQ(FindContext(other)->lastSysError, ENOENT);
    fs::create_directory(path("dir.tcf"));
    EXPECT_EQ(PCUFromFile(other, path("dir.tcf").c_str()), PCU_ERR_FILE_READ);
    EXPECT_EQ(FindContext(other)->lastSysError, EISDIR);
    EXPECT_EQ(record(other), before);
    EXPECT_EQ(PCUFromFile(other, nullptr), PCU_ERR_ARGUMENT);
    EXPECT_EQ(PCUFromFile(40, path("missing.tcf").c_str()), PCU_ERR_NO_CONTEXT);
}

TEST_F(ConfigFileTest, AFailedSaveKeepsThePreviousFile) {
    const std::string file = write("keep.tcf", "precious");
    ::chmod(file.c_str(), 0600);
    // Nothing that could be written: a start character no command can carry.
    record(ctx).startChar = ';';
    EXPECT_EQ(PCUToFile(ctx, file.c_str()), PCU_ERR_ARGUMENT);
    EXPECT_EQ(test::ReadFile(file), "precious");
    // A directory the file cannot be created in.
    record(ctx).startChar = 0;
    const std::string dir = path("ro");
    fs::create_directory(dir);
    const std::string inside = write("ro/keep.tcf", "also precious");
    ::chmod(dir.c_str(), 0500);
    if (::geteuid() != 0) {
        EXPECT_EQ(PCUToFile(ctx, inside.c_str()), PCU_ERR_FILE_WRITE);
        EXPECT_EQ(test::ReadFile(inside), "also precious");
        EXPECT_EQ(FindContext(ctx)->lastError, PCU_ERR_FILE_WRITE);
        EXPECT_STREQ(FindContext(ctx)->lastErrorText, "keep.tcf");
    }
    ::chmod(dir.c_str(), 0700);
    EXPECT_EQ(PCUToFile(ctx, path("no/such/dir.tcf").c_str()), PCU_ERR_FILE_WRITE);
    fs::create_directory(path("taken.tcf"));
    EXPECT_EQ(PCUToFile(ctx, path("taken.tcf").c_str()), PCU_ERR_FILE_WRITE);
    EXPECT_TRUE(fs::is_directory(path("taken.tcf")));
    // A successful save keeps the file's permissions.
    ASSERT_EQ(PCUToFile(ctx, file.c_str()), PCU_OK);
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(PCUToFile(ctx, nullptr), PCU_ERR_ARGUMENT);
    EXPECT_EQ(PCUToFile(ctx + 5, file.c_str()), PCU_ERR_NO_CONTEXT);
    // No stray temporary files are left behind.
    for (const auto& entry : fs::directory_iterator(env.root()))
        EXPECT_EQ(entry.path().filename().string().find(".tcf."), std::string::npos)
            << entry.path();
}

TEST_F(ConfigFileTest, SavingThroughALinkReplacesItsTarget) {
    const std::string target = write("real.tcf", "old");
    fs::create_symlink(target, path("link.tcf"));
    ASSERT_EQ(PCUToFile(ctx, path("link.tcf").c_str()), PCU_OK);
    EXPECT_TRUE(fs::is_symlink(path("link.tcf")));
    EXPECT_TRUE(test::ReadFile(target).starts_with("<ETX>5200A,\r\n<STX>R<ETX>\r\n"));
}

TEST_F(ConfigFileTest, DownloadFlagsChooseTheSections) {
    PCUSetDnldFlags(ctx, 0, 1, 1, 1);
    ASSERT_EQ(PCUToFile(ctx, path("objects.tcf").c_str()), PCU_OK);
    EXPECT_EQ(test::ReadFile(path("objects.tcf")), "") << "no configuration, no queued objects";
    // Such a file names no model, so it cannot be loaded as a configuration.
    EXPECT_EQ(PCUFromFile(ctx, path("objects.tcf").c_str()), PCU_ERR_FILE_MODEL);
}

TEST_F(ConfigFileTest, ModelsWithoutAConfigurationAreNotSaved) {
    for (int model : {26, 40, 41}) {
        record(ctx).model = static_cast<std::int16_t>(model);
        EXPECT_EQ(PCUToFile(ctx, path("script.tcf").c_str()), PCU_ERR_ARGUMENT) << model;
    }
    EXPECT_FALSE(fs::exists(path("script.tcf")));
}

}  // namespace
}  // namespace tarvo

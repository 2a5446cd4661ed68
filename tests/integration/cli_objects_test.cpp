// `tarvo objects` changes and `tarvo config` files with object sections, end to end against
// the simulated printer, which keeps what it stores between runs.
#include <gtest/gtest.h>

#include <string>

#include "support/cli_run.h"
#include "support/test_env.h"
#include "unit/bitmap_builder.h"

namespace tarvo {
namespace {

using test::Outcome;

class CliObjectsTest : public ::testing::Test {
  protected:
    void SetUp() override { env.setProfile("Protocol", "Standard"); }

    Outcome on(const std::string& args) {
        return test::RunProgram(env, "tarvo",
                                "--profile " + env.profilePath() + " --simulate 6220E " + args);
    }

    std::string write(const std::string& name, const std::string& bytes) {
        const std::string path = env.root() + "/" + name;
        test::WriteFile(path, bytes);
        return path;
    }

    std::string logo() {
        return write("logo.bmp", test::MonoBmp({"##..", "#..#", "....", "####"}));
    }

    // The first 30 bytes of a bitmap file: the headers stop in the middle.
    std::string cutLogo() {
        return write("cut.bmp", test::MonoBmp({"##..", "#..#"}).substr(0, 30));
    }

    test::TestEnv env;
};

TEST_F(CliObjectsTest, AGraphicIsStoredListedAndDeleted) {
    const Outcome add =
        on("--simulate-fresh objects add-graphic " + logo() + " --id 5 --name LOGO --scale 1");
    ASSERT_EQ(add.status, 0) << add.err;
    const Outcome list = on("objects list graphics");
    ASSERT_EQ(list.status, 0) << list.err;
    EXPECT_TRUE(list.out.starts_with("graphics (1):\n      5  LOGO ")) << list.out;

    const Outcome del = on("--yes objects delete graphic 5");
    ASSERT_EQ(del.status, 0) << del.err;
    EXPECT_EQ(on("objects list graphics").out, "graphics (0):\n");
}

TEST_F(CliObjectsTest, SeveralChangesAreCommittedInOneRun) {
    const std::string format = write("label.txt", "F3,SHIP;\nH10;o100,100\nD11\n");
    const Outcome r = on("--simulate-fresh objects add-graphic " + logo() +
                         " --id 5 --name LOGO --scale 2 --rotate 90 add-format " + format);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("      5  LOGO "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("      3  SHIP "), std::string::npos) << r.out;
}

TEST_F(CliObjectsTest, BadInputIsRefusedWithAClearMessageAndNothingStored) {
    const struct {
        std::string args;
        int status;
        std::string message;
    } cases[] = {
        {"objects add-graphic " + logo() + " --name LOGO --scale 1", 2, "--id is required"},
        {"objects add-graphic " + logo() + " --id 5 --name LOGO", 2, "--scale S or --size WxH"},
        {"objects add-graphic " + logo() + " --id 5 --name 'A;B' --scale 1", 1,
         "cannot be sent to the printer"},
        {"objects add-graphic " + cutLogo() + " --id 5 --name CUT --scale 1", 1, "[code "},
        {"objects add-format " + write("empty.txt", "H10\n"), 2, "names no format number"},
        {"objects delete graphic 77", 1, "the printer holds no graphic 77"},
        {"objects frobnicate", 2, "unexpected 'frobnicate'"},
    };
    on("--simulate-fresh objects list graphics");
    for (const auto& c : cases) {
        const Outcome r = on(c.args);
        EXPECT_EQ(r.status, c.status) << c.args << ": " << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << ": " << r.err;
    }
    EXPECT_EQ(on("objects list graphics").out, "graphics (0):\n");
}

TEST_F(CliObjectsTest, AConfigurationFileCarriesObjectsToAnotherPrinter) {
    const std::string file = env.root() + "/fleet.tcf";
    const Outcome save = on("--simulate-fresh objects add-graphic " + logo() +
                            " --id 5 --name LOGO --scale 1 --to " + file);
    ASSERT_EQ(save.status, 0) << save.err;
    EXPECT_EQ(on("objects list graphics").out, "graphics (0):\n") << "--to sends nothing";
    EXPECT_NE(test::ReadFile(file).find("<STX>G5,LOGO<ETX>\r\n"), std::string::npos);

    // Refreshing the configuration keeps the sections only when asked to.
    ASSERT_EQ(on("config pull " + file + " --with-objects").status, 0);
    EXPECT_NE(test::ReadFile(file).find("<STX>G5,LOGO<ETX>\r\n"), std::string::npos);

    const Outcome push = on("--yes config push " + file);
    ASSERT_EQ(push.status, 0) << push.err;
    EXPECT_NE(push.out.find("Sent the object sections."), std::string::npos) << push.out;
    EXPECT_TRUE(on("objects list graphics").out.starts_with("graphics (1):\n      5  LOGO "));

    ASSERT_EQ(on("config pull " + file).status, 0);
    EXPECT_EQ(test::ReadFile(file).find("<ESC>P"), std::string::npos);
}

TEST_F(CliObjectsTest, ABitmapFontFromAnInstalledFaceIsStored) {
    const Outcome r =
        on("--simulate-fresh objects add-font --face 'DejaVu Sans' --id 70 "
           "--name DIGITS --points 10 --chars digits");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("     70  DIGITS "), std::string::npos) << r.out;
}

TEST_F(CliObjectsTest, ObjectsAndServicesRefuseAScriptLanguagePrinter) {
    for (const std::string command : {"objects list", "service"}) {
        const Outcome r = test::RunProgram(
            env, "tarvo", "--profile " + env.profilePath() + " --simulate TQ8e " + command);
        EXPECT_EQ(r.status, 2) << command;
        EXPECT_NE(r.err.find("serves Lanmere-family (escape-language) printers only"),
                  std::string::npos)
            << command << ": " << r.err;
    }
}

TEST_F(CliObjectsTest, ATestLabelIsRefusedByAPrinterThatCannotListItsFormats) {
    const Outcome r = test::RunProgram(env, "tarvo",
                                       "--profile " + env.profilePath() +
                                           " --simulate 5200A --simulate-fresh testprint barcode "
                                           "'Code 39'");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("the printer did not list its formats"), std::string::npos) << r.err;
    EXPECT_EQ(r.out.find("Printed"), std::string::npos) << r.out;
}

TEST_F(CliObjectsTest, TheHostFontsIncludeTheInstalledTrueTypeFaces) {
    const Outcome r = test::RunProgram(env, "tarvo", "fonts");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("DejaVu Sans\n"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace tarvo

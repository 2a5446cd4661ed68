// What the Brakenholm image chooser refuses before anything is sent: images that are not
// monochrome, files that are no image of the formats the printer takes.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "desk/brak_objects.h"
#include "support/test_env.h"

namespace tarvo::app {
namespace {

std::string Pcx(char bitsPerPixel, char planes) {
    std::string header(128, '\0');
    header[0] = 0x0A;
    header[3] = bitsPerPixel;
    header[65] = planes;
    return header;
}

std::string Bmp(char bitsPerPixel) {
    std::string header(62, '\0');
    header[0] = 'B';
    header[1] = 'M';
    header[28] = bitsPerPixel;
    return header;
}

TEST(BrakImageFiles, OnlyMonochromePcxAndBmpGo) {
    test::TestEnv env;
    const std::string monochrome =
        "This file must be converted to monochrome before\nbeing downloaded to the printer.";
    const struct {
        const char* name;
        std::string bytes;
        std::string problemStart;  // empty: no problem
    } cases[] = {
        {"a.pcx", Pcx(1, 1), ""},
        {"b.PCX", Pcx(1, 1), ""},
        {"c.bmp", Bmp(1), ""},
        {"d.pcx", Pcx(8, 1), monochrome},
        {"e.pcx", Pcx(1, 4), monochrome},
        {"f.bmp", Bmp(24), monochrome},
        {"g.pcx", "short", "is not a PCX image"},
        {"h.bmp", Pcx(1, 1), "is not a BMP image"},
        {"i.png", Bmp(1), "Images go to the printer as PCX"},
    };
    for (const auto& c : cases) {
        const std::string path = env.root() + "/" + c.name;
        std::ofstream(path, std::ios::binary) << c.bytes;
        const std::optional<std::string> problem = ImageFileProblem(path);
        if (c.problemStart.empty()) {
            EXPECT_FALSE(problem) << c.name << ": " << *problem;
            continue;
        }
        ASSERT_TRUE(problem) << c.name;
        EXPECT_NE(problem->find(c.problemStart), std::string::npos) << c.name << ": " << *problem;
    }
}

}  // namespace
}  // namespace tarvo::app

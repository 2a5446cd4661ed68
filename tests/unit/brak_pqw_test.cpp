// The print quality wizard's media tables and the rules of its pages that need no printer
// listing: lines read, skipped and corrected with their messages, the search path, the speed
// list, the ribbon check and the question about a speed over the entry's maximum.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "brakenholm/brak_pqw_session.h"
#include "support/brak_fixture.h"

namespace tarvo::app {
namespace {

// A line of the given fields padded with blanks after the name to `length` characters.
std::string Line(const std::string& name, const std::string& rest, std::size_t length) {
    std::string head = name + ",";
    head.resize(length - rest.size(), ' ');
    return head + rest;
}

const std::string kDtRest = "Top-coated paper, 70, 25, 225";
const std::string kTtrRest = "Coated paper labels, 62, 22, 0, 200";

TEST(BrakMediaTable, LinesAreReadByTheirLengthAndFirstCharacter) {
    struct Case {
        std::string line;
        std::size_t entries;
        std::vector<MediaTableNote> notes;
    };
    const std::vector<Case> cases = {
        {Line("DT-A", kDtRest, 55), 0, {}},  // a heading, even with valid fields
        {Line("DT-A", kDtRest, 56), 1, {}},
        {Line("DT-A", kDtRest, 99), 1, {}},
        {Line("DT-A", kDtRest, 100),
         0,
         {{1, "Line 1 is longer than 99 characters and was skipped"}}},
        {Line("DT-A", kDtRest, 180),
         0,
         {{1, "Line 1 is longer than 99 characters and was skipped"}}},
        {"*" + Line("DT-A", kDtRest, 70).substr(1), 0, {}},
        {Line("DT-A", "Top-coated paper, 70, 25", 60),
         0,
         {{1,
           "Line 1 was skipped: it does not hold a name, a description, a constant, a "
           "factor, and a maximum speed"}}},
        {Line("DT-A", "Top-coated paper, 70, x25, 225", 60),
         0,
         {{1,
           "Line 1 was skipped: it does not hold a name, a description, a constant, a "
           "factor, and a maximum speed"}}},
        {Line("DT-A", "Top-coated paper, 70, 25, 225, 9", 60),
         0,
         {{1,
           "Line 1 was skipped: it does not hold a name, a description, a constant, a "
           "factor, and a maximum speed"}}},
    };
    for (const Case& c : cases) {
        const auto table = BrakMediaTable::Parse(c.line + "\n", MediaKind::DirectThermal, false);
        EXPECT_EQ(table.entries().size(), c.entries) << c.line.size() << ": " << c.line;
        EXPECT_EQ(table.notes(), c.notes) << c.line;
    }
}

TEST(BrakMediaTable, FieldsAreSplitAtCommasWithEmptyOnesCollapsedAndBothLineEndsTaken) {
    const std::string text = "* heading\r\n" + Line("TR-1", "  Film,, 90, 34, -6, 125", 60) +
                             "\r\n" + Line("TR-2", kTtrRest, 70) + "\n";
    const auto table = BrakMediaTable::Parse(text, MediaKind::ThermalTransfer, false);
    ASSERT_EQ(table.entries().size(), 2u);
    EXPECT_TRUE(table.notes().empty());
    EXPECT_EQ(table.entries()[0], (BrakMediaEntry{"TR-1", "Film", 90, 34, -6, 125}));
    EXPECT_EQ(table.entries()[1], (BrakMediaEntry{"TR-2", "Coated paper labels", 62, 22, 0, 200}));
    EXPECT_EQ(table.longestName(), 4u);
}

TEST(BrakMediaTable, ValuesOutOfRangeAreCorrectedWithTheirMessages) {
    struct Case {
        MediaKind kind;
        bool model880KS;
        std::string rest;
        BrakMediaEntry stored;
        std::string note;
    };
    const auto T = MediaKind::ThermalTransfer;
    const auto D = MediaKind::DirectThermal;
    const std::vector<Case> cases = {
        {T,
         false,
         "Film, 120, 30, 0, 200",
         {"R", "Film", 115, 30, 0, 200},
         "Ribbon Constant 120 input on line 2 is too large. Reset to 115"},
        {D,
         false,
         "Paper, 116, 30, 200",
         {"R", "Paper", 115, 30, 0, 200},
         "Label Constant 116 input on line 2 is too large. Reset to 115"},
        {D,
         false,
         "Paper, 49, 30, 200",
         {"R", "Paper", 50, 30, 0, 200},
         "Label Constant 49 input on line 2 is too small. Reset to 50"},
        {T,
         false,
         "Film, 80, 51, 0, 200",
         {"R", "Film", 80, 50, 0, 200},
         "Ribbon Factor 51 input on line 2 is too large. Reset to 50"},
        {T,
         false,
         "Film, 80, 9, 0, 200",
         {"R", "Film", 80, 10, 0, 200},
         "Ribbon Factor 9 input on line 2 is too small. Reset to 10"},
        {T,
         false,
         "Film, 80, 30, 51, 200",
         {"R", "Film", 80, 30, 50, 200},
         "Label Offset 51 input on line 2 is too large. Reset to 50"},
        {T,
         false,
         "Film, 80, 30, -51, 200",
         {"R", "Film", 80, 30, -50, 200},
         "Label Offset -51 input on line 2 is too small. Reset to -50"},
        {T,
         true,
         "Film, 80, 30, 0, 350",
         {"R", "Film", 80, 30, 0, 225},
         "Max speed 350 input on line 2 is too large. Reset to 225"},
        {T,
         false,
         "Film, 80, 30, 0, 350",
         {"R", "Film", 80, 30, 0, 300},
         "Max speed 350 input on line 2 is too large. Reset to 300"},
        {D,
         false,
         "Paper, 80, 30, 99",
         {"R", "Paper", 80, 30, 0, 100},
         "Max speed 99 input on line 2 is too small. Reset to 100"},
        {D, true, "Paper, 80, 30, 250", {"R", "Paper", 80, 30, 0, 225}, ""},  // silently
        {D, false, "Paper, 80, 30, 250", {"R", "Paper", 80, 30, 0, 250}, ""},
    };
    for (const Case& c : cases) {
        const auto table =
            BrakMediaTable::Parse("* first line\n" + Line("R", c.rest, 60), c.kind, c.model880KS);
        ASSERT_EQ(table.entries().size(), 1u) << c.rest;
        EXPECT_EQ(table.entries()[0], c.stored) << c.rest;
        const std::vector<MediaTableNote> notes = c.note.empty()
                                                      ? std::vector<MediaTableNote>{}
                                                      : std::vector<MediaTableNote>{{2, c.note}};
        EXPECT_EQ(table.notes(), notes) << c.rest;
    }
}

TEST(BrakMediaTable, ThePreselectedEntryMatchesConstantFactorAndOffset) {
    const std::string text = Line("TR-1", "Film, 90, 34, 6, 125", 60) + "\n" +
                             Line("TR-2", "Film, 90, 34, 8, 125", 60) + "\n";
    const auto table = BrakMediaTable::Parse(text, MediaKind::ThermalTransfer, false);
    EXPECT_EQ(table.Preselect(90, 34, 8), 1);
    EXPECT_EQ(table.Preselect(90, 34, 6), 0);
    EXPECT_EQ(table.Preselect(91, 34, 8), 0);  // none: the first
}

TEST(BrakPQWSpeeds, PositionsAreClampedAndShownInTheChosenUnit) {
    const std::vector<std::pair<int, int>> positions = {{0, 0},   {75, 0},  {100, 0}, {149, 1},
                                                        {150, 2}, {225, 5}, {300, 5}, {1000, 5}};
    for (const auto& [speed, position] : positions)
        EXPECT_EQ(PQWSpeedPosition(speed), position) << speed;
    EXPECT_EQ(PQWSpeedAt(0), 100);
    EXPECT_EQ(PQWSpeedAt(5), 225);
    EXPECT_EQ(PQWSpeedText(150, true), "150 mm/sec");
    EXPECT_EQ(PQWSpeedText(150, false), "6 inch/sec");
    EXPECT_EQ(PQWSpeedText(160, false), "6.4 inch/sec");
}

class BrakPQWTest : public test::BrakTest {
  protected:
    BrakPQWTest() {
        home = env.root() + "/tables";
        std::filesystem::create_directories(home);
        env.setEnv("TARVO_HOME", home.c_str());
        env.setEnv("XDG_DATA_DIRS", (env.root() + "/nowhere").c_str());
        MakePrinter(40);  // TQ8e
    }
    void WriteTable(MediaKind kind, const std::string& text) {
        test::WriteFile(home + "/" + std::string(MediaTableFileName(kind)), text);
    }
    std::string home;
};

TEST_F(BrakPQWTest, TablesAreFoundOnTheSearchPathOrNamedWithEveryPathTried) {
    env.setEnv("XDG_DATA_DIRS", (env.root() + "/a:relative:" + env.root() + "/b").c_str());
    // Last, share/tarvo beside the program's bin/ (the test build puts no tables there).
    const std::string beside =
        std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path().string() +
        "/share/tarvo";
    const auto dirs = MediaTableDirectories();
    ASSERT_EQ(dirs.size(), 4u);
    EXPECT_EQ(dirs[0], home);
    EXPECT_EQ(dirs[1], env.root() + "/a/tarvo");
    EXPECT_EQ(dirs[2], env.root() + "/b/tarvo");
    EXPECT_EQ(dirs[3], beside);
    const MediaTableLoad missing = LoadMediaTable(MediaKind::DirectThermal, false);
    EXPECT_FALSE(missing.table);
    EXPECT_EQ(missing.error, "Unable to open file " + home + "/BrakDTMedia.txt, " + env.root() +
                                 "/a/tarvo/BrakDTMedia.txt, " + env.root() +
                                 "/b/tarvo/BrakDTMedia.txt or " + beside +
                                 "/BrakDTMedia.txt\nPrint Quality Wizard cancelled");

    std::filesystem::create_directories(env.root() + "/b/tarvo");
    test::WriteFile(env.root() + "/b/tarvo/BrakDTMedia.txt", Line("DT-B", kDtRest, 60));
    const MediaTableLoad found = LoadMediaTable(MediaKind::DirectThermal, false);
    ASSERT_TRUE(found.table) << found.error;
    EXPECT_EQ(found.path, env.root() + "/b/tarvo/BrakDTMedia.txt");
    EXPECT_EQ(found.table->entries()[0].name, "DT-B");
}

TEST_F(BrakPQWTest, ATableWithoutEntriesIsRefused) {
    WriteTable(MediaKind::DirectThermal, "* only a comment\n" + Line("DT-A", kDtRest, 40) + "\n");
    const MediaTableLoad load = LoadMediaTable(MediaKind::DirectThermal, false);
    EXPECT_FALSE(load.table);
    EXPECT_EQ(load.error, "The file " + home +
                              "/BrakDTMedia.txt holds no media entries\nPrint Quality Wizard "
                              "cancelled");
    BrakPQWSession wizard(*printer, prompt, true);
    EXPECT_FALSE(wizard.EnsureTable());
    EXPECT_EQ(prompt.Notices(), std::vector<std::string>{load.error});
}

// Choosing thermal transfer asks the ribbon sensor: silence leaves the choice as it was.
TEST_F(BrakPQWTest, TheRibbonCheckKeepsTheChoiceUnlessARibbonIsThere) {
    struct Case {
        std::optional<std::string> reply;
        int paperType;
        std::vector<std::string> notices;
    };
    const std::vector<Case> cases = {
        {"1\r\n", 1, {}},
        {"0\r\n", 0, {"No ribbon detected!"}},
        {std::nullopt,
         0,
         {"No answer from the printer: the ribbon could not be checked, so the paper type "
          "stays as it was."}},
    };
    for (const Case& c : cases) {
        MakePrinter(40);
        prompt.shown.clear();
        if (c.reply)
            port->Answer("PRINT SYSVAR(23)", *c.reply);
        BrakPQWSession wizard(*printer, prompt, true);
        wizard.Open(kPQWPaperPage);
        wizard.page().Choose("paper", 1);
        EXPECT_EQ(wizard.values().paperType, c.paperType);
        EXPECT_EQ(wizard.page().field("paper").selected, c.paperType);
        EXPECT_EQ(prompt.Notices(), c.notices);
        EXPECT_EQ(port->Commands(), std::vector<std::string>{"PRINT SYSVAR(23)"});
    }
}

TEST_F(BrakPQWTest, ASpeedOverTheEntrysMaximumIsAskedAboutAndNoKeepsTheOldSpeed) {
    WriteTable(MediaKind::DirectThermal, Line("DT-A", "Paper, 70, 25, 150", 60) + "\n");
    BrakPQWSession wizard(*printer, prompt, true);
    wizard.values().printSpeed = 125;
    ASSERT_TRUE(wizard.EnsureTable());
    wizard.Open(kPQWLabelPage);
    wizard.page().Choose("speed", 4);  // 200 mm/s
    prompt.ExpectQuestion(
        "Selected print speed 200 mm/sec exceeds\nrecommended maximum of "
        "150 mm/sec.\nProceed?",
        PromptAnswer::No);
    EXPECT_FALSE(wizard.Next());
    EXPECT_EQ(wizard.page().field("speed").selected, 1);  // 125 again
    EXPECT_EQ(wizard.values().labelConstant, 0);
    wizard.page().Choose("speed", 4);
    prompt.ExpectQuestion("Proceed?", PromptAnswer::Yes);
    EXPECT_TRUE(wizard.Next());
    EXPECT_EQ(wizard.current(), kPQWContrastPage);
    EXPECT_EQ(wizard.values().printSpeed, 200);
    EXPECT_EQ(wizard.values().labelConstant, 70);
    EXPECT_EQ(wizard.values().labelFactor, 25);
    EXPECT_TRUE(port->Commands().empty());
}

// Finish checks every writer's result and names what was not sent; the rest still goes.
TEST_F(BrakPQWTest, FinishNamesTheValuesThatWereNotSent) {
    port->FailWritesContaining("PRINT SPEED", EIO);
    BrakPQWSession wizard(*printer, prompt, true);
    wizard.values().labelConstant = 78;
    wizard.values().printSpeed = 150;
    wizard.values().contrast = 6;
    const PQWFinish finish = wizard.Finish();
    EXPECT_EQ(finish.sent,
              (std::vector<BrakSetting>{BrakSetting::LabelConstant, BrakSetting::PrintSpeed,
                                        BrakSetting::Contrast}));
    ASSERT_EQ(finish.failed.size(), 1u);
    EXPECT_EQ(finish.failed[0].rfind("print-speed: ", 0), 0u) << finish.failed[0];
    EXPECT_FALSE(finish.ok());
    const std::vector<std::string> commands = port->Commands();
    EXPECT_EQ(commands.front(), "SETUP \"MEDIA,PAPER TYPE,DIRECT THERMAL,LABEL CONSTANT,78\"");
    EXPECT_EQ(commands.back(), "SETUP \"MEDIA,CONTRAST,+2%\"");
    EXPECT_EQ(printer->GetSetup().printSpeed, 150);  // the record holds what was chosen
}

// The 880KS is known by its model text, or by the model it was identified as when that text
// was not read.
TEST_F(BrakPQWTest, AnIdentified880KsKeepsItsSpeedsAt225) {
    WriteTable(MediaKind::DirectThermal, Line("DT-A", "Paper, 70, 25, 350", 60) + "\n");
    for (const auto& [model, reset] : std::vector<std::pair<int, int>>{{33, 225}, {40, 300}}) {
        MakePrinter(model);
        prompt.shown.clear();
        BrakPQWSession wizard(*printer, prompt, true);
        ASSERT_TRUE(wizard.EnsureTable());
        EXPECT_EQ(wizard.table()->entries()[0].maxSpeed, reset);
        EXPECT_EQ(prompt.Notices(),
                  std::vector<std::string>{"Max speed 350 input on line 1 is too large. Reset to " +
                                           std::to_string(reset)});
    }
}

}  // namespace
}  // namespace tarvo::app

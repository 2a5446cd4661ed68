// The memory check and the printer reset against the simulated printer: graphic limits per model
// and firmware variant, the estimate against the free memory the printer reports (to the byte),
// objects that cannot be read, and the factory line a reset leaves in printer, profile and
// context.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "session/kernel_state.h"
#include "support/sim_fixture.h"
#include "support/test_env.h"
#include "tarvo/kernel.h"
#include "unit/bitmap_builder.h"

namespace tarvo {
namespace {

using Messages = std::vector<std::string>;

// A caller's object list, freed at the end.
template <class Record>
class OwnList {
  public:
    OwnList() : head_(cl_inithd()) {}
    ~OwnList() {
        cl_clrlist(head_);
        cl_del(head_, head_);
    }
    OwnList(const OwnList&) = delete;
    OwnList& operator=(const OwnList&) = delete;
    void add(const Record& record) {
        cl_node* node = cl_ins(cl_last(head_), sizeof(Record));
        std::memcpy(node->data, &record, sizeof(Record));
    }
    cl_node* head() { return head_; }

  private:
    cl_node* head_;
};

template <std::size_t N>
void Copy(char (&field)[N], const std::string& text) {
    std::snprintf(field, N, "%s", text.c_str());
}

class MemoryCheckTest : public test::SimTest {
  protected:
    void start(int model, unsigned freeKb = 987) {
        sim::Options o;
        o.model = model;
        o.memoryFreeKb = freeKb;
        startPrinter(o);
        FindContext(ctx)->settings.model = static_cast<std::int16_t>(model);
    }

    std::string writeFile(const std::string& name, const std::string& bytes) {
        const std::string path = env.root() + "/" + name;
        test::WriteFile(path, bytes);
        return path;
    }

    // A graphic of 9 x 5 pixels scaled to `scale` times that in dots.
    GraphicInfo graphic(std::uint16_t id, float scale) {
        const std::string path = writeFile(
            "g.bmp",
            test::MonoBmp({"#########", ".........", "#........", "........#", "#########"}));
        GraphicInfo g{};
        Copy(g.path, path);
        Copy(g.newDescription, "Logo " + std::to_string(id));
        g.scaleMode = PCU_SCALE_BY_FACTOR;
        g.scale = scale;
        g.pending = PCU_PENDING_DOWNLOAD;
        g.id = id;
        return g;
    }

    // A Speedo font whose file holds `bytes` bytes.
    FontInfo speedo(std::uint16_t id, std::size_t bytes) {
        FontInfo f{};
        Copy(f.path, writeFile("font" + std::to_string(id) + ".spd", std::string(bytes, 'x')));
        f.kind = PCU_FONT_KIND_OUTLINE;
        f.fontType = PCU_FONT_TYPE_SPEEDO;
        f.pending = PCU_PENDING_DOWNLOAD;
        f.id = id;
        return f;
    }

    Context& context() { return *FindContext(ctx); }
};

TEST_F(MemoryCheckTest, GraphicOverTheModelsLimitIsRefusedBeforeAnyTraffic) {
    start(0);
    OwnList<GraphicInfo> graphics;
    graphics.add(graphic(4, 10));   // 90 x 50
    graphics.add(graphic(7, 100));  // 900 x 500
    EXPECT_EQ(PCUMemoryCheck(ctx, nullptr, graphics.head()), PCU_ERR_GRAPHIC_LIMIT);
    EXPECT_EQ(context().lastError, PCU_ERR_GRAPHIC_LIMIT);
    EXPECT_EQ(context().lastSysError, 7);
    EXPECT_STREQ(context().lastErrorText, "Logo 7");
    EXPECT_TRUE(printer->receivedMessages().empty());
}

TEST_F(MemoryCheckTest, SecondFirmwareVariantLiftsTheLimit) {
    start(0);
    State().programNumberSecond = true;
    OwnList<GraphicInfo> graphics;
    graphics.add(graphic(7, 100));
    PCUMemoryReport report{};
    EXPECT_EQ(PCUMemoryCheckReport(ctx, nullptr, graphics.head(), &report), PCU_OK);
    EXPECT_EQ(report.bytesNeeded, 900 * 500 / 8);
    EXPECT_EQ(report.freeKb, 987u);
    EXPECT_EQ(report.asked, 1);
    EXPECT_EQ(printer->receivedMessages(), Messages{"\x1bm"});
    EXPECT_EQ(context().settings.memoryFree, 987);
}

TEST_F(MemoryCheckTest, LimitsFollowModelAndVariant) {
    struct Case {
        int model;
        bool second;
        float scale;  // of a 9 x 5 bitmap
        int expected;
    };
    const Case cases[] = {
        {10, false, 67, PCU_ERR_GRAPHIC_LIMIT},  {10, true, 67, PCU_OK},   // 603 wide
        {10, true, 89, PCU_ERR_GRAPHIC_LIMIT},   {5, false, 112, PCU_OK},  // 1008 wide
        {5, false, 113, PCU_ERR_GRAPHIC_LIMIT},  {18, false, 177, PCU_OK},
        {18, false, 178, PCU_ERR_GRAPHIC_LIMIT}, {18, true, 178, PCU_OK},
    };
    for (const Case& c : cases) {
        start(c.model, 1000);
        State().programNumberSecond = c.second;
        OwnList<GraphicInfo> graphics;
        graphics.add(graphic(1, c.scale));
        EXPECT_EQ(PCUMemoryCheck(ctx, nullptr, graphics.head()), c.expected)
            << c.model << " " << c.second << " " << c.scale;
    }
}

TEST_F(MemoryCheckTest, EstimateIsComparedWithTheFreeMemoryToTheByte) {
    start(18, 256);
    for (const auto& [bytes, expected] : {std::pair<unsigned, int>{256001, PCU_ERR_PRINTER_MEMORY},
                                          std::pair<unsigned, int>{256000, PCU_OK}}) {
        OwnList<FontInfo> fonts;
        fonts.add(speedo(70, bytes));
        EXPECT_EQ(PCUMemoryCheck(ctx, fonts.head(), nullptr), expected) << bytes;
    }
}

TEST_F(MemoryCheckTest, DeletionsGiveTheirSizeBack) {
    start(18, 256);
    OwnList<FontInfo> fonts;
    fonts.add(speedo(70, 300000));
    FontInfo deleted{};
    deleted.id = 71;
    deleted.status = PCU_STATUS_DELETE;
    deleted.size = 50000;
    fonts.add(deleted);
    OwnList<GraphicInfo> graphics;
    GraphicInfo gone{};
    gone.id = 3;
    gone.status = PCU_STATUS_DELETE;
    gone.size = 10000;
    graphics.add(gone);
    PCUMemoryReport report{};
    EXPECT_EQ(PCUMemoryCheckReport(ctx, fonts.head(), graphics.head(), &report), PCU_OK);
    EXPECT_EQ(report.bytesNeeded, 240000);
}

TEST_F(MemoryCheckTest, BitmapFontsCountTheirCharactersAndOutlineFacesTheirFile) {
    start(18);
    auto bitmap = [](int charRange) {
        FontInfo f{};
        f.source = PCU_FONT_SOURCE_FACE;
        Copy(f.faceName, "DejaVu Sans");
        f.kind = PCU_FONT_KIND_BITMAP;
        f.sizeMode = PCU_SIZE_BY_POINTS;
        f.pointSize = 24;
        f.charRange = static_cast<std::int16_t>(charRange);
        f.pending = PCU_PENDING_DOWNLOAD;
        return f;
    };
    auto estimate = [&](const FontInfo& font) {
        OwnList<FontInfo> fonts;
        fonts.add(font);
        PCUMemoryReport report{};
        EXPECT_EQ(PCUMemoryCheckReport(ctx, fonts.head(), nullptr, &report), PCU_OK);
        return report.bytesNeeded;
    };
    const std::int64_t digits = estimate(bitmap(2));
    ASSERT_GT(digits, 0);
    ASSERT_EQ(digits % 10, 0);
    EXPECT_EQ(estimate(bitmap(1)), digits / 10 * 62);
    EXPECT_EQ(estimate(bitmap(3)), digits / 10 * 95);
    EXPECT_EQ(estimate(bitmap(0)), digits / 10 * 224);
    EXPECT_EQ(estimate(bitmap(5)), 0);

    FontInfo outline = bitmap(0);
    outline.kind = PCU_FONT_KIND_OUTLINE;
    outline.fontType = PCU_FONT_TYPE_TRUETYPE;
    EXPECT_EQ(estimate(outline),
              static_cast<std::int64_t>(
                  test::ReadFile("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf").size()));
}

TEST_F(MemoryCheckTest, ObjectsThatCannotBeReadAddNothingAndAreNamed) {
    start(0, 1);
    OwnList<GraphicInfo> graphics;
    GraphicInfo missing = graphic(9, 100);
    Copy(missing.path, env.root() + "/none.bmp");
    graphics.add(missing);
    GraphicInfo broken = graphic(8, 1);
    Copy(broken.path, writeFile("broken.bmp", "BM not a bitmap"));
    graphics.add(broken);
    OwnList<FontInfo> fonts;
    FontInfo noFile = speedo(70, 10);
    Copy(noFile.path, env.root() + "/none.spd");
    fonts.add(noFile);

    std::vector<std::pair<int, int>> named;
    PCUMemoryReport report{};
    report.user = &named;
    report.skipped = [](void* user, int kind, std::uint16_t id, int) {
        static_cast<std::vector<std::pair<int, int>>*>(user)->emplace_back(kind, id);
    };
    EXPECT_EQ(PCUMemoryCheckReport(ctx, fonts.head(), graphics.head(), &report), PCU_OK);
    EXPECT_EQ(report.bytesNeeded, 0);
    EXPECT_EQ(named, (std::vector<std::pair<int, int>>{
                         {PCU_OBJECT_FONT, 70}, {PCU_OBJECT_GRAPHIC, 9}, {PCU_OBJECT_GRAPHIC, 8}}));
}

TEST_F(MemoryCheckTest, EmptyListsNeedNoPrinterAndNullArgumentsAreRefused) {
    start(18);
    OwnList<FontInfo> fonts;
    EXPECT_EQ(PCUMemoryCheck(ctx, fonts.head(), nullptr), PCU_OK);
    EXPECT_EQ(PCUMemoryCheckReport(ctx, nullptr, nullptr, nullptr), PCU_ERR_ARGUMENT);
    EXPECT_EQ(PCUMemoryCheck(0, nullptr, nullptr), PCU_ERR_NO_CONTEXT);
    EXPECT_TRUE(printer->receivedMessages().empty());
}

TEST_F(MemoryCheckTest, PortThatDoesNotOpenIsReported) {
    start(18);
    env.setProfile("Device.COM1", env.root() + "/no-such-device");
    OwnList<FontInfo> fonts;
    fonts.add(speedo(70, 10));
    EXPECT_EQ(PCUMemoryCheck(ctx, fonts.head(), nullptr), PCU_ERR_OPEN);
    EXPECT_EQ(context().lastError, PCU_ERR_OPEN);
}

class ResetTest : public test::SimTest {
  protected:
    void start(int model, sim::LineSettings line, char preamble = 0) {
        sim::Options o;
        o.model = model;
        o.line = line;
        o.preamble = preamble;
        startPrinter(o);
        FindContext(ctx)->settings.model = static_cast<std::int16_t>(model);
    }
    static std::string Profile(const char* key) {
        char out[64];
        PCUGetProfileString(nullptr, key, "(none)", out, sizeof out, 0);
        return out;
    }
};

TEST_F(ResetTest, Model8GoesBackTo9600Even7OneXonXoff) {
    start(8, {19200, 8, 'N', 1, sim::Protocol::RtsCts}, '@');
    ASSERT_EQ(PCUResetPrinter(ctx), PCU_OK);
    EXPECT_EQ(printer->receivedMessages(), (Messages{"\x1bM1", "\x1bT;D;R"}));
    EXPECT_EQ(printer->line(), (sim::LineSettings{9600, 7, 'E', 1, sim::Protocol::XonXoff}));
    EXPECT_EQ(Profile("Baud"), "9600");
    EXPECT_EQ(Profile("Parity"), "Even");
    EXPECT_EQ(Profile("DataBits"), "7");
    EXPECT_EQ(Profile("StopBits"), "1");
    EXPECT_EQ(Profile("Protocol"), "XON/XOFF");
    EXPECT_EQ(Profile("Preamble"), "(none)");
    // The context followed: both ends agree, so the printer still answers.
    EXPECT_EQ(PCUPing(ctx), 1);
}

TEST_F(ResetTest, Models12To15And20To24GoBackToEightBitsNoParity) {
    start(21, {38400, 7, 'O', 2, sim::Protocol::XonXoff});
    ASSERT_EQ(PCUResetPrinter(ctx), PCU_OK);
    EXPECT_EQ(printer->line(), (sim::LineSettings{9600, 8, 'N', 1, sim::Protocol::XonXoff}));
    EXPECT_EQ(Profile("Parity"), "None");
    EXPECT_EQ(Profile("DataBits"), "8");
    EXPECT_EQ(PCUPing(ctx), 1);
}

TEST_F(ResetTest, OtherModelsKeepTheirLineAndLoseTheirFrameCharacters) {
    const sim::LineSettings line{19200, 8, 'N', 1, sim::Protocol::Standard};
    start(18, line, '@');
    ASSERT_EQ(PCUResetPrinter(ctx), PCU_OK);
    EXPECT_EQ(printer->line(), line);
    EXPECT_EQ(Profile("Baud"), "19200");
    EXPECT_EQ(Profile("Protocol"), "Standard");
    EXPECT_EQ(Profile("Preamble"), "(none)");
    EXPECT_EQ(PCUPing(ctx), 1);
}

TEST_F(ResetTest, SilentPrinterIsNotResetAndTheProfileStays) {
    sim::Options o;
    o.model = 8;
    o.faults.silent = true;
    startPrinter(o);
    FindContext(ctx)->settings.model = 8;
    env.setProfile("Baud", "19200");
    EXPECT_EQ(PCUResetPrinter(ctx), PCU_ERR_NO_PING);
    EXPECT_EQ(printer->receivedMessages(), Messages{"\x1bM1"});
    EXPECT_EQ(Profile("Baud"), "19200");
}

}  // namespace
}  // namespace tarvo

// The change list both programs show before a send, and the record of the last send that an
// undo sends back.
#include <gtest/gtest.h>

#include "desk/last_send.h"
#include "desk/setting_catalog.h"
#include "support/test_env.h"
#include "tarvo/base/fs.h"
#include "tarvo/types.h"

namespace tarvo::app {
namespace {

constexpr int k6220E = 18;

LanValues Defaults(int model) {
    LanValues v{};
    for (int i = 0; i < PROP_SETTING_COUNT; ++i)
        propGetCfgDefault(model, i, &v[static_cast<std::size_t>(i)]);
    v[14] = 0;    // darkness
    v[31] = 813;  // label width in dots
    return v;
}

TEST(LanChanges, ListsExactlyWhatASendChanges) {
    const LanValues before = Defaults(k6220E);
    LanValues after = before;
    after[14] = 5;    // darkness
    after[31] = 800;  // label width, dots of 1/8 mm
    after[7] += 10;   // free memory: the printer reports it, a send cannot change it
    after[39] = 1;    // the serial flag goes with the line, not the configuration
    struct Case {
        Units units;
        const char* text;
    };
    const Case cases[] = {
        {Units::Inches,
         "  darkness               0 -> 5\n"
         "  label-width            4.00 in (813 dots) -> 3.94 in (800 dots)\n"},
        {Units::Centimetres,
         "  darkness               0 -> 5\n"
         "  label-width            10.16 cm (813 dots) -> 10.00 cm (800 dots)\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChangesText(ListChanges(k6220E, "1.13", before, after, c.units)), c.text);
    EXPECT_EQ(ChangesText(ListChanges(k6220E, "1.13", before, before, Units::Inches)),
              "  (none)\n");
}

class LastSendTest : public ::testing::Test {
  protected:
    test::TestEnv env;
};

TEST_F(LastSendTest, ARecordReadsBackAsItWasSaved) {
    LastSend saved{PCU_PORT_COM2, k6220E, "1.13", Defaults(k6220E)};
    saved.values[14] = -7;
    ASSERT_TRUE(SaveLastSend(saved, nullptr));
    std::string error;
    const auto loaded = LoadLastSend(PCU_PORT_COM2, &error);
    ASSERT_TRUE(loaded.has_value()) << error;
    EXPECT_EQ(loaded->model, k6220E);
    EXPECT_EQ(loaded->firmware, "1.13");
    EXPECT_EQ(loaded->values, saved.values);
    EXPECT_FALSE(LoadLastSend(PCU_PORT_COM1, &error).has_value());
    EXPECT_EQ(error, "no send from this host to COM1 was recorded");
}

TEST_F(LastSendTest, ADamagedRecordIsRefusedNamingWhere) {
    const std::string path = LastSendPath(PCU_PORT_COM1);
    const std::pair<const char*, const char*> cases[] = {
        {"port = COM1\nmodel = 18\nfirmware = 1\nvalues = 1,2\n", " line 4 cannot be read"},
        {"port = COM1\nmodel = 99\n", " line 2 cannot be read"},
        {"port = COM1\nport = COM1\n", " line 2 cannot be read"},
        {"port = COM1\nmodel = 18\n", " is incomplete"},
        {"hello\n", " line 1 cannot be read"},
    };
    for (const auto& [text, why] : cases) {
        ASSERT_TRUE(platform::MakeDirectories(platform::DirectoryOf(path), 0700));
        ASSERT_TRUE(platform::WriteFileAtomically(path, text, 0600));
        std::string error;
        EXPECT_FALSE(LoadLastSend(PCU_PORT_COM1, &error).has_value()) << text;
        EXPECT_EQ(error, path + why) << text;
    }
}

}  // namespace
}  // namespace tarvo::app

// The print quality wizard's test label: the darkness as the printer takes it, the print
// request's exact text, and the variable fields every layout places.
#include <gtest/gtest.h>

#include <string>

#include "lanmere/quality_label.h"

namespace tarvo::app::lanmere {
namespace {

TEST(QualityLabel, DarknessTakesTheConfigurationsForm) {
    const struct {
        int darkness;
        const char* text;
    } cases[] = {{-5, "<SI>d-05<SI>g1,420"},
                 {5, "<SI>d005<SI>g1,420"},
                 {0, "<SI>d000<SI>g1,420"},
                 {-10, "<SI>d-10<SI>g1,420"},
                 {10, "<SI>d010<SI>g1,420"}};
    for (const auto& c : cases)
        EXPECT_EQ(QualitySettings(c.darkness, 1, 420), c.text) << c.darkness;
    EXPECT_EQ(QualitySettings(0, 0, 80), "<SI>d000<SI>g0,080");
}

TEST(QualityLabel, ThePrintRequestCarriesCountAndFields) {
    QualityPrint p{.count = 3,
                   .sensitivity = 627,
                   .darkness = -2,
                   .mediaType = 1,
                   .speed = 40,
                   .metric = false,
                   .location = 7};
    EXPECT_EQ(QualityPrintRequest(p),
              "<ESC>E07<SI>d-02<SI>g1,627<US>01<RS>03<ESC>F42<LF>0627<ESC>F43<LF>-02"
              "<ESC>F44<LF>4.0 ips<ETB>");
    p.metric = true;
    EXPECT_NE(QualityPrintRequest(p).find("<LF>10.16 cps<ETB>"), std::string::npos);
}

TEST(QualityLabel, EveryLayoutPlacesTheVariableAndResolutionFields) {
    for (int model = 0; model < 25; ++model) {
        std::string text;
        for (const std::string& line : QualityLabelFields(model))
            text += line + "\n";
        for (const char* field : {"H42;", "H43;", "H44;"}) {
            const auto at = text.find(field);
            ASSERT_NE(at, std::string::npos) << model << field;
            EXPECT_NE(text.substr(at, text.find('\n', at) - at).find("d0,50;"), std::string::npos);
        }
        const bool fine = model == 4 || model == 5 || model == 7 || model == 17 || model == 19;
        EXPECT_NE(text.find(fine ? "d3,400 dpi" : "d3,200 dpi"), std::string::npos) << model;
        for (std::size_t limit : {std::size_t{200}}) {
            for (const std::string& m : QualityFormatMessages(5, model, limit))
                EXPECT_LE(m.size(), limit);
        }
    }
}

}  // namespace
}  // namespace tarvo::app::lanmere

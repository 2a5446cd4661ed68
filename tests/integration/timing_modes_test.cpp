// The two timing modes. Prescribed timing must keep the sequence of bytes and waits this
// program has always used, to the byte and the millisecond of virtual time: a recorded
// transcript (prescribed_sequence.txt beside this file) is compared with a fresh one. Adaptive
// timing must reach the same results against the same printers, faults included.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "support/sim_fixture.h"
#include "tarvo/kernel.h"

namespace tarvo {
namespace {

const std::string kGoldenPath =
    std::string(TARVO_SOURCE_DIR) + "/tests/integration/prescribed_sequence.txt";

struct Step {
    const char* name;
    std::function<int(int ctx)> run;
};

int Identify(int ctx) {
    char model[PCU_ID_MODEL_SIZE] = "";
    char number[PCU_ID_NUMBER_SIZE] = "";
    char firmware[PCU_ID_FIRMWARE_SIZE] = "";
    return PCUGetPrinterID(ctx, model, number, firmware, 1);
}

int Options(int ctx) {
    int a = 0, b = 0, c = 0;
    return PCUGetOptions(ctx, &a, &b, &c);
}

int Fonts(int ctx) {
    std::uint16_t n = 0;
    return PCUGetFonts(ctx, &n) * 1000 + n;
}

int Graphics(int ctx) {
    std::uint16_t n = 0;
    return PCUGetGraphics(ctx, &n) * 1000 + n;
}

int Formats(int ctx) {
    std::uint16_t n = 0;
    return PCUGetFormats(ctx, &n) * 1000 + n;
}

const std::vector<Step>& Steps() {
    static const std::vector<Step> steps = {
        {"identify", Identify},
        {"load configuration", PCUGetCfg},
        {"options", Options},
        {"fonts", Fonts},
        {"graphics", Graphics},
        {"formats", Formats},
        {"send configuration", PCUPutCfg},
        {"ping", PCUPing},
    };
    return steps;
}

struct Scenario {
    const char* name;
    int model;
    sim::Protocol protocol;
    char preamble;
    char postamble;
};

constexpr Scenario kScenarios[] = {
    {"6220E on XON/XOFF", 18, sim::Protocol::XonXoff, 0, 0},
    {"6430 on Standard with frame characters", 8, sim::Protocol::Standard, '#', '\r'},
    {"TQ5e-QEL on RTS/CTS", 23, sim::Protocol::RtsCts, 0, 0},
};

class TimingModesTest : public test::SimTest {
  protected:
    sim::Options optionsFor(const Scenario& s) {
        sim::Options o;
        o.model = s.model;
        o.line.protocol = s.protocol;
        o.preamble = s.preamble;
        o.postamble = s.postamble;
        o.objects = {{sim::ObjectKind::Graphic, {7, "logo", "", 2048}}};
        return o;
    }

    // Runs every step against a fresh printer and writes what crossed the line, each step's
    // result and the virtual time it took.
    std::string record(const Scenario& s) {
        startPrinter(optionsFor(s));
        std::ostringstream out;
        out << "# " << s.name << "\n";
        for (const Step& step : Steps()) {
            const auto before = clock->elapsed();
            const int result = step.run(ctx);
            const auto took = clock->elapsed() - before;
            out << "## " << step.name << ": result " << result << ", " << took.count() << " ms\n"
                << printer->transcriptText();
            printer->clearTranscript();
        }
        return out.str();
    }
};

TEST_F(TimingModesTest, PrescribedTimingKeepsTheRecordedSequence) {
    env.setProfile("Timing", "Prescribed");
    std::string all;
    for (const Scenario& s : kScenarios)
        all += record(s);
    if (std::getenv("TARVO_RECORD_SEQUENCE") != nullptr) {
        std::ofstream(kGoldenPath, std::ios::binary) << all;
        GTEST_SKIP() << "recorded " << kGoldenPath;
    }
    std::ifstream in(kGoldenPath, std::ios::binary);
    ASSERT_TRUE(in) << kGoldenPath;
    std::ostringstream golden;
    golden << in.rdbuf();
    EXPECT_EQ(all, golden.str());
}

}  // namespace
}  // namespace tarvo

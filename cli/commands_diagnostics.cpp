// `tarvo diagnostics`: the diagnostics report of an escape-language printer (once, or again and
// again with --watch), and a Brakenholm printer's status, function tests and print-head check.
#include <charconv>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "brakenholm/brak_diagnostics.h"
#include "brakenholm_session.h"
#include "cli_support.h"
#include "command_runs.h"
#include "json_output.h"
#include "lanmere/diag_report.h"
#include "shell/terminal_prompt.h"

namespace tarvo::cli {
namespace {

using app::lanmere::DiagField;
using app::lanmere::DiagReading;

constexpr const char* kDiagUsage = "usage: tarvo diagnostics [--watch SECONDS] [--dot N] [--json]";
constexpr int kMaxWatchSeconds = 3600;

struct DiagOptions {
    int watchSeconds = 0;  // 0: one reading
    std::optional<std::string> dot;
};

std::string ParseDiagOptions(const std::vector<std::string>& a, DiagOptions* o) {
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] == "--watch" && i + 1 < a.size()) {
            const std::string& text = a[++i];
            int seconds = 0;
            const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), seconds);
            if (ec != std::errc() || end != text.data() + text.size() || seconds < 1 ||
                seconds > kMaxWatchSeconds)
                return "--watch takes whole seconds from 1 to 3600, not '" + text + "'";
            o->watchSeconds = seconds;
        } else if (a[i] == "--dot" && i + 1 < a.size()) {
            o->dot = a[++i];
        } else {
            return kDiagUsage;
        }
    }
    return {};
}

// --- The escape-language report ----------------------------------------------------------

Json ReadingJson(const DiagReading& reading) {
    Json fields = Json::object();
    for (int i = 0; i < app::lanmere::kDiagFieldCount; ++i) {
        const auto field = static_cast<DiagField>(i);
        const std::int32_t value = reading.values[static_cast<std::size_t>(i)];
        const std::string key(app::lanmere::DiagFieldKey(field));
        if (value < 0)
            fields[key] = nullptr;
        else if (field == DiagField::LabelPath)
            fields[key] = app::lanmere::DiagFieldText(field, value);
        else
            fields[key] = value;
    }
    Json out = {{"fields", fields}};
    out["failure"] = reading.ok() ? Json(nullptr) : Json(Utf8Text(reading.failure));
    return out;
}

void PrintReading(const DiagReading& reading) {
    for (int i = 0; i < app::lanmere::kDiagFieldCount; ++i) {
        const auto field = static_cast<DiagField>(i);
        const std::string label(app::lanmere::DiagFieldLabel(field));
        const std::string text =
            app::lanmere::DiagFieldText(field, reading.values[static_cast<std::size_t>(i)]);
        std::printf("%-24s%s\n", (label + ":").c_str(), text.c_str());
    }
    std::fflush(stdout);
}

// The timer of --watch: the loop below sleeps out each shot.
class WatchTimer final : public app::lanmere::DiagTimer {
  public:
    void StartOnce(int ms) override { armedMs_ = ms; }
    void Stop() override { armedMs_.reset(); }
    // The shot's delay, disarming it; nullopt when none is armed.
    std::optional<int> take() {
        const auto ms = armedMs_;
        armedMs_.reset();
        return ms;
    }

  private:
    std::optional<int> armedMs_;
};

// Sleeps `ms` in short steps; false when Ctrl-C came first.
bool SleepUnlessInterrupted(int ms) {
    using namespace std::chrono;
    const auto until = steady_clock::now() + milliseconds(ms);
    while (steady_clock::now() < until) {
        if (InterruptScope::Interrupted())
            return false;
        std::this_thread::sleep_for(
            std::min<steady_clock::duration>(milliseconds(100), until - steady_clock::now()));
    }
    return !InterruptScope::Interrupted();
}

int RunLanmereDiagnostics(int ctx, const CommandLine& line, const DiagOptions& o) {
    if (o.dot)
        return Fail("--dot checks a Brakenholm printer's print head", kUsage);
    IdentifiedPrinter printer;
    if (!IdentifyLanmere(ctx, &printer))
        return 1;
    const bool json = line.options.json;
    Json readings = Json::array();
    app::TerminalPrompt prompt;  // auto mode's messages go to stderr
    WatchTimer timer;
    int shown = 0;
    bool lastFailed = false;
    app::lanmere::DiagAutoMode::Hooks hooks;
    hooks.read = [ctx] { return app::lanmere::ReadDiagReport(ctx); };
    hooks.show = [&](const DiagReading& reading) {
        lastFailed = !reading.ok();
        if (json) {
            readings.push_back(ReadingJson(reading));
            return;
        }
        if (o.watchSeconds > 0 && shown > 0)
            std::printf("\n");
        ++shown;
        PrintReading(reading);
    };
    hooks.status = [](const std::string&) {};
    app::lanmere::DiagAutoMode mode(prompt, timer, hooks, o.watchSeconds * 1000);
    InterruptScope interrupts;
    if (o.watchSeconds == 0) {
        mode.Manual();
    } else {
        mode.Auto();
        while (const auto ms = timer.take()) {
            if (!SleepUnlessInterrupted(*ms))
                break;
            mode.Tick();
        }
        mode.Close();
    }
    // Ctrl-C is how a watch ends, not a failure; a reading that failed is.
    const bool failed = o.watchSeconds == 0 ? lastFailed : !mode.stoppedBecause().empty();
    if (json) {
        Json document = {{"model", Utf8Text(printer.name)}};
        if (o.watchSeconds > 0)
            document["readings"] = readings;
        else
            document.update(readings.back());
        PrintJson(document);
    }
    return failed ? 1 : 0;
}

// --- The Brakenholm road -----------------------------------------------------------------

constexpr app::FuncTest kFuncTests[] = {app::FuncTest::Card, app::FuncTest::Head,
                                        app::FuncTest::Ram, app::FuncTest::Kernel,
                                        app::FuncTest::Rom};

Json ResultJson(const app::DiagResult& r) {
    return r.status == app::OpStatus::Done ? Json(Utf8Text(r.text)) : Json(nullptr);
}

Json HeadJson(const app::DiagResult& r) {
    return {{"indicator", std::string(app::IndicatorName(r.indicator))},
            {"text", Utf8Text(r.text)}};
}

void PrintHead(const char* label, const app::DiagResult& r) {
    std::printf("%-18s%-6s %s\n", label, std::string(app::IndicatorName(r.indicator)).c_str(),
                r.text.c_str());
}

int RunBrakDiagnostics(int ctx, const CommandLine& line, const DiagOptions& o) {
    if (o.watchSeconds > 0)
        return Fail("--watch repeats the report of Lanmere-family printers only", kUsage);
    BrakenholmSession s(line);
    if (!s.open(ctx))
        return 1;
    app::CBrakPrinter& p = s.printer();
    bool trouble = false;
    const app::StatusRead status = app::ReadPrinterStatus(p);
    trouble = trouble || status.status != app::OpStatus::Done;
    std::vector<std::pair<app::FuncTest, app::DiagResult>> tests;
    for (app::FuncTest t : kFuncTests) {
        tests.emplace_back(t, app::RunFuncTest(p, t, {}));
        trouble = trouble || tests.back().second.status != app::OpStatus::Done;
    }
    const app::DiagResult head = app::CheckWholeHead(p);
    const app::DiagResult mean = app::ReadMeanResistance(p);
    trouble =
        trouble || head.indicator != app::Indicator::Green || mean.status != app::OpStatus::Done;
    std::optional<app::DiagResult> dot;
    if (o.dot) {
        dot = app::CheckDot(p, *o.dot);
        if (dot->status == app::OpStatus::Refused)
            return Fail(dot->text, kUsage);
        trouble = trouble || dot->indicator != app::Indicator::Green;
    }
    if (line.options.json) {
        Json texts = Json::array();
        for (const std::string& t : status.texts)
            texts.push_back(Utf8Text(t));
        Json funcTests = Json::object();
        for (const auto& [t, r] : tests)
            funcTests[std::string(app::FuncTestName(t))] = ResultJson(r);
        Json document = {
            {"model", Utf8Text(s.session().modelName)},
            {"status",
             {{"value", status.value ? Json(*status.value) : Json(nullptr)}, {"texts", texts}}},
            {"functionTests", funcTests},
            {"wholeHead", HeadJson(head)},
            {"meanResistance", ResultJson(mean)}};
        if (dot)
            document["dot"] = HeadJson(*dot);
        PrintJson(document);
        return trouble ? 1 : 0;
    }
    std::printf("Printer status:\n");
    for (const std::string& t : status.texts)
        std::printf("  %s\n", t.c_str());
    std::printf("Function tests:\n");
    for (const auto& [t, r] : tests)
        std::printf("  %-8s%s\n", std::string(app::FuncTestName(t)).c_str(), r.text.c_str());
    PrintHead("Whole print head:", head);
    std::printf("%-18s%s\n", "Mean resistance:", mean.text.c_str());
    if (dot)
        PrintHead("Single dot:", *dot);
    return trouble ? 1 : 0;
}

}  // namespace

int RunDiagnostics(int ctx, const CommandLine& line) {
    DiagOptions o;
    if (std::string problem = ParseDiagOptions(line.args, &o); !problem.empty())
        return Fail(problem, kUsage);
    if (IsBrakenholmContext(ctx))
        return RunBrakDiagnostics(ctx, line, o);
    return RunLanmereDiagnostics(ctx, line, o);
}

}  // namespace tarvo::cli

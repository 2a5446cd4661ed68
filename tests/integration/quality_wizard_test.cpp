// The print quality wizard's flow without widgets, against the simulated printer: the ways
// through its pages, what each way lists, and what reaches the printer.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "lanmere/quality_wizard.h"
#include "lanmere/wizard_pages.h"
#include "support/scripted_prompt.h"
#include "support/sim_fixture.h"

namespace tarvo::app::lanmere {
namespace {

using test::ScriptedPrompt;

constexpr int k5200A = 0;
constexpr int k6000 = 10;
constexpr int k6220E = 18;

// One control's answer: a choice's position, a check box's or spin box's value, or a text.
struct Answer {
    const char* control;
    const char* value;
};
using PageAnswers = std::vector<Answer>;

class QualityWizard : public test::SimTest {
  protected:
    void start(int model, int mediaType, std::vector<sim::ObjectEntry> objects = {}) {
        sim::Options o;
        o.model = model;
        o.objects = std::move(objects);
        startPrinter(o);
        printer->setConfigValues('g', {mediaType, 420});
        printer->setConfigValue(14, 0);
        printer->setConfigValue(3, 30);
        model_ = model;
        open();
    }
    void open() {
        link = std::make_unique<WizardLink>(ctx, model_);
        flow = std::make_unique<MediaWizardFlow>(*link, prompt, model_, false);
        ASSERT_TRUE(flow->Start());
    }

    void answer(const PageAnswers& answers) {
        MediaWizardPage& page = flow->page();
        for (const Answer& a : answers) {
            switch (page.field(a.control).control) {
                case Control::Radios:
                case Control::DropList:
                    page.Choose(a.control, std::stoi(a.value));
                    break;
                case Control::Edit:
                    page.SetText(a.control, a.value);
                    break;
                default:
                    page.SetValue(a.control, std::stoi(a.value));
                    break;
            }
        }
    }
    // Answers each page and presses Next; every page must move on.
    void walk(const std::vector<PageAnswers>& pages) {
        for (const PageAnswers& answers : pages) {
            const int from = flow->current();
            answer(answers);
            ASSERT_TRUE(flow->Next()) << "stuck on page " << from;
        }
    }
    std::vector<int> candidates() const { return CandidateNumbers(flow->state(), model_); }

    ScriptedPrompt prompt;
    std::unique_ptr<WizardLink> link;
    std::unique_ptr<MediaWizardFlow> flow;
    int model_ = k6220E;
};

const PageAnswers kStandard{{"format", "0"}};
const PageAnswers kDirect{{"media", "0"}};
const PageAnswers kTransfer{{"media", "1"}};

struct Way {
    const char* name;
    int model;
    int mediaType;
    std::vector<PageAnswers> pages;
    int endPage;
    int sensitivity;
    std::vector<int> candidates;
};

TEST_F(QualityWizard, EachWayListsItsCandidates) {
    const std::vector<Way> ways = {
        {"typed 420 on a 5200A",
         k5200A,
         0,
         {kStandard, kDirect, {{"number", "420"}}},
         kCandidatesPage,
         420,
         {420}},
        {"media and ribbon numbers",
         k6220E,
         1,
         {kStandard, kTransfer, {{"media", "52"}}, {{"ribbon", "57"}}, {}},
         kCandidatesPage,
         527,
         {527}},
        {"media number alone",
         k6220E,
         1,
         {kStandard, kTransfer, {{"media", "56"}}, {{"dontknow", "1"}}},
         kCandidatesPage,
         560,
         {567, 563, 565}},
        {"Kapton without a ribbon",
         k6220E,
         1,
         {kStandard, kTransfer, {{"dontknow", "1"}}, {{"dontknow", "1"}}, {{"stock", "2"}}},
         kCandidatesPage,
         200,
         {238, 236, 226, 222}},
        {"plastic, gloss",
         k6220E,
         1,
         {kStandard,
          kTransfer,
          {{"dontknow", "1"}},
          {{"dontknow", "1"}},
          {{"stock", "1"}},
          {{"finish", "1"}}},
         kCandidatesPage,
         300,
         {369, 366}},
        {"plastic, matte",
         k6220E,
         1,
         {kStandard,
          kTransfer,
          {{"dontknow", "1"}},
          {{"dontknow", "1"}},
          {{"stock", "1"}},
          {{"finish", "0"}}},
         kCandidatesPage,
         600,
         {677, 687, 647, 643, 633, 627, 623}},
        {"paper with a ribbon",
         k6220E,
         1,
         {kStandard, kTransfer, {{"dontknow", "1"}}, {{"ribbon", "53"}}, {{"stock", "0"}}},
         kCandidatesPage,
         0,
         {563, 533, 513}},
        {"direct thermal unknown",
         k6220E,
         0,
         {kStandard, kDirect, {{"dontknow", "1"}}, {}, {{"verdict", "1"}, {"best", "1"}}},
         kCandidatesPage,
         450,
         {450, 470, 480, 440, 420, 460}},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        start(way.model, way.mediaType);
        walk(way.pages);
        EXPECT_EQ(flow->current(), way.endPage);
        EXPECT_EQ(flow->state().sensitivity, way.sensitivity);
        EXPECT_EQ(candidates(), way.candidates);
        EXPECT_EQ(flow->page().field("candidates").rows.size(), way.candidates.size());
    }
}

TEST_F(QualityWizard, RefusalsKeepThePage) {
    struct Refusal {
        const char* name;
        std::vector<PageAnswers> before;
        PageAnswers answers;
        const char* warning;
    };
    const std::vector<Refusal> refusals = {
        {"a number no media of the model has",
         {kStandard, kDirect},
         {{"number", "381"}},
         "\"381\"\nis not valid for the current printer model:  \"6220E\""},
        {"not three digits", {kStandard, kDirect}, {{"number", "4a"}}, "three digits"},
        {"a plastic ribbon on paper",
         {kStandard, kTransfer, {{"dontknow", "1"}}, {{"ribbon", "63"}}},
         {{"stock", "0"}},
         "\"6*3\"\nis not consistent with the label stock selection: \"PAPER\""},
        {"a ribbon the model does not take",
         {kStandard, kTransfer, {{"dontknow", "1"}}, {{"ribbon", "58"}}},
         {{"stock", "0"}},
         "Ribbon Sensitivity Number you entered: \"5*8\""},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.name);
        start(k6220E, r.before[1][0].value[0] - '0');
        walk(r.before);
        const int page = flow->current();
        answer(r.answers);
        prompt.shown.clear();
        EXPECT_FALSE(flow->Next());
        EXPECT_EQ(flow->current(), page);
        ASSERT_EQ(prompt.shown.size(), 1u);
        EXPECT_EQ(prompt.shown[0].caption, "WARNING!");
        EXPECT_NE(prompt.shown[0].text.find(r.warning), std::string::npos) << prompt.shown[0].text;
    }
}

TEST_F(QualityWizard, BackFollowsFixedTargetsAndTheHistory) {
    start(k6220E, 1);
    walk({kStandard, kTransfer, {{"dontknow", "1"}}, {{"dontknow", "1"}}, {{"stock", "0"}}});
    ASSERT_EQ(flow->current(), kSeriesPage);
    const std::vector<int> expected = {kClassPage, kRibbonPage, kMediaNumberPage, kMediaPage,
                                       kIntroPage};
    for (int page : expected) {
        flow->Back();
        EXPECT_EQ(flow->current(), page);
    }
}

TEST_F(QualityWizard, ASpeedOnlyChangeSendsSpeedAndMediaTypeWithoutASwitchPage) {
    start(k6220E, 0);
    walk({kStandard});
    printer->clearTranscript();
    answer({{"speed", "4"}});  // 6.0 in/sec
    ASSERT_TRUE(flow->Next());
    EXPECT_EQ(flow->current(), kKnownPage);
    EXPECT_EQ(printer->configValue(3), 60);
    EXPECT_EQ(printer->configValue(11), 0);
    const auto sent = printer->receivedMessages();
    bool speed = false;
    bool media = false;
    for (const std::string& m : sent) {
        speed = speed || m.find("\x0fS") != std::string::npos;
        media = media || m.find("\x0fg0,") != std::string::npos;
    }
    EXPECT_TRUE(speed && media);
    EXPECT_TRUE(flow->state().sentToPrinter);
}

// Where a switch sets the media type, the command does not reach it: the operator sets the
// switch and the wizard reads what the printer then says.
TEST_F(QualityWizard, AMediaTypeChangeAsksForTheSwitchTheModelHas) {
    const std::vector<std::pair<int, int>> models = {
        {k6220E, kBackSwitchPage}, {k6000, kFrontSwitchPage}, {15, kMediaSetPage}};
    for (const auto& [model, page] : models) {
        SCOPED_TRACE(model);
        start(model, 0);
        walk({kStandard, kTransfer});
        EXPECT_EQ(flow->current(), page);
        if (page != kMediaSetPage) {
            EXPECT_EQ(printer->configValue(11), 0);
            printer->setConfigValue(11, 1);  // the operator sets the switch
            walk({{}});
        }
        EXPECT_EQ(flow->current(), kMediaSetPage);
        EXPECT_EQ(printer->configValue(11), 1);
        EXPECT_EQ(flow->page().field("media").text, "THERMAL TRANSFER");
        walk({{}});
        EXPECT_EQ(flow->current(), kMediaNumberPage);
    }
}

// A test label leaves every format of the operator's alone, prints with the candidate's
// settings and gives the printer its own back.
TEST_F(QualityWizard, TestLabelsUseAFreeFormatAndRestoreThePrinter) {
    start(k6220E, 0, {{sim::ObjectKind::Format, {19, "MINE", "", 10}}});
    printer->setConfigValue(14, -5);
    open();
    walk({kStandard, kDirect, {{"number", "420"}}});
    prompt.ExpectQuestion("DARKNESS value is currently set at:  \"-5\"", PromptAnswer::No);
    printer->clearTranscript();
    flow->page().Press("print");
    const auto labels = printer->printedLabels();
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_EQ(labels[0].rfind("format 1 (01 x, 42=0420, 43=-05, 44=3.0 ips): L1;", 0), 0u)
        << labels[0];
    const auto formats = printer->objects(sim::ObjectKind::Format);
    ASSERT_EQ(formats.size(), 1u);
    EXPECT_EQ(formats[0].id, 19u);
    EXPECT_EQ(formats[0].description, "MINE");
    const auto sent = printer->receivedMessages();
    EXPECT_NE(std::find(sent.begin(), sent.end(),
                        "\x1b"
                        "E01\x0f"
                        "d-05\x0fg0,420\x1f"
                        "01\x1e"
                        "01\x1b"
                        "F42\n0420\x1b"
                        "F43\n-05\x1b"
                        "F44\n3.0 ips\x17"),
              sent.end());
    EXPECT_EQ(sent.back(),
              "\x0f"
              "d-05\x0fg0,420");
    EXPECT_EQ(printer->configValue(14), -5);
}

TEST_F(QualityWizard, SendToPrinterIsWhatLaterLabelsRestore) {
    start(k6220E, 0);
    walk({kStandard, kDirect, {{"number", "440"}}, {}, {{"darkness", "3"}}});
    ASSERT_EQ(flow->current(), kSummaryPage);
    flow->page().Press("send");
    EXPECT_EQ(prompt.Notices().back(), "Done!");
    std::vector<std::pair<int, int>> written;
    flow->onPrinterValue = [&](int setting, int value) { written.emplace_back(setting, value); };
    flow->Back();
    flow->Back();
    prompt.ExpectQuestion("DARKNESS", PromptAnswer::No);
    flow->page().Press("print");
    EXPECT_EQ(printer->configValue(13), 440);
    EXPECT_EQ(printer->configValue(14), 3);
    EXPECT_TRUE(written.empty());
    const WizardResult result = flow->Finish();
    EXPECT_EQ(result.sensitivity, 440);
    EXPECT_EQ(result.darkness, 3);
}

TEST_F(QualityWizard, ThirtyUnacceptableLoopsAndFortyRunsWork) {
    start(k6220E, 0);
    walk({kStandard, kDirect});
    for (int loop = 0; loop < 30; ++loop) {
        SCOPED_TRACE(loop);
        walk({{{"dontknow", "1"}}, {}, {{"verdict", "0"}}, {}});
        ASSERT_EQ(flow->current(), kKnownPage);
        EXPECT_LE(flow->history().size(), 2u);
    }
    flow->Back();
    EXPECT_EQ(flow->current(), kMediaPage);
    for (int run = 0; run < 40; ++run)
        open();
}

TEST_F(QualityWizard, NoStartWithoutTheConfigurationAndNoneForDefault) {
    start(k6220E, 0);
    printer->stop();
    link = std::make_unique<WizardLink>(ctx, k6220E);
    flow = std::make_unique<MediaWizardFlow>(*link, prompt, k6220E, false);
    EXPECT_FALSE(flow->Start());
    EXPECT_EQ(prompt.shown.back().caption, "Error");
    EXPECT_FALSE(MediaWizardFlow::Offered(25));
    EXPECT_TRUE(MediaWizardFlow::Offered(k5200A));
}

}  // namespace
}  // namespace tarvo::app::lanmere

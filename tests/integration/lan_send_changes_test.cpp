// The desktop core's change list before a send, Undo Last Send, and the move to another line,
// against a simulated Lanmere printer.
#include <gtest/gtest.h>

#include "desk/doc_commands.h"
#include "desk/line_change.h"
#include "desk/send_changes.h"
#include "desk/startup.h"
#include "shell/settings.h"
#include "support/scripted_prompt.h"
#include "support/sim_fixture.h"
#include "tarvo/config.h"
#include "tarvo/context.h"

namespace tarvo::app {
namespace {

using test::ScriptedPrompt;

constexpr int kDarkness = 14;

class LanSendChanges : public test::SimTest {
  protected:
    void StartIdentified() {
        startPrinter();
        ASSERT_TRUE(InitializeSession(desk));
        ASSERT_TRUE(session.flags.identified);
    }

    AppSession session;
    ScriptedPrompt prompt;
    Desk desk{session, prompt};
};

TEST_F(LanSendChanges, TheSendShowsItsChangesAndTheUndoSendsThemBack) {
    StartIdentified();
    ASSERT_EQ(printer->configValue(kDarkness), 0);
    desk.config.values[kDarkness] = 5;
    prompt.ExpectQuestion("Send current updates", PromptAnswer::Ok);
    ASSERT_TRUE(SendToPrinter(desk).ok());
    EXPECT_TRUE(
        prompt.shown.front().text.ends_with("\n\nChanges:\n  darkness               0 -> 5\n"))
        << prompt.shown.front().text;
    EXPECT_EQ(printer->configValue(kDarkness), 5);

    prompt.ExpectQuestion("held before the last send", PromptAnswer::Ok);
    ASSERT_TRUE(UndoLastSend(desk).ok());
    EXPECT_EQ(printer->configValue(kDarkness), 0);
    EXPECT_EQ(desk.config.values[kDarkness], 0);

    // A program started afresh finds the record on disk: undoing the undo redoes the send.
    AppSession again;
    ScriptedPrompt againPrompt;
    Desk restarted{again, againPrompt};
    ASSERT_TRUE(InitializeSession(restarted));
    againPrompt.ExpectQuestion("held before the last send", PromptAnswer::Ok);
    ASSERT_TRUE(UndoLastSend(restarted).ok());
    EXPECT_TRUE(
        againPrompt.shown.front().text.ends_with("Changes:\n  darkness               0 -> 5\n"))
        << againPrompt.shown.front().text;
    EXPECT_EQ(printer->configValue(kDarkness), 5);
}

TEST_F(LanSendChanges, NothingToUndoIsToldAndSendsNothing) {
    StartIdentified();
    printer->clearTranscript();
    EXPECT_EQ(UndoLastSend(desk).status, OpStatus::Refused);
    EXPECT_EQ(prompt.Notices().back(),
              "Nothing to undo: no send from this host to COM1 was "
              "recorded.");
    EXPECT_TRUE(printer->receivedMessages().empty());
}

// The wait for the printer on its new line can be cancelled: this computer goes back and the
// profile keeps the old line.
TEST_F(LanSendChanges, ACancelledMoveGoesBackToTheOldLine) {
    startPrinter();
    ASSERT_EQ(PCUGetCfg(ctx), PCU_OK);
    SerialLine to;
    to.baud = 19200;
    LineMoveHooks hooks;
    hooks.cancelled = [] { return true; };
    const LineMoveResult r = MoveLine(ctx, to, 0, 0, hooks);
    EXPECT_EQ(r.outcome, LineMove::Cancelled);
    EXPECT_TRUE(r.printerTold);
    EXPECT_FALSE(r.oldLineAnswers) << "the printer moved; only this computer went back";
    EXPECT_EQ(printer->line().baud, 19200u);
    commState comm{};
    PCUGetCommState(ctx, &comm);
    EXPECT_EQ(comm.baud, 9600);
    EXPECT_EQ(ReadSetting(setting::kBaud, "9600"), "9600");
}

}  // namespace
}  // namespace tarvo::app

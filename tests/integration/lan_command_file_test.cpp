// The Command File dialog against a simulated 6220E: a queued file reaches the printer with the
// next Send to Printer under the number its header gives (a page under its page number), also
// after a directory read; a file without a number waits for one; an installed format marked for
// deletion is erased by the send.
#include <gtest/gtest.h>

#include <fstream>

#include "desk/doc_commands.h"
#include "desk/startup.h"
#include "lanmere/command_file_page.h"
#include "support/scripted_prompt.h"
#include "support/sim_fixture.h"
#include "support/wire.h"
#include "tarvo/directory.h"

namespace tarvo::app::lanmere {
namespace {

class CommandFileDialog : public test::SimTest {
  protected:
    void Start(const std::vector<sim::ObjectEntry>& objects = {}) {
        sim::Options options;
        options.objects = objects;
        startPrinter(options);
        ASSERT_TRUE(InitializeSession(desk));
    }
    std::string File(const std::string& name, const std::string& text) {
        const std::string path = env.root() + "/" + name;
        std::ofstream(path) << text;
        return path;
    }
    // Presses Select Command File and picks `path`.
    void Select(CCmdFileDlg& dialog, const std::string& path) {
        prompt.ExpectOpenFile({FileChoice::Outcome::Chosen, path});
        dialog.pages()[0]->Press("select");
    }
    const Field& Sending(const CCmdFileDlg& dialog) { return dialog.pages()[0]->field("toSend"); }
    void Send() {
        printer->clearTranscript();
        prompt.ExpectQuestion("Send current updates", PromptAnswer::Ok);
        const OpResult sent = SendToPrinter(desk);
        ASSERT_TRUE(sent.ok()) << Describe(sent);
    }

    AppSession session;
    test::ScriptedPrompt prompt;
    Desk desk{session, prompt};
};

TEST_F(CommandFileDialog, APageIsSentUnderItsPageNumberAfterADirectoryRead) {
    Start();
    CCmdFileDlg dialog(desk);
    dialog.Load();
    Select(dialog, File("labels.fmt", "S3,LABELS;\nH1;\n"));
    ASSERT_EQ(Sending(dialog).rows.size(), 1u);
    EXPECT_EQ(Sending(dialog).rows[0],
              (std::vector<std::string>{"LABELS", "03", "Page", "", "labels.fmt"}));
    ASSERT_EQ(dialog.Accept(prompt), -1);
    EXPECT_TRUE(session.flags.modified);
    std::uint16_t pages = 0;
    ASSERT_EQ(PCUGetPages(desk.ctx(), &pages), PCU_OK);  // replaces the kernel's lists

    Send();
    EXPECT_TRUE(prompt.shown.back().text.ends_with(
        "Changes:\n  (none)\nCommand files:\n  send labels.fmt as page 3 (LABELS)\n"))
        << prompt.shown.back().text;
    const std::string sent = test::HostSent(*printer);
    EXPECT_NE(sent.find("<STX><ESC>P<ETX><STX>s03;S03;<ETX><STX>H1;<ETX><STX>R<ETX>"),
              std::string::npos)
        << sent;
    EXPECT_TRUE(desk.config.commandFiles.empty());
    PageInfo page{};
    EXPECT_EQ(PCUGetPageInfo(desk.ctx(), 3, &page), PCU_OK) << "read back after the send";
}

TEST_F(CommandFileDialog, AFileWithoutANumberWaitsForOneAndASendableName) {
    Start();
    CCmdFileDlg dialog(desk);
    dialog.Load();
    PageModel& page = *dialog.pages()[0];
    Select(dialog, File("shipping;labels.fmt", "H1;\n"));
    ASSERT_EQ(prompt.Notices().size(), 1u);
    EXPECT_NE(prompt.Notices()[0].find("names no format number. Type one from 1 to 99"),
              std::string::npos);
    EXPECT_EQ(Sending(dialog).rows[0][0], "shipping;l") << "the file name, cut to 10";
    EXPECT_EQ(Sending(dialog).rows[0][1], "?");

    struct Entry {
        const char* number;
        const char* description;
        const char* refusal;  // nullptr: accepted
    };
    const Entry entries[] = {
        {"", "shipping;l", "type a format number from 1 to 99"},
        {"0", "shipping;l", "type a format number from 1 to 99"},
        {"7", "shipping;l", "cannot be sent to the printer"},
        {"7", "SHIP,A", "cannot be sent to the printer"},
        {"7", "SHIPPING", nullptr},
    };
    for (const Entry& e : entries) {
        page.SetText("number", e.number);
        page.SetText("description", e.description);
        const std::size_t shown = prompt.Notices().size();
        const int refused = dialog.Accept(prompt);
        EXPECT_EQ(refused, e.refusal != nullptr ? 0 : -1) << e.number << " " << e.description;
        if (e.refusal != nullptr) {
            ASSERT_EQ(prompt.Notices().size(), shown + 1);
            EXPECT_NE(prompt.Notices().back().find(e.refusal), std::string::npos)
                << prompt.Notices().back();
        }
    }
    ASSERT_EQ(desk.config.commandFiles.downloads.size(), 1u);
    EXPECT_EQ(desk.config.commandFiles.downloads[0].id, 7);

    Send();
    EXPECT_NE(test::HostSent(*printer).find("E07;F07,SHIPPING;"), std::string::npos);
}

TEST_F(CommandFileDialog, DeleteAndRestoreDecideWhatTheSendErases) {
    Start({{sim::ObjectKind::Format, {4, "OLD", "", 100}},
           {sim::ObjectKind::Format, {5, "KEEP", "", 100}}});
    CCmdFileDlg dialog(desk);
    dialog.Load();
    PageModel& page = *dialog.pages()[0];
    ASSERT_EQ(page.field("installed").rows.size(), 2u);
    Select(dialog, File("a.fmt", "F9,A;\nH1;\n"));
    page.Press("deleteToSend");
    EXPECT_EQ(Sending(dialog).rows[0][3], "Deleted");
    page.Choose("installed", 0);
    page.Press("deleteInstalled");
    page.Choose("installed", 1);
    page.Press("deleteInstalled");
    page.Press("restoreInstalled");
    ASSERT_EQ(dialog.Accept(prompt), -1);
    EXPECT_TRUE(desk.config.commandFiles.downloads.empty());
    EXPECT_EQ(desk.config.commandFiles.formatDeletions, std::vector<std::uint16_t>{4});

    Send();
    const std::string sent = test::HostSent(*printer);
    EXPECT_NE(sent.find("<STX>E4;R<ETX>"), std::string::npos) << sent;
    EXPECT_EQ(sent.find("E5;"), std::string::npos);
    EXPECT_EQ(sent.find("F09"), std::string::npos);
    EXPECT_EQ(printer->objects(sim::ObjectKind::Format).size(), 1u);
}

}  // namespace
}  // namespace tarvo::app::lanmere

// The help window and its pages: every topic reaches a titled page, every link between pages
// lands on a page that exists, the window is reused, and no link leads out of the help.
#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>

#include "qt/help_window.h"
#include "qt/main_window.h"
#include "support/scripted_prompt.h"
#include "support/test_env.h"

namespace tarvo::app::qt {
namespace {

QString ReadResource(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

// Every file of the help, as ":/help/..." paths.
QStringList HelpFiles() {
    HelpTopicUrl(kHelpContentsTopic);  // registers the resources
    QStringList files;
    QDirIterator it(":/help", QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    return files;
}

QString ResourcePath(const QUrl& url) {
    return ':' + url.path();
}

QString TitleOf(const QString& html) {
    QTextDocument document;
    document.setHtml(html);
    return document.metaInformation(QTextDocument::DocumentTitle).trimmed();
}

TEST(HelpPages, EveryTopicHasATitledPageAndUnknownTopicsShowTheContents) {
    const QUrl contents = HelpTopicUrl(kHelpContentsTopic);
    QSet<QString> pages;
    for (const HelpTopic& topic : HelpTopics()) {
        const QUrl url = HelpTopicUrl(topic.number);
        EXPECT_EQ(url.scheme(), "qrc") << topic.number;
        const QString html = ReadResource(ResourcePath(url));
        ASSERT_FALSE(html.isEmpty()) << topic.number << " " << topic.page;
        EXPECT_FALSE(TitleOf(html).isEmpty()) << topic.page;
        if (topic.number != kHelpContentsTopic)
            EXPECT_NE(url, contents) << topic.number;
        pages.insert(url.toString());
    }
    EXPECT_EQ(pages.size(), static_cast<qsizetype>(HelpTopics().size())) << "a page used twice";
    for (int unknown : {-1, 4, 10000, 131199, 999999})
        EXPECT_EQ(HelpTopicUrl(unknown), contents) << unknown;
}

TEST(HelpPages, EveryLinkLandsOnAnExistingPageAndAnchor) {
    const QStringList files = HelpFiles();
    ASSERT_FALSE(files.isEmpty());
    const QRegularExpression href(R"re(href\s*=\s*"([^"]*)")re",
                                  QRegularExpression::CaseInsensitiveOption);
    int links = 0;
    for (const QString& file : files) {
        if (!file.endsWith(".html"))
            continue;
        const QString html = ReadResource(file);
        const QUrl base("qrc" + file);
        for (auto it = href.globalMatch(html); it.hasNext();) {
            const QString link = it.next().captured(1);
            ++links;
            ASSERT_FALSE(link.isEmpty()) << file.toStdString();
            const QUrl target = base.resolved(QUrl(link));
            ASSERT_EQ(target.scheme(), "qrc") << file.toStdString() << ": " << link.toStdString();
            const QString path = ResourcePath(target);
            ASSERT_TRUE(QFile::exists(path)) << file.toStdString() << ": " << link.toStdString();
            if (target.hasFragment()) {
                const QString name = "name=\"" + target.fragment() + "\"";
                EXPECT_TRUE(ReadResource(path).contains(name))
                    << file.toStdString() << ": " << link.toStdString();
            }
        }
    }
    EXPECT_GT(links, 0);
}

TEST(HelpPages, TheContentsLinksEveryPage) {
    const QString contentsPath = ResourcePath(HelpTopicUrl(kHelpContentsTopic));
    const QString contents = ReadResource(contentsPath);
    for (const QString& file : HelpFiles()) {
        if (!file.endsWith(".html") || file == contentsPath)
            continue;
        const QString name = file.section('/', -1);
        EXPECT_TRUE(contents.contains("href=\"" + name + "\"")) << name.toStdString();
    }
}

// The guide's buttons carry topic numbers; each must open a page of its own.
TEST(HelpPages, EveryGuideButtonOpensItsOwnPage) {
    test::TestEnv env;
    AppSession session;
    test::ScriptedPrompt prompt;
    Desk desk{session, prompt};
    MainWindow window(desk);
    int buttons = 0;
    for (const QPushButton* button : window.findChildren<QPushButton*>()) {
        const QVariant topic = button->property("helpTopic");
        if (!topic.isValid())
            continue;
        ++buttons;
        EXPECT_NE(HelpTopicUrl(topic.toInt()), HelpTopicUrl(kHelpContentsTopic))
            << button->text().toStdString();
    }
    EXPECT_EQ(buttons, 7);
}

class HelpWindowTest : public ::testing::Test {
  protected:
    QWidget owner;
};

TEST_F(HelpWindowTest, ShowingTopicsReusesOneWindowAndTitlesIt) {
    HelpWindow* first = ShowHelpTopic(&owner, 10004);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isWindow());
    EXPECT_EQ(first->currentPage(), HelpTopicUrl(10004));
    EXPECT_FALSE(first->pageTitle().isEmpty());
    EXPECT_TRUE(first->windowTitle().contains(first->pageTitle()));

    HelpWindow* second = ShowHelpTopic(&owner, 131184);
    EXPECT_EQ(second, first);
    EXPECT_EQ(owner.findChildren<HelpWindow*>().size(), 1);
    EXPECT_EQ(second->currentPage(), HelpTopicUrl(131184));
    EXPECT_TRUE(second->windowTitle().contains(second->pageTitle()));

    // Another owner has its own window.
    QWidget other;
    EXPECT_NE(ShowHelpTopic(&other, 0), first);
}

TEST_F(HelpWindowTest, BackForwardAndContentsButtonsNavigate) {
    HelpWindow* help = ShowHelpTopic(&owner, 10002);
    EXPECT_FALSE(help->backButton()->isEnabled());
    help->showTopic(10003);
    ASSERT_TRUE(help->backButton()->isEnabled());
    QTest::mouseClick(help->backButton(), Qt::LeftButton);
    EXPECT_EQ(help->currentPage(), HelpTopicUrl(10002));
    ASSERT_TRUE(help->forwardButton()->isEnabled());
    QTest::mouseClick(help->forwardButton(), Qt::LeftButton);
    EXPECT_EQ(help->currentPage(), HelpTopicUrl(10003));
    QTest::mouseClick(help->contentsButton(), Qt::LeftButton);
    EXPECT_EQ(help->currentPage(), HelpTopicUrl(kHelpContentsTopic));
}

TEST_F(HelpWindowTest, OnlyLinksToExistingHelpPagesAreFollowed) {
    HelpWindow* help = ShowHelpTopic(&owner, kHelpContentsTopic);
    const QUrl contents = HelpTopicUrl(kHelpContentsTopic);
    for (const char* outside :
         {"https://example.org/", "http://example.org/index.html", "file:///etc/passwd",
          "mailto:someone@example.org", "missing.html", "qrc:/other/index.html", "../index.html"}) {
        emit help->browser()->anchorClicked(QUrl(outside));
        EXPECT_EQ(help->currentPage(), contents) << outside;
    }
    // A relative link between pages is followed, with an anchor too.
    emit help->browser()->anchorClicked(QUrl("menus.html#connect"));
    EXPECT_EQ(help->currentPage(), HelpTopicUrl(10003).resolved(QUrl("#connect")));
    EXPECT_FALSE(help->pageTitle().isEmpty());
}

}  // namespace
}  // namespace tarvo::app::qt

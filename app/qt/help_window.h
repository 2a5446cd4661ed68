// The help window: the program's HTML help pages (compiled into the program as Qt resources
// under ":/help") shown in a non-modal browser with Back, Forward and Contents. The start-up
// guide's buttons and Help > Tarvo Topics... open it at a topic number.
#pragma once

#include <QUrl>
#include <QWidget>
#include <span>

class QPushButton;
class QTextBrowser;

namespace tarvo::app::qt {

// The contents page's topic number.
inline constexpr int kHelpContentsTopic = 0;

// One help topic: its number and its page's file name under ":/help".
struct HelpTopic {
    int number;
    const char* page;
};

// Every topic the program knows, the contents first. The start-up guide's topic numbers are
// among them.
std::span<const HelpTopic> HelpTopics();

// The page of `topic` as a "qrc:/help/..." URL; the contents page for a number not in
// HelpTopics(). Registers the help resources on first use (the pages live in a static library,
// whose resources are not registered by themselves), so a caller may list ":/help" afterwards.
QUrl HelpTopicUrl(int topic);

class HelpWindow : public QWidget {
    Q_OBJECT
  public:
    // An empty help window; a separate top-level window even when `parent` is set (the parent
    // owns it and closes it with itself). Show it with showTopic().
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows the page of `topic` (the contents for an unknown number), adding it to the history.
    void showTopic(int topic);

    // Follows a link of the shown page: a page of the help (relative, or "qrc:/help/...") that
    // exists is shown; anything else (web addresses, local files, missing pages) is ignored, so
    // the browser never leaves the help.
    void followLink(const QUrl& link);

    // The page shown now, as an absolute "qrc:" URL (empty before the first topic).
    QUrl currentPage() const;
    // The shown page's <title>.
    QString pageTitle() const;

    QTextBrowser* browser() const { return browser_; }
    QPushButton* backButton() const { return back_; }
    QPushButton* forwardButton() const { return forward_; }
    QPushButton* contentsButton() const { return contents_; }

  private:
    void pageChanged();

    QTextBrowser* browser_ = nullptr;
    QPushButton* back_ = nullptr;
    QPushButton* forward_ = nullptr;
    QPushButton* contents_ = nullptr;
};

// Shows `topic` in the help window of `parent`, creating that window on first use and raising
// it afterwards: one help window per parent (one for the whole program when `parent` is null).
// Returns the window, which `parent` owns; without a parent it deletes itself when closed.
HelpWindow* ShowHelpTopic(QWidget* parent, int topic);

}  // namespace tarvo::app::qt

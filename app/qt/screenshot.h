// `tarvo32 --screenshot FILE`: the program starts as usual and, once its start-up has ended,
// saves a picture of the main window to FILE (PNG), writes the status bar's three panes to
// standard output and quits. A dialog that opens meanwhile is saved beside it (FILE with "-1",
// "-2" ... before the suffix), named with its texts on standard error and cancelled, so the run
// never waits for a person. With a page to show, the run opens that page once the start-up has
// ended and saves the page's window to FILE in place of the main window. For pictures of the
// program, and for end-to-end tests on Qt's offscreen platform.
#pragma once

#include <QObject>
#include <QString>

#include "qt/show_page.h"

class QDialog;

namespace tarvo::app::qt {

class MainWindow;

class ScreenshotRun final : public QObject {
    Q_OBJECT
  public:
    // Watches the application's dialogs from now on; `window` must outlive this object.
    ScreenshotRun(MainWindow& window, QString path);

    // Makes finish() open `page` (at its page `number` when it has numbered pages; 0 for its
    // first) and save its window instead of the main window.
    void showPage(const ShowablePage& page, int number = 0) {
        page_ = &page;
        number_ = number;
    }

    // Saves the window (or opens the page and saves the page's window), prints the main
    // window's panes and ends the event loop: status 0, or 1 when the picture could not be
    // written or the page is not offered for the session's printer.
    void finish();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void saveAndCancel(QDialog* dialog);
    bool savePage();

    MainWindow& window_;
    QString path_;
    int dialogs_ = 0;
    const ShowablePage* page_ = nullptr;
    int number_ = 0;
    bool pageOpening_ = false;  // the next dialog is the page
    bool pageSaved_ = false;
};

}  // namespace tarvo::app::qt

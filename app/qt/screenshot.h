// `tarvo32 --screenshot FILE`: the program starts as usual and, once its start-up has ended,
// saves a picture of the main window to FILE (PNG), writes the status bar's three panes to
// standard output and quits. A dialog that opens meanwhile is saved beside it (FILE with "-1",
// "-2" ... before the suffix), named with its texts on standard error and cancelled, so the run
// never waits for a person. For pictures of the program, and for end-to-end tests on Qt's
// offscreen platform.
#pragma once

#include <QObject>
#include <QString>

class QDialog;

namespace tarvo::app::qt {

class MainWindow;

class ScreenshotRun final : public QObject {
    Q_OBJECT
  public:
    // Watches the application's dialogs from now on; `window` must outlive this object.
    ScreenshotRun(MainWindow& window, QString path);

    // Saves the window, prints its panes and ends the event loop: status 0, or 1 when the
    // picture could not be written.
    void finish();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void saveAndCancel(QDialog* dialog);

    MainWindow& window_;
    QString path_;
    int dialogs_ = 0;
};

}  // namespace tarvo::app::qt

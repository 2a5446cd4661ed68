#include "qt/screenshot.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <cstdio>

#include "qt/main_window.h"

namespace tarvo::app::qt {
namespace {

// "shot.png" -> "shot-2.png"
QString NumberedPath(const QString& path, int number) {
    const QFileInfo info(path);
    const QString stem =
        info.path() + '/' + info.completeBaseName() + '-' + QString::number(number);
    return info.suffix().isEmpty() ? stem : stem + '.' + info.suffix();
}

QString DialogTexts(QDialog* dialog) {
    QString texts = dialog->windowTitle();
    if (const auto* box = qobject_cast<QMessageBox*>(dialog)) {
        texts += ": " + box->text();
        if (!box->informativeText().isEmpty())
            texts += ' ' + box->informativeText();
    }
    return texts.simplified();
}

}  // namespace

ScreenshotRun::ScreenshotRun(MainWindow& window, QString path)
    : QObject(&window), window_(window), path_(std::move(path)) {
    qApp->installEventFilter(this);
}

void ScreenshotRun::finish() {
    const bool saved = window_.grab().save(path_, "PNG");
    if (!saved)
        std::fprintf(stderr, "tarvo32: cannot write %s\n", qPrintable(path_));
    std::printf("prompt: %s\nprinter: %s\nport: %s\n", qPrintable(window_.promptPaneText()),
                qPrintable(window_.printerPaneText()), qPrintable(window_.portPaneText()));
    std::fflush(stdout);
    QCoreApplication::exit(saved ? 0 : 1);
}

bool ScreenshotRun::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show) {
        if (auto* dialog = qobject_cast<QDialog*>(watched)) {
            // After the show has been handled, so that the dialog is laid out when it is drawn.
            QTimer::singleShot(0, dialog, [this, dialog = QPointer<QDialog>(dialog)] {
                if (dialog && dialog->isVisible())
                    saveAndCancel(dialog);
            });
        }
    }
    return false;
}

void ScreenshotRun::saveAndCancel(QDialog* dialog) {
    const QString path = NumberedPath(path_, ++dialogs_);
    if (!dialog->grab().save(path, "PNG"))
        std::fprintf(stderr, "tarvo32: cannot write %s\n", qPrintable(path));
    std::fprintf(stderr, "tarvo32: dialog %s cancelled: %s\n", qPrintable(path),
                 qPrintable(DialogTexts(dialog)));
    dialog->reject();
}

}  // namespace tarvo::app::qt

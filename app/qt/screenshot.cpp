#include "qt/screenshot.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <cstdio>

#include "brakenholm/brak_pqw_session.h"
#include "qt/dialogs.h"
#include "qt/main_window.h"
#include "qt/quality_wizard_dialog.h"

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

bool ScreenshotRun::savePage() {
    const AppSession& session = window_.desk().session;
    // The Brakenholm wizard has pages of its own, numbered 1 to 6.
    const CBrakPrinter* brak = AsBrakPrinter(session.printer.get());
    const bool brakWizard = page_->pages > 0 && brak != nullptr;
    const bool offered = brakWizard ? BrakPQWSession::Offered(*brak) && number_ <= kBrakPQWPages
                                    : CommandEnabled(page_->command, session) &&
                                          CommandBuiltForFamily(page_->command, session);
    if (!offered) {
        std::fprintf(stderr, "tarvo32: page %s is not offered for the %s\n", page_->name,
                     session.modelName.c_str());
        return false;
    }
    pageOpening_ = true;
    if (brakWizard) {
        RunBrakQualityWizard(&window_, window_.desk(), number_);
    } else if (page_->pages > 0) {
        if (lanmere::MediaWizardFlow::Offered(session.model))
            RunQualityWizard(&window_, window_.desk(), number_);
    } else {
        window_.runCommand(page_->command);
    }
    pageOpening_ = false;
    if (!pageSaved_)
        std::fprintf(stderr, "tarvo32: page %s did not open a window\n", page_->name);
    return pageSaved_;
}

void ScreenshotRun::finish() {
    bool saved = false;
    if (page_ != nullptr) {
        saved = savePage();
    } else {
        saved = window_.grab().save(path_, "PNG");
        if (!saved)
            std::fprintf(stderr, "tarvo32: cannot write %s\n", qPrintable(path_));
    }
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
    if (pageOpening_ && !pageSaved_) {
        // The page itself: saved under the name asked for, then closed as Cancel closes it.
        pageSaved_ = dialog->grab().save(path_, "PNG");
        if (!pageSaved_)
            std::fprintf(stderr, "tarvo32: cannot write %s\n", qPrintable(path_));
        dialog->reject();
        return;
    }
    const QString path = NumberedPath(path_, ++dialogs_);
    if (!dialog->grab().save(path, "PNG"))
        std::fprintf(stderr, "tarvo32: cannot write %s\n", qPrintable(path));
    std::fprintf(stderr, "tarvo32: dialog %s cancelled: %s\n", qPrintable(path),
                 qPrintable(DialogTexts(dialog)));
    dialog->reject();
}

}  // namespace tarvo::app::qt

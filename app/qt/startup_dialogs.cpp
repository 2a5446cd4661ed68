#include "qt/startup_dialogs.h"

#include "desk/connection_search.h"

#include <QMessageBox>
#include <QPushButton>

namespace tarvo::app::qt {

namespace {

// The conditions to check, one paragraph each, after their introduction.
QString ProblemConditions(const ProblemDialogText& text) {
    QString body = QString::fromStdString(text.intro);
    for (const std::string& cause : text.causes)
        body += "\n\n\u2022 " + QString::fromStdString(cause);
    return body;
}

}  // namespace

ProblemChoice AskProblemWithAutoConnect(QWidget* parent) {
    const ProblemDialogText& text = ProblemDialogTexts();
    QMessageBox box(QMessageBox::Warning, QString::fromStdString(text.title),
                    QString::fromStdString(text.heading), QMessageBox::NoButton, parent);
    box.setObjectName("problemDialog");
    box.setTextFormat(Qt::PlainText);
    box.setInformativeText(ProblemConditions(text));
    QPushButton* retry = box.addButton(QObject::tr("&Retry"), QMessageBox::AcceptRole);
    QPushButton* autoConnect = box.addButton(QObject::tr("&Autoconnect"), QMessageBox::ActionRole);
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(retry);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == retry)
        return ProblemChoice::Retry;
    if (box.clickedButton() == autoConnect)
        return ProblemChoice::AutoConnect;
    return ProblemChoice::Cancel;
}

ExitChoice AskExitChoice(QWidget* parent) {
    QMessageBox box(QMessageBox::Question, QObject::tr("Tarvo"),
                    QObject::tr("The configuration has been changed. Save it to a file or send "
                                "it to the printer before exiting?"),
                    QMessageBox::NoButton, parent);
    QPushButton* save = box.addButton(QObject::tr("Save to &File"), QMessageBox::ActionRole);
    QPushButton* send = box.addButton(QObject::tr("Send to &Printer"), QMessageBox::ActionRole);
    QPushButton* exitOnly = box.addButton(QObject::tr("&Exit Only"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save)
        return ExitChoice::SaveToFile;
    if (box.clickedButton() == send)
        return ExitChoice::SendToPrinter;
    if (box.clickedButton() == exitOnly)
        return ExitChoice::ExitOnly;
    return ExitChoice::Cancel;
}

}  // namespace tarvo::app::qt

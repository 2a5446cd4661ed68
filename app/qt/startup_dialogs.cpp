#include "qt/startup_dialogs.h"

#include <QMessageBox>
#include <QPushButton>

namespace tarvo::app::qt {

ProblemChoice AskProblemWithAutoConnect(QWidget* parent) {
    QMessageBox box(QMessageBox::Warning, QObject::tr("Printer Communication Problem"),
                    QObject::tr("Tarvo could not communicate with the printer. Check that the "
                                "printer is on and connected, then choose Retry; Autoconnect "
                                "searches every port for it, Cancel works without a printer."),
                    QMessageBox::NoButton, parent);
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

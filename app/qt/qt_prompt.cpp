#include "qt/qt_prompt.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QStringList>

namespace tarvo::app::qt {
namespace {

QMessageBox::StandardButton ButtonOf(PromptAnswer answer) {
    switch (answer) {
        case PromptAnswer::Ok:
            return QMessageBox::Ok;
        case PromptAnswer::Cancel:
            return QMessageBox::Cancel;
        case PromptAnswer::Yes:
            return QMessageBox::Yes;
        case PromptAnswer::No:
            return QMessageBox::No;
        case PromptAnswer::Retry:
            return QMessageBox::Retry;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButtons ButtonsOf(PromptButtons buttons) {
    switch (buttons) {
        case PromptButtons::Ok:
            return QMessageBox::Ok;
        case PromptButtons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case PromptButtons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case PromptButtons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case PromptButtons::RetryCancel:
            return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon IconOf(PromptIcon icon) {
    switch (icon) {
        case PromptIcon::Question:
            return QMessageBox::Question;
        case PromptIcon::Information:
            return QMessageBox::Information;
        case PromptIcon::Exclamation:
            return QMessageBox::Warning;
        case PromptIcon::Stop:
            return QMessageBox::Critical;
        case PromptIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

// The answer a closed box (Escape, the window's close button) stands for: the set's own
// cancelling button.
PromptAnswer EscapeAnswer(PromptButtons buttons) {
    switch (buttons) {
        case PromptButtons::Ok:
            return PromptAnswer::Ok;
        case PromptButtons::YesNo:
            return PromptAnswer::No;
        default:
            return PromptAnswer::Cancel;
    }
}

PromptAnswer AnswerOf(int button, PromptButtons buttons) {
    switch (button) {
        case QMessageBox::Ok:
            return PromptAnswer::Ok;
        case QMessageBox::Cancel:
            return PromptAnswer::Cancel;
        case QMessageBox::Yes:
            return PromptAnswer::Yes;
        case QMessageBox::No:
            return PromptAnswer::No;
        case QMessageBox::Retry:
            return PromptAnswer::Retry;
        default:
            return EscapeAnswer(buttons);
    }
}

}  // namespace

QString DialogFilter(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        if (description.isEmpty())
            continue;
        out << description;
    }
    return out.join(";;");
}

QtPrompt::QtPrompt(QWidget* parent, std::function<void(const QString&)> status)
    : parent_(parent), status_(std::move(status)) {}

PromptAnswer QtPrompt::Ask(const Question& question) {
    return Show(question, {});
}

PromptAnswer QtPrompt::AskWithDetails(const Question& question, const std::string& details) {
    return Show(question, details);
}

PromptAnswer QtPrompt::Show(const Question& question, const std::string& details) {
    last_ = question;
    lastDetails_ = details;
    if (!answers_.empty()) {
        const PromptAnswer answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    QMessageBox box(IconOf(question.icon), QString::fromStdString(question.caption),
                    QString::fromStdString(question.text), ButtonsOf(question.buttons), parent_);
    box.setDefaultButton(ButtonOf(question.defaultAnswer));
    if (!details.empty()) {
        box.setInformativeText("<pre>" + QString::fromStdString(details).toHtmlEscaped() +
                               "</pre>");
    }
    return AnswerOf(box.exec(), question.buttons);
}

FileChoice QtPrompt::ChooseFile(const FileRequest& request, bool save) {
    if (!files_.empty()) {
        FileChoice choice = files_.front();
        files_.pop_front();
        return choice;
    }
    QFileDialog dialog(parent_);
    dialog.setNameFilter(DialogFilter(request.filter));
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save || !request.mustExist ? QFileDialog::AnyFile
                                                  : QFileDialog::ExistingFile);
    if (!request.confirmOverwrite)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!request.title.empty())
        dialog.setWindowTitle(QString::fromStdString(request.title));
    if (!request.initialName.empty())
        dialog.selectFile(QString::fromStdString(request.initialName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {FileChoice::Outcome::Cancelled, {}};
    return {FileChoice::Outcome::Chosen, dialog.selectedFiles().front().toStdString()};
}

FileChoice QtPrompt::ChooseOpenFile(const FileRequest& request) {
    return ChooseFile(request, false);
}

FileChoice QtPrompt::ChooseSaveFile(const FileRequest& request) {
    return ChooseFile(request, true);
}

PasswordEntry QtPrompt::EnterPassword(const std::string& caption, const std::string& label) {
    PasswordEntry entry;
    bool ok = false;
    QString text =
        QInputDialog::getText(parent_, QString::fromStdString(caption),
                              QString::fromStdString(label), QLineEdit::Password, QString(), &ok);
    QByteArray bytes = text.toUtf8();
    text.fill(QChar(' '));
    if (!ok) {
        entry.outcome = PasswordEntry::Outcome::Cancelled;
    } else if (static_cast<std::size_t>(bytes.size()) > SecretText::kCapacity) {
        entry.outcome = PasswordEntry::Outcome::TooLong;
    } else {
        entry.outcome = PasswordEntry::Outcome::Entered;
        entry.password = SecretText::From(std::string_view(bytes.constData(), bytes.size()));
    }
    WipeMemory(bytes.data(), static_cast<std::size_t>(bytes.size()));
    return entry;
}

void QtPrompt::SetStatus(const std::string& text) {
    if (status_)
        status_(QString::fromStdString(text));
}

void QtPrompt::BeginBusy() {
    if (busy_++ == 0 && qobject_cast<QApplication*>(QCoreApplication::instance()))
        QApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtPrompt::EndBusy() {
    if (busy_ == 0)
        return;
    if (--busy_ == 0 && qobject_cast<QApplication*>(QCoreApplication::instance()))
        QApplication::restoreOverrideCursor();
}

}  // namespace tarvo::app::qt

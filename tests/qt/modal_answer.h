// Answering the modal dialogs that a window command opens: the answer runs inside the dialog's
// own event loop, once the dialog shows.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <utility>

namespace tarvo::app::qt::test {

// While it lives, runs `answer` once, on the first modal dialog titled `title` that shows.
class ModalAnswer {
  public:
    ModalAnswer(QString title, std::function<void(QWidget*)> answer)
        : title_(std::move(title)), answer_(std::move(answer)) {
        QObject::connect(&poll_, &QTimer::timeout, [this] { Poll(); });
        poll_.start(1);
    }

    bool answered() const { return answered_; }

  private:
    void Poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible() || modal->windowTitle() != title_)
            return;
        poll_.stop();
        answered_ = true;
        answer_(modal);
    }

    QString title_;
    std::function<void(QWidget*)> answer_;
    QTimer poll_;
    bool answered_ = false;
};

// The button of `dialog` whose text is `text`; a test failure and null when it has none.
inline QPushButton* ButtonNamed(QWidget* dialog, const QString& text) {
    for (auto* button : dialog->findChildren<QPushButton*>()) {
        if (button->text() == text)
            return button;
    }
    ADD_FAILURE() << "no button " << text.toStdString();
    return nullptr;
}

}  // namespace tarvo::app::qt::test

// The Brakenholm print quality wizard's window: the session's current page in a stacked widget,
// with Back, Next, Finish and Cancel. Which page comes next is the session's business alone.
#pragma once

#include <QDialog>

#include "brakenholm/brak_pqw_session.h"

class QLabel;
class QPushButton;
class QStackedWidget;

namespace tarvo::app::qt {

class PageWidget;

class CBrakPQWSheet final : public QDialog {
    Q_OBJECT
  public:
    // Shows `session` (started, and outliving the window) from its current page.
    explicit CBrakPQWSheet(BrakPQWSession& session, QWidget* parent = nullptr);

    // The widget of the page shown (for tests).
    PageWidget* pageWidget() const { return page_; }

  private:
    void showCurrent();

    BrakPQWSession& session_;
    QLabel* heading_ = nullptr;
    QStackedWidget* stack_ = nullptr;
    PageWidget* page_ = nullptr;
    QPushButton* back_ = nullptr;
    QPushButton* next_ = nullptr;
    QPushButton* finish_ = nullptr;
};

}  // namespace tarvo::app::qt

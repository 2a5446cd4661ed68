// The print quality wizard's window: the flow's current page in a stacked widget, with Back,
// Next, Finish and Cancel, and a small animation of a label leaving a printer on the first page.
// Which page comes next is the flow's business alone.
#pragma once

#include <QDialog>
#include <optional>

#include "lanmere/quality_wizard.h"

class QLabel;
class QPushButton;
class QStackedWidget;

namespace tarvo::app {
struct Desk;
}

namespace tarvo::app::qt {

class PageWidget;

class CMediaWizardSheet final : public QDialog {
    Q_OBJECT
  public:
    // Shows `flow` (started, and outliving the window) from its current page.
    explicit CMediaWizardSheet(lanmere::MediaWizardFlow& flow, QWidget* parent = nullptr);

    // The widget of the page shown (for tests).
    PageWidget* pageWidget() const { return page_; }
    QPushButton* backButton() const { return back_; }
    QPushButton* nextButton() const { return next_; }
    QPushButton* finishButton() const { return finish_; }

  private:
    void showCurrent();

    lanmere::MediaWizardFlow& flow_;
    QLabel* heading_ = nullptr;
    QWidget* animation_ = nullptr;
    QStackedWidget* stack_ = nullptr;
    PageWidget* page_ = nullptr;
    QPushButton* back_ = nullptr;
    QPushButton* next_ = nullptr;
    QPushButton* finish_ = nullptr;
};

// Runs the wizard over `parent` on the desk's printer, from page number `startPage` (1..18; 0
// for the first page as usual). What the wizard writes to the printer is kept in the desk's
// configuration. Returns the result when the wizard ended with Finish.
std::optional<lanmere::WizardResult> RunQualityWizard(QWidget* parent, Desk& desk,
                                                      int startPage = 0);

}  // namespace tarvo::app::qt

// Widgets over the page models: PageWidget shows one page model and hands the operator's edits
// to it; SheetDialog shows a sheet's pages as tabs (or its only page) with OK, Cancel and, for
// several pages, Apply. Neither decides anything: what a control shows, whether it is enabled
// and what an edit does all come from the page model.
#pragma once

#include <QDialog>
#include <QWidget>
#include <map>
#include <string>
#include <vector>

#include "lanmere/page_model.h"
#include "shell/prompt.h"

class QAbstractButton;
class QButtonGroup;
class QLabel;
class QPushButton;
class QTabWidget;

namespace tarvo::app::qt {

class PageWidget final : public QWidget {
    Q_OBJECT
  public:
    // Builds one control per field of `page` (which must outlive the widget) and shows it.
    explicit PageWidget(lanmere::PageModel& page, QWidget* parent = nullptr);

    // Shows the page model's current state in every control.
    void refresh();
    lanmere::PageModel& page() const { return page_; }
    // The widget of control `id` (for tests), or nullptr.
    QWidget* control(const std::string& id) const;

  signals:
    // The operator edited a control (the page has already applied its rules).
    void edited();

  private:
    struct Binding {
        QWidget* row = nullptr;  // shown, hidden, enabled as the field says
        QLabel* label = nullptr;
        QWidget* control = nullptr;
        QButtonGroup* radios = nullptr;
        QLabel* valueText = nullptr;  // a slider's number
        QLabel* unit = nullptr;
        QWidget* frame = nullptr;  // the group's frame the control sits in
    };

    QWidget* makeControl(const lanmere::Field& field, Binding& binding);
    void show(const lanmere::Field& field, Binding& binding);
    void afterEdit();

    lanmere::PageModel& page_;
    std::map<std::string, Binding> bindings_;
};

class SheetDialog final : public QDialog {
    Q_OBJECT
  public:
    // Shows the pages of `sheet` (loaded here); errors of OK and Apply go through `prompt`.
    SheetDialog(lanmere::SheetModel& sheet, Prompt& prompt, QWidget* parent = nullptr);

    // OK: saves and closes when every page is valid; otherwise shows the page with the problem.
    void accept() override;
    // Cancel: the pages discard their edits.
    void reject() override;
    PageWidget* pageWidget(int index) const;

  private:
    bool apply();
    void refreshAll();

    lanmere::SheetModel& sheet_;
    Prompt& prompt_;
    QTabWidget* tabs_ = nullptr;
    std::vector<PageWidget*> pages_;
    QPushButton* applyButton_ = nullptr;
};

// Runs `sheet` modally over `parent`. Returns true when it ended with OK.
bool RunSheet(QWidget* parent, lanmere::SheetModel& sheet, Prompt& prompt);

}  // namespace tarvo::app::qt

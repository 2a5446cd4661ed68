// The Brakenholm media sheet: the quality page (one per setup tree), the handling page and the
// setup page. The pages edit one copy of the printer's setup record; OK and Apply send the
// pages the operator changed, in page order, each with the setup tree's own writers, and keep a
// page that failed marked as changed. The rules behind the controls are brak_media_rules.h.
#pragma once

#include <QDialog>
#include <QWidget>
#include <vector>

#include "brakenholm/brak_printer.h"
#include "shell/prompt.h"

class QLabel;
class QSlider;
class QSpinBox;
class QTabWidget;
class QButtonGroup;
class QComboBox;

namespace tarvo::app {

struct Desk;

namespace qt {

// What every page of the sheet shares: the printer, the copy of its record the pages edit, the
// session's measurement setting and the prompt.
struct BrakMediaEdit {
    Desk& desk;  // for the sheets started from a page (the quality wizard)
    CBrakPrinter& printer;
    Prompt& prompt;
    bool metric = false;
    bool scriptReply = false;
    BrakSetup setup;  // the pages' values
};

class CBrakMediaPage : public QWidget {
  public:
    CBrakMediaPage(BrakMediaEdit& edit, QWidget* parent) : QWidget(parent), edit_(edit) {}

    // Shows the shared values in the controls (nothing is marked changed).
    void Load();
    // Stores and sends the page's settings; Done, or the first failure (named).
    OpResult Confirm();
    bool modified() const { return modified_; }

    // For the controls' handlers: whether the page is being loaded (a change is then no edit),
    // and marking the page changed (ignored while it loads).
    bool isLoading() const { return loading_; }
    void markEdited();

  protected:
    virtual void Show() = 0;
    virtual std::vector<BrakSetting> Settings() const = 0;
    BrakMediaEdit& edit_;

  private:
    bool modified_ = false;
    bool loading_ = false;
};

// Quality page of setup tree "7.12": contrast, the constants and factors of the paper type,
// the label offset, the quality wizard and a sample label.
class CBrakMediaQuality final : public CBrakMediaPage {
  public:
    CBrakMediaQuality(BrakMediaEdit& edit, QWidget* parent = nullptr);

  private:
    void Show() override;
    std::vector<BrakSetting> Settings() const override;
    bool thermalTransfer() const;
    void PrintSample();
    // Runs the quality wizard, then shows what it left in the printer's record.
    void RunWizard();

    QSlider* contrast_ = nullptr;
    QLabel* contrastText_ = nullptr;
    QLabel* captions_[3] = {};
    QSpinBox* spins_[3] = {};
};

// Quality page of setup tree "6.13": contrast, paper type, paper grade and ribbon.
class CBrakMediaQualityClassic final : public CBrakMediaPage {
  public:
    CBrakMediaQualityClassic(BrakMediaEdit& edit, QWidget* parent = nullptr);

  private:
    void Show() override;
    std::vector<BrakSetting> Settings() const override;
    void ChoosePaperType(bool thermalTransfer);
    void PrintSample();

    QSlider* contrast_ = nullptr;
    QLabel* contrastText_ = nullptr;
    QButtonGroup* paperKind_ = nullptr;
    QComboBox* grade_ = nullptr;
    QComboBox* ribbon_ = nullptr;
    bool thermalTransfer_ = false;
};

// Handling page: start and stop adjust with the autoset buttons, the size in dots.
class CBrakMediaHandling final : public CBrakMediaPage {
  public:
    CBrakMediaHandling(BrakMediaEdit& edit, QWidget* parent = nullptr);

  private:
    void Show() override;
    std::vector<BrakSetting> Settings() const override;
    void ShowCurrentSetting();

    QSpinBox* start_ = nullptr;
    QSpinBox* stop_ = nullptr;
    QLabel* current_ = nullptr;
    QSpinBox* xStart_ = nullptr;
    QSpinBox* width_ = nullptr;
    QSpinBox* length_ = nullptr;
};

// Setup page: media type, paper type ("7.12"), print speed ("7.12") or performance ("6.13").
class CBrakMediaSetup final : public CBrakMediaPage {
  public:
    CBrakMediaSetup(BrakMediaEdit& edit, QWidget* parent = nullptr);

  private:
    void Show() override;
    std::vector<BrakSetting> Settings() const override;
    void ChoosePaperType(int index);

    QButtonGroup* mediaType_ = nullptr;
    QButtonGroup* paperType_ = nullptr;
    QSpinBox* speed_ = nullptr;
    QButtonGroup* performance_ = nullptr;
};

class CBrakMediaSheet final : public QDialog {
  public:
    CBrakMediaSheet(CBrakPrinter& printer, Desk& desk, QWidget* parent = nullptr);

    // OK: sends the changed pages and closes once all went; otherwise shows the failure and the
    // page it came from.
    void accept() override;
    // Apply: sends the changed pages. True when every one went.
    bool apply();
    const std::vector<CBrakMediaPage*>& pages() const { return pages_; }

  private:
    BrakMediaEdit edit_;
    QTabWidget* tabs_ = nullptr;
    std::vector<CBrakMediaPage*> pages_;
};

// The Media Type command for a Brakenholm printer: runs the sheet modally. False (and nothing
// shown) when the session's printer is not a Brakenholm printer.
bool RunBrakMediaSheet(QWidget* parent, Desk& desk);

}  // namespace qt
}  // namespace tarvo::app

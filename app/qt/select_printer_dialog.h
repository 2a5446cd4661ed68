// Select Printer's dialog: the model list and "Keep current settings". Only gathers the choice;
// the core's SelectPrinter acts on it.
#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QListWidget;

namespace tarvo::app::qt {

// The name of `model` as the kernel spells it ("" outside the model table).
QString ModelName(int model);

class SelectPrinterDialog : public QDialog {
    Q_OBJECT
  public:
    // Lists the models 0..40 with `current` selected.
    SelectPrinterDialog(int current, QWidget* parent = nullptr);

    int model() const;
    bool keepSettings() const;

    QListWidget* list() const { return list_; }
    QCheckBox* keepBox() const { return keep_; }

  private:
    QListWidget* list_;
    QCheckBox* keep_;
};

}  // namespace tarvo::app::qt

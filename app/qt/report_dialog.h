// Print Report's dialog: which sections the report holds and where it goes.
#pragma once

#include <QDialog>

class QCheckBox;
class QPushButton;
class QRadioButton;

namespace tarvo::app::qt {

class ReportDialog final : public QDialog {
    Q_OBJECT
  public:
    // Every section ticked, the print queue chosen.
    explicit ReportDialog(QWidget* parent = nullptr);

    // The ticked sections as PCU_REPORT_* bits.
    int sections() const;
    void setSections(int sections);
    // Whether the report goes to a log file rather than the print queue.
    bool toFile() const;
    void setToFile(bool toFile);

  private:
    void updateOk();

    QCheckBox* boxes_[5] = {};
    QRadioButton* printer_ = nullptr;
    QRadioButton* file_ = nullptr;
    QPushButton* ok_ = nullptr;
};

}  // namespace tarvo::app::qt

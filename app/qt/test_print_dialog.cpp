// The "Test Print" dialog. The lists, the enable mask and the print's arguments come from
// lanmere/test_print.h; this file lays the controls out and passes the choices back.
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <vector>

#include "desk/desk.h"
#include "desk/test_print.h"
#include "qt/dialogs.h"
#include "qt/qt_text.h"
#include "shell/prompt.h"

namespace tarvo::app::qt {
namespace {

void Fill(QComboBox* box, const std::vector<std::string>& items) {
    for (const auto& item : items)
        box->addItem(Qs(item));
}

class TestPrintDialog final : public QDialog {
  public:
    TestPrintDialog(QWidget* parent, Desk& desk) : QDialog(parent), desk_(desk) {
        setWindowTitle(tr("Test Print"));
        lists_ = ReadTestPrintLists(desk.ctx());
        symbologyMask_ = SymbologyMask(desk.session.model);
        auto* layout = new QVBoxLayout(this);
        layout->addLayout(BuildPrintOptions());
        layout->addWidget(BuildUserDefined());
        layout->addWidget(BuildLabelSize());
        layout->addLayout(BuildLists());
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
        QPushButton* print = buttons->addButton(tr("&Print"), QDialogButtonBox::ActionRole);
        connect(print, &QPushButton::clicked, this, [this] { Print(); });
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        layout->addWidget(buttons);
        ApplyMask();
    }

  private:
    QLayout* BuildPrintOptions() {
        auto* row = new QHBoxLayout;
        const char* names[] = {"Test &Label", "&Format", "P&age"};
        for (int i = 0; i < 3; ++i) {
            auto* radio = new QRadioButton(tr(names[i]));
            option_.addButton(radio, i);
            row->addWidget(radio);
        }
        option_.button(0)->setChecked(true);
        connect(&option_, &QButtonGroup::idClicked, this, [this] { ApplyMask(); });
        testLabelLabel_ = new QLabel(tr("Test Label Option:"));
        testLabel_ = new QComboBox;
        Fill(testLabel_, TestLabelOptions());
        connect(testLabel_, &QComboBox::currentIndexChanged, this, [this] { ApplyMask(); });
        row->addWidget(testLabelLabel_);
        row->addWidget(testLabel_);
        return row;
    }

    QWidget* BuildUserDefined() {
        userGroup_ = new QGroupBox(tr("User Defined Option"));
        auto* row = new QHBoxLayout(userGroup_);
        const char* names[] = {"&Text", "&Graphic", "&Bar Code"};
        for (int i = 0; i < 3; ++i) {
            auto* radio = new QRadioButton(tr(names[i]));
            user_.addButton(radio, i);
            row->addWidget(radio);
        }
        user_.button(0)->setChecked(true);
        connect(&user_, &QButtonGroup::idClicked, this, [this] { ApplyMask(); });
        return userGroup_;
    }

    QWidget* BuildLabelSize() {
        const LabelSizeText text = LabelSizes(desk_.session.metric);
        sizeGroup_ = new QGroupBox(Qs(text.title));
        auto* row = new QHBoxLayout(sizeGroup_);
        small_ = new QRadioButton(Qs(text.small));
        large_ = new QRadioButton(Qs(text.large));
        small_->setChecked(true);
        row->addWidget(small_);
        row->addWidget(large_);
        return sizeGroup_;
    }

    QComboBox* AddList(QGridLayout* grid, int row, const QString& label,
                       const std::vector<std::string>& items, QLabel** labelOut) {
        *labelOut = new QLabel(label);
        auto* box = new QComboBox;
        Fill(box, items);
        grid->addWidget(*labelOut, row, 0);
        grid->addWidget(box, row, 1);
        return box;
    }

    QLayout* BuildLists() {
        auto* grid = new QGridLayout;
        format_ = AddList(grid, 0, tr("Printer Format:"), lists_.formats, &formatLabel_);
        font_ = AddList(grid, 1, tr("Printer Font:"), lists_.fonts, &fontLabel_);
        font_->setEditable(true);  // a font number may be typed
        points_ = AddList(grid, 2, tr("Point Size:"), PointSizes(), &pointsLabel_);
        graphic_ = AddList(grid, 3, tr("Printer Graphic:"), lists_.graphics, &graphicLabel_);
        page_ = AddList(grid, 4, tr("Printer Page:"), lists_.pages, &pageLabel_);
        symbology_ =
            AddList(grid, 5, tr("Symbology:"), SymbologyList(symbologyMask_), &symbologyLabel_);
        return grid;
    }

    TestPrintChoice Choice() const {
        TestPrintChoice c;
        c.option = static_cast<PrintOption>(option_.checkedId());
        c.testLabel = testLabel_->currentIndex();
        c.user = static_cast<UserDefinedOption>(user_.checkedId());
        c.largeLabel = large_->isChecked();
        c.formatEntry = format_->currentText().toStdString();
        c.fontEntry = font_->currentText().toStdString();
        const int fontIndex = font_->currentIndex();
        const bool listed = fontIndex >= 0 && font_->itemText(fontIndex) == font_->currentText();
        c.fontHasSizes = listed &&
                         static_cast<std::size_t>(fontIndex) < lists_.fontPointSizes.size() &&
                         lists_.fontPointSizes[static_cast<std::size_t>(fontIndex)] != 0;
        c.pointSize = points_->currentText().toInt();
        c.graphicEntry = graphic_->currentText().toStdString();
        c.symbologyPosition = symbology_->currentIndex();
        c.pageEntry = page_->currentText().toStdString();
        return c;
    }

    void ApplyMask() {
        const TestPrintChoice c = Choice();
        const unsigned mask = TestPrintEnableMask(c.option, c.testLabel, c.user);
        const auto set = [mask](unsigned bit, std::initializer_list<QWidget*> widgets) {
            for (QWidget* w : widgets)
                w->setEnabled((mask & bit) != 0);
        };
        set(kTpTestLabelList, {testLabelLabel_, testLabel_});
        set(kTpUserDefinedGroup, {userGroup_});
        set(kTpLabelSize, {sizeGroup_});
        set(kTpFormatList, {formatLabel_, format_});
        set(kTpFontList, {fontLabel_, font_});
        set(kTpPointSizeList, {pointsLabel_, points_});
        set(kTpGraphicList, {graphicLabel_, graphic_});
        set(kTpPageList, {pageLabel_, page_});
        set(kTpSymbologyList, {symbologyLabel_, symbology_});
    }

    void Print() {
        const TestPrintChoice c = Choice();
        const bool typedFont = c.option == PrintOption::TestLabel &&
                               c.testLabel == kUserDefinedLabel &&
                               c.user == UserDefinedOption::Text && !c.fontEntry.empty() &&
                               c.fontEntry.rfind("FONT", 0) != 0;
        if (typedFont && !TypedFontAccepted(c.fontEntry, desk_.session.model)) {
            QApplication::beep();
            return;
        }
        BusyScope busy(desk_.prompt);
        // The kernel reports its own failures.
        RunTestPrint(desk_.ctx(), TestPrintArgsFor(c, desk_.session.model));
    }

    Desk& desk_;
    TestPrintLists lists_;
    std::uint32_t symbologyMask_ = 0;
    QButtonGroup option_;
    QButtonGroup user_;
    QLabel* testLabelLabel_ = nullptr;
    QComboBox* testLabel_ = nullptr;
    QGroupBox* userGroup_ = nullptr;
    QGroupBox* sizeGroup_ = nullptr;
    QRadioButton* small_ = nullptr;
    QRadioButton* large_ = nullptr;
    QLabel* formatLabel_ = nullptr;
    QComboBox* format_ = nullptr;
    QLabel* fontLabel_ = nullptr;
    QComboBox* font_ = nullptr;
    QLabel* pointsLabel_ = nullptr;
    QComboBox* points_ = nullptr;
    QLabel* graphicLabel_ = nullptr;
    QComboBox* graphic_ = nullptr;
    QLabel* pageLabel_ = nullptr;
    QComboBox* page_ = nullptr;
    QLabel* symbologyLabel_ = nullptr;
    QComboBox* symbology_ = nullptr;
};

}  // namespace

void RunTestPrintDialog(QWidget* parent, Desk& desk) {
    TestPrintDialog dialog(parent, desk);
    dialog.exec();
}

}  // namespace tarvo::app::qt

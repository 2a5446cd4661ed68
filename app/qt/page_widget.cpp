#include "qt/page_widget.h"
#include "qt/qt_text.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace tarvo::app::qt {
namespace {

using lanmere::Control;
using lanmere::Field;

Qt::CheckState CheckStateOf(int value) {
    return value == 2 ? Qt::PartiallyChecked : value != 0 ? Qt::Checked : Qt::Unchecked;
}

int ValueOf(Qt::CheckState state) {
    return state == Qt::PartiallyChecked ? 2 : state == Qt::Checked ? 1 : 0;
}

// A control, its unit after it, in one row.
// A text takes the row's whole width, so that a long one wraps there.
QWidget* WithUnit(QWidget* control, QLabel* unit, bool fill, QWidget* parent) {
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(control, fill ? 1 : 0);
    if (unit != nullptr)
        layout->addWidget(unit);
    if (!fill)
        layout->addStretch(1);
    return row;
}

// Printer dots as black on white, enlarged by a whole factor while they fit the preview box, or
// shrunk to it when they do not.
constexpr int kPreviewWidth = 420;
constexpr int kPreviewHeight = 140;

QPixmap DotPixmap(const lanmere::DotImage& image) {
    constexpr int kBoxWidth = kPreviewWidth;
    constexpr int kBoxHeight = kPreviewHeight;
    if (image.width <= 0 || image.height <= 0)
        return {};
    QImage picture(image.width, image.height, QImage::Format_Grayscale8);
    for (int y = 0; y < image.height; ++y) {
        uchar* row = picture.scanLine(y);
        for (int x = 0; x < image.width; ++x)
            row[x] = image.dots[static_cast<std::size_t>(y) * image.width + x] != 0 ? 0 : 255;
    }
    const int factor =
        std::max(1, std::min({4, kBoxWidth / image.width, kBoxHeight / image.height}));
    QSize size(image.width * factor, image.height * factor);
    if (size.width() > kBoxWidth || size.height() > kBoxHeight)
        size.scale(kBoxWidth, kBoxHeight, Qt::KeepAspectRatio);
    return QPixmap::fromImage(picture.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation));
}

// Whether a field takes the whole width of its frame (no label column): also a text without a
// label, which is a paragraph of the page.
bool FullWidth(const Field& f) {
    return f.control == Control::Check || f.control == Control::Button ||
           f.control == Control::Table || f.control == Control::Image ||
           (f.control == Control::Text && f.label.empty());
}

}  // namespace

PageWidget::PageWidget(lanmere::PageModel& page, QWidget* parent) : QWidget(parent), page_(page) {
    auto* layout = new QVBoxLayout(this);
    QFormLayout* form = nullptr;
    QWidget* frame = nullptr;
    bool table = false;              // a list takes the page's spare height
    QHBoxLayout* buttons = nullptr;  // buttons that follow each other share a row
    std::string group = "\x01";      // no frame yet
    for (const Field& f : page_.fields()) {
        if (f.control != Control::Button || f.group != group)
            buttons = nullptr;
        if (form == nullptr || f.group != group) {
            group = f.group;
            frame = group.empty() ? new QWidget(this) : new QGroupBox(Qs(group), this);
            form = new QFormLayout(frame);
            form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
            if (group.empty())
                form->setContentsMargins(0, 0, 0, 0);
            layout->addWidget(frame);
        }
        if (f.control == Control::Table) {
            layout->setStretchFactor(frame, 1);
            table = true;
        }
        Binding& binding = bindings_[f.id];
        binding.frame = frame;
        QWidget* control = makeControl(f, binding);
        binding.unit = f.unit.empty() ? nullptr : new QLabel(Qs(f.unit), this);
        const bool bare = f.control == Control::Table || f.control == Control::Image ||
                          (FullWidth(f) && f.control == Control::Text);
        binding.row =
            bare ? control : WithUnit(control, binding.unit, f.control == Control::Text, this);
        if (buttons != nullptr) {
            buttons->insertWidget(buttons->count() - 1, binding.row);  // before the stretch
        } else if (f.control == Control::Button) {
            auto* row = new QWidget(frame);
            buttons = new QHBoxLayout(row);
            buttons->setContentsMargins(0, 0, 0, 0);
            buttons->addWidget(binding.row);
            buttons->addStretch(1);
            form->addRow(row);
        } else if (FullWidth(f)) {
            form->addRow(binding.row);
        } else {
            binding.label = new QLabel(Qs(f.label), this);
            binding.label->setBuddy(control);
            form->addRow(binding.label, binding.row);
        }
    }
    if (!table)
        layout->addStretch(1);
    refresh();
}

QWidget* PageWidget::makeControl(const Field& f, Binding& b) {
    const std::string id = f.id;
    switch (f.control) {
        case Control::DropList: {
            auto* box = new QComboBox(this);
            for (const std::string& choice : f.choices)
                box->addItem(Qs(choice));
            connect(box, &QComboBox::activated, this, [this, id](int position) {
                page_.Choose(id, position);
                afterEdit();
            });
            b.control = box;
            break;
        }
        case Control::Radios: {
            auto* row = new QWidget(this);
            auto* layout = new QHBoxLayout(row);
            layout->setContentsMargins(0, 0, 0, 0);
            b.radios = new QButtonGroup(row);
            for (std::size_t i = 0; i < f.choices.size(); ++i) {
                auto* radio = new QRadioButton(Qs(f.choices[i]), row);
                b.radios->addButton(radio, static_cast<int>(i));
                layout->addWidget(radio);
            }
            connect(b.radios, &QButtonGroup::idClicked, this, [this, id](int position) {
                page_.Choose(id, position);
                afterEdit();
            });
            b.control = row;
            break;
        }
        case Control::Spin: {
            auto* spin = new QSpinBox(this);
            spin->setRange(f.minimum, f.maximum);
            connect(spin, &QSpinBox::valueChanged, this, [this, id](int v) {
                page_.SetValue(id, v);
                afterEdit();
            });
            b.control = spin;
            break;
        }
        case Control::Edit: {
            auto* edit = new QLineEdit(this);
            if (f.maxLength > 0) {
                edit->setMaxLength(f.maxLength);
                edit->setMaximumWidth(
                    edit->fontMetrics().horizontalAdvance('0') * (f.maxLength + 4) + 12);
            }
            connect(edit, &QLineEdit::textEdited, this, [this, id](const QString& text) {
                page_.SetText(id, text.toStdString());
                afterEdit();
            });
            b.control = edit;
            break;
        }
        case Control::Combo: {
            auto* box = new QComboBox(this);
            box->setEditable(true);
            box->setInsertPolicy(QComboBox::NoInsert);
            box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
            connect(box, &QComboBox::editTextChanged, this, [this, id](const QString& text) {
                page_.SetText(id, text.toStdString());
                afterEdit();
            });
            b.control = box;
            break;
        }
        case Control::Check: {
            auto* box = new QCheckBox(Qs(f.label), this);
            box->setTristate(f.triState);
            connect(box, &QCheckBox::clicked, this, [this, id, box] {
                page_.SetValue(id, ValueOf(box->checkState()));
                afterEdit();
            });
            b.control = box;
            break;
        }
        case Control::Slider: {
            auto* row = new QWidget(this);
            auto* layout = new QHBoxLayout(row);
            layout->setContentsMargins(0, 0, 0, 0);
            auto* slider = new QSlider(Qt::Horizontal, row);
            slider->setRange(f.minimum, f.maximum);
            slider->setMinimumWidth(160);
            b.valueText = new QLabel(row);
            b.valueText->setMinimumWidth(b.valueText->fontMetrics().horizontalAdvance("-300"));
            layout->addWidget(new QLabel(Qs(f.lowText), row));
            layout->addWidget(slider, 1);
            layout->addWidget(new QLabel(Qs(f.highText), row));
            layout->addWidget(b.valueText);
            connect(slider, &QSlider::valueChanged, this, [this, id](int v) {
                page_.SetValue(id, v);
                afterEdit();
            });
            b.control = slider;
            return row;
        }
        case Control::Text: {
            // A long text (a file's path, a preview's figures) wraps rather than widening the
            // page after it is shown.
            auto* label = new QLabel(this);
            label->setWordWrap(true);
            b.control = label;
            break;
        }
        case Control::Button: {
            auto* button = new QPushButton(Qs(f.label), this);
            connect(button, &QPushButton::clicked, this, [this, id] {
                page_.Press(id);
                afterEdit();
            });
            b.control = button;
            break;
        }
        case Control::Table: {
            auto* table = new QTreeWidget(this);
            table->setRootIsDecorated(false);
            QStringList headers;
            for (const std::string& column : f.columns)
                headers << Qs(column);
            table->setHeaderLabels(headers);
            connect(table, &QTreeWidget::currentItemChanged, this,
                    [this, id, table](QTreeWidgetItem* item) {
                        if (item == nullptr)
                            return;
                        page_.Choose(id, table->indexOfTopLevelItem(item));
                        afterEdit();
                    });
            b.control = table;
            break;
        }
        case Control::Image: {
            auto* picture = new QLabel(this);
            picture->setAlignment(Qt::AlignCenter);
            picture->setMinimumSize(kPreviewWidth, kPreviewHeight);
            b.control = picture;
            break;
        }
    }
    return b.control;
}

void PageWidget::show(const Field& f, Binding& b) {
    const QSignalBlocker blocker(b.control);
    switch (f.control) {
        case Control::DropList:
            static_cast<QComboBox*>(b.control)->setCurrentIndex(f.selected);
            break;
        case Control::Radios: {
            // An exclusive group cannot show "none", which a value outside the choices needs.
            b.radios->setExclusive(false);
            for (QAbstractButton* button : b.radios->buttons()) {
                const auto id = static_cast<std::size_t>(b.radios->id(button));
                button->setChecked(b.radios->id(button) == f.selected);
                button->setEnabled(id >= f.choiceEnabled.size() || f.choiceEnabled[id]);
            }
            b.radios->setExclusive(true);
            break;
        }
        case Control::Spin: {
            auto* spin = static_cast<QSpinBox*>(b.control);
            spin->setValue(f.value);
            spin->setReadOnly(f.readOnly);
            spin->setButtonSymbols(f.readOnly ? QAbstractSpinBox::NoButtons
                                              : QAbstractSpinBox::UpDownArrows);
            break;
        }
        case Control::Edit: {
            auto* edit = static_cast<QLineEdit*>(b.control);
            if (edit->text() != Qs(f.text))
                edit->setText(Qs(f.text));
            edit->setReadOnly(f.readOnly);
            break;
        }
        case Control::Combo: {
            auto* box = static_cast<QComboBox*>(b.control);
            QStringList offered;
            for (const std::string& choice : f.choices)
                offered << Qs(choice);
            QStringList shown;
            for (int i = 0; i < box->count(); ++i)
                shown << box->itemText(i);
            if (shown != offered) {
                box->clear();
                box->addItems(offered);
            }
            if (box->currentText() != Qs(f.text))
                box->setEditText(Qs(f.text));
            break;
        }
        case Control::Check:
            static_cast<QCheckBox*>(b.control)->setCheckState(CheckStateOf(f.value));
            break;
        case Control::Slider:
            static_cast<QSlider*>(b.control)->setValue(f.value);
            b.valueText->setText(QString::number(f.value));
            break;
        case Control::Text:
            static_cast<QLabel*>(b.control)->setText(Qs(f.text));
            break;
        case Control::Button:
            break;
        case Control::Table: {
            auto* table = static_cast<QTreeWidget*>(b.control);
            table->clear();
            for (const auto& row : f.rows) {
                QStringList cells;
                for (const std::string& cell : row)
                    cells << Qs(cell);
                table->addTopLevelItem(new QTreeWidgetItem(cells));
            }
            for (int column = 0; column < table->columnCount(); ++column)
                table->resizeColumnToContents(column);
            if (f.selected >= 0 && f.selected < table->topLevelItemCount())
                table->setCurrentItem(table->topLevelItem(f.selected));
            break;
        }
        case Control::Image:
            static_cast<QLabel*>(b.control)->setPixmap(DotPixmap(f.image));
            break;
    }
    b.row->setVisible(f.visible);
    b.row->setEnabled(f.enabled);
    if (b.label != nullptr) {
        b.label->setVisible(f.visible);
        b.label->setEnabled(f.enabled);
    }
}

void PageWidget::refresh() {
    // A frame whose controls are all hidden goes too, rather than stand empty.
    std::map<QWidget*, bool> framesShown;
    for (const Field& f : page_.fields()) {
        const auto found = bindings_.find(f.id);
        if (found == bindings_.end())
            continue;
        show(f, found->second);
        framesShown[found->second.frame] = framesShown[found->second.frame] || f.visible;
    }
    for (const auto& [frame, shown] : framesShown)
        frame->setVisible(shown);
}

QWidget* PageWidget::control(const std::string& id) const {
    const auto found = bindings_.find(id);
    return found == bindings_.end() ? nullptr : found->second.control;
}

void PageWidget::afterEdit() {
    refresh();
    emit edited();
}

SheetDialog::SheetDialog(lanmere::SheetModel& sheet, Prompt& prompt, QWidget* parent)
    : QDialog(parent), sheet_(sheet), prompt_(prompt) {
    setWindowTitle(Qs(sheet.title()));
    sheet_.Load();
    auto* layout = new QVBoxLayout(this);
    const bool tabbed = sheet_.pages().size() > 1;
    if (tabbed) {
        tabs_ = new QTabWidget(this);
        layout->addWidget(tabs_);
    }
    for (const auto& page : sheet_.pages()) {
        auto* widget = new PageWidget(*page, this);
        pages_.push_back(widget);
        if (tabbed)
            tabs_->addTab(widget, Qs(page->title()));
        else
            layout->addWidget(widget);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    if (tabbed) {
        applyButton_ = buttons->addButton(QDialogButtonBox::Apply);
        applyButton_->setEnabled(false);
        connect(applyButton_, &QPushButton::clicked, this, [this] { apply(); });
    }
    // A page's rules may change another page (the character set and slashed zero).
    for (PageWidget* widget : pages_) {
        connect(widget, &PageWidget::edited, this, [this] {
            refreshAll();
            if (applyButton_ != nullptr)
                applyButton_->setEnabled(true);
        });
    }
    connect(buttons, &QDialogButtonBox::accepted, this, &SheetDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SheetDialog::reject);
    layout->addWidget(buttons);
}

bool SheetDialog::apply() {
    const int failed = sheet_.Accept(prompt_);
    if (failed >= 0 && tabs_ != nullptr)
        tabs_->setCurrentIndex(failed);
    refreshAll();
    if (failed < 0 && applyButton_ != nullptr)
        applyButton_->setEnabled(false);
    return failed < 0;
}

void SheetDialog::refreshAll() {
    for (PageWidget* widget : pages_)
        widget->refresh();
}

void SheetDialog::accept() {
    if (apply())
        QDialog::accept();
}

void SheetDialog::reject() {
    sheet_.Discard();
    QDialog::reject();
}

PageWidget* SheetDialog::pageWidget(int index) const {
    if (index < 0 || index >= static_cast<int>(pages_.size()))
        return nullptr;
    return pages_[static_cast<std::size_t>(index)];
}

bool RunSheet(QWidget* parent, lanmere::SheetModel& sheet, Prompt& prompt) {
    SheetDialog dialog(sheet, prompt, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace tarvo::app::qt

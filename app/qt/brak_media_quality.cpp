// The quality pages of the Brakenholm media sheet, one per setup tree.
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>

#include "brakenholm/brak_media_rules.h"
#include "brakenholm/brak_test_label.h"
#include "brakenholm/value_tables.h"
#include "qt/brak_media_sheet.h"
#include "qt/brak_media_widgets.h"
#include "qt/dialogs.h"

namespace tarvo::app::qt {
namespace {

// The slider position of a stored contrast; a contrast never read shows the middle.
int ContrastPosition(const BrakSetup& setup) {
    const bool known = WasRead(setup, BrakSetting::Contrast) && setup.contrast >= 0 &&
                       setup.contrast < kContrastPositions;
    return known ? setup.contrast : kContrastPositions / 2;
}

QWidget* ContrastRow(QSlider*& slider, QLabel*& text, QWidget* parent) {
    auto* box = new QGroupBox(QObject::tr("Contrast"), parent);
    auto* row = new QHBoxLayout(box);
    row->addWidget(new QLabel(QObject::tr("Lighter"), box));
    slider = ContrastSlider(box);
    row->addWidget(slider, 1);
    row->addWidget(new QLabel(QObject::tr("Darker"), box));
    text = new QLabel(box);
    text->setMinimumWidth(40);
    row->addWidget(text);
    return box;
}

void TellFailure(Prompt& prompt, const OpResult& result) {
    if (!result.ok())
        prompt.Tell("Error", "The sample label was not printed as asked.\n" + Describe(result),
                    PromptIcon::Stop);
}

}  // namespace

CBrakMediaQuality::CBrakMediaQuality(BrakMediaEdit& edit, QWidget* parent)
    : CBrakMediaPage(edit, parent) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ContrastRow(contrast_, contrastText_, this));
    auto* values = new QGroupBox(tr("Print Quality"), this);
    auto* grid = new QGridLayout(values);
    for (int i = 0; i < 3; ++i) {
        captions_[i] = new QLabel(values);
        spins_[i] = NumberSpin(0, 999, values);
        spins_[i]->setObjectName(i == 0 ? "constant" : i == 1 ? "factor" : "offset");
        grid->addWidget(captions_[i], i, 0);
        grid->addWidget(spins_[i], i, 1);
        connect(spins_[i], &QSpinBox::valueChanged, this, [this, i](int value) {
            if (isLoading())
                return;
            using S = BrakSetting;
            const bool tt = thermalTransfer();
            const S setting[] = {tt ? S::RibbonConstant : S::LabelConstant,
                                 tt ? S::RibbonFactor : S::LabelFactor, S::LabelOffset};
            std::int16_t* field[] = {tt ? &edit_.setup.ribbonConstant : &edit_.setup.labelConstant,
                                     tt ? &edit_.setup.ribbonFactor : &edit_.setup.labelFactor,
                                     &edit_.setup.labelOffset};
            *field[i] = static_cast<std::int16_t>(value);
            MarkRead(edit_.setup, setting[i]);
            markEdited();
        });
    }
    layout->addWidget(values);
    auto* buttons = new QHBoxLayout;
    auto* wizard = new QPushButton(tr("Print Quality &Wizard..."), this);
    auto* print = new QPushButton(tr("&Print"), this);
    buttons->addWidget(wizard);
    buttons->addStretch();
    buttons->addWidget(print);
    layout->addLayout(buttons);
    layout->addStretch();
    connect(contrast_, &QSlider::valueChanged, this, [this](int position) {
        contrastText_->setText(Qs(ContrastText(position)));
        if (isLoading())
            return;
        edit_.setup.contrast = static_cast<std::int16_t>(position);
        MarkRead(edit_.setup, BrakSetting::Contrast);
        markEdited();
    });
    connect(wizard, &QPushButton::clicked, this, [this] { RunWizard(); });
    connect(print, &QPushButton::clicked, this, [this] { PrintSample(); });
}

bool CBrakMediaQuality::thermalTransfer() const {
    return edit_.setup.paperType == 1;
}

void CBrakMediaQuality::Show() {
    const bool tt = thermalTransfer();
    const char* captions[] = {tt ? "Ribbon Constant:" : "Label Constant:",
                              tt ? "Ribbon Factor:" : "Label Factor:", "Label Offset:"};
    const BrakSetup& s = edit_.setup;
    const int values[] = {tt ? s.ribbonConstant : s.labelConstant,
                          tt ? s.ribbonFactor : s.labelFactor, s.labelOffset};
    for (int i = 0; i < 3; ++i) {
        captions_[i]->setText(tr(captions[i]));
        spins_[i]->setValue(values[i]);
    }
    contrast_->setValue(ContrastPosition(s));
    contrastText_->setText(Qs(ContrastText(contrast_->value())));
}

std::vector<BrakSetting> CBrakMediaQuality::Settings() const {
    return QualityPageSettings();
}

void CBrakMediaQuality::RunWizard() {
    RunBrakQualityWizard(this, edit_.desk);
    // What the wizard sent is in the printer's record now; the page's other edits stay.
    const BrakSetup sent = edit_.printer.GetSetup();
    BrakSetup& s = edit_.setup;
    s.paperType = sent.paperType;
    s.labelConstant = sent.labelConstant;
    s.labelFactor = sent.labelFactor;
    s.ribbonConstant = sent.ribbonConstant;
    s.ribbonFactor = sent.ribbonFactor;
    s.labelOffset = sent.labelOffset;
    s.printSpeed = sent.printSpeed;
    s.contrast = sent.contrast;
    Load();
}

void CBrakMediaQuality::PrintSample() {
    SampleValues values;
    values.thermalTransfer = thermalTransfer();
    values.constant = static_cast<std::int16_t>(spins_[0]->value());
    values.factor = static_cast<std::int16_t>(spins_[1]->value());
    values.offset = static_cast<std::int16_t>(spins_[2]->value());
    values.contrast = static_cast<std::int16_t>(contrast_->value());
    OpResult result;
    {
        BusyScope busy(edit_.prompt);
        result = SendSample(edit_.printer, values, edit_.metric);
    }
    TellFailure(edit_.prompt, result);
}

CBrakMediaQualityClassic::CBrakMediaQualityClassic(BrakMediaEdit& edit, QWidget* parent)
    : CBrakMediaPage(edit, parent) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ContrastRow(contrast_, contrastText_, this));
    paperKind_ = new QButtonGroup(this);
    layout->addWidget(RadioFrame(tr("Paper Type"),
                                 {"&Direct Thermal (DT)", "&Thermal Transfer (TTR)"}, paperKind_));
    auto* form = new QFormLayout;
    grade_ = new QComboBox(this);
    for (std::string_view grade : PaperGradeTable())
        grade_->addItem(Qs(grade));
    ribbon_ = new QComboBox(this);
    for (std::string_view code : NewSuppliesTable())
        ribbon_->addItem(Qs(code));
    form->addRow(tr("Paper Type:"), grade_);
    form->addRow(tr("Ribbon Type:"), ribbon_);
    layout->addLayout(form);
    auto* print = new QPushButton(tr("&Print"), this);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(print);
    layout->addLayout(row);
    layout->addStretch();
    connect(contrast_, &QSlider::valueChanged, this, [this](int position) {
        contrastText_->setText(Qs(ContrastText(position)));
        if (isLoading())
            return;
        edit_.setup.contrast = static_cast<std::int16_t>(position);
        MarkRead(edit_.setup, BrakSetting::Contrast);
        markEdited();
    });
    connect(paperKind_, &QButtonGroup::idClicked, this,
            [this](int id) { ChoosePaperType(id == 1); });
    connect(grade_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (isLoading() || index < 0)
            return;
        edit_.setup.paperType = static_cast<std::uint16_t>(index);
        MarkRead(edit_.setup, BrakSetting::PaperType);
        markEdited();
    });
    connect(ribbon_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (isLoading() || index < 0)
            return;
        edit_.setup.newSupplies1 = static_cast<std::uint16_t>(index);
        MarkRead(edit_.setup, BrakSetting::NewSupplies1);
        markEdited();
    });
    connect(print, &QPushButton::clicked, this, [this] { PrintSample(); });
    thermalTransfer_ = edit_.printer.Identity().sysvar20 != 0;
}

void CBrakMediaQualityClassic::Show() {
    const BrakSetup& s = edit_.setup;
    contrast_->setValue(ContrastPosition(s));
    contrastText_->setText(Qs(ContrastText(contrast_->value())));
    CheckRadio(paperKind_, thermalTransfer_ ? 1 : 0);
    grade_->setCurrentIndex(s.paperType == kNoIndex ? -1 : s.paperType);
    ribbon_->setCurrentIndex(s.newSupplies1 == kNoIndex ? -1 : s.newSupplies1);
    // Direct thermal printing uses no ribbon.
    ribbon_->setEnabled(thermalTransfer_);
}

void CBrakMediaQualityClassic::ChoosePaperType(bool thermalTransfer) {
    const PaperTypeCheck check =
        CheckPaperTypeChoice(edit_.printer, edit_.scriptReply, thermalTransfer);
    if (!check.allowed)
        edit_.prompt.Tell("Notice", check.notice, PromptIcon::Information);
    else
        thermalTransfer_ = thermalTransfer;
    Load();
}

std::vector<BrakSetting> CBrakMediaQualityClassic::Settings() const {
    return ClassicQualityPageSettings();
}

void CBrakMediaQualityClassic::PrintSample() {
    ClassicSampleValues values;
    values.thermalTransfer = thermalTransfer_;
    values.paperType = edit_.setup.paperType;
    values.newSupplies = thermalTransfer_ ? edit_.setup.newSupplies1 : kNoIndex;
    values.contrast = static_cast<std::int16_t>(contrast_->value());
    OpResult result;
    {
        BusyScope busy(edit_.prompt);
        result = SendClassicSample(edit_.printer, values);
    }
    TellFailure(edit_.prompt, result);
}

}  // namespace tarvo::app::qt

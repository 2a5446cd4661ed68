// The handling and setup pages of the Brakenholm media sheet.
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <functional>

#include "brakenholm/brak_media_rules.h"
#include "brakenholm/brak_model.h"
#include "qt/brak_media_sheet.h"
#include "qt/brak_media_widgets.h"

namespace tarvo::app::qt {
namespace {

// Connects `spin` to the record field `field` of `setting`.
template <typename T, typename Page>
void BindSpin(QSpinBox* spin, Page* page, BrakMediaEdit& edit, T BrakSetup::*field,
              BrakSetting setting, std::function<void()> after = {}) {
    QObject::connect(spin, &QSpinBox::valueChanged, page, [=, &edit](int value) {
        if (page->isLoading())
            return;
        edit.setup.*field = static_cast<T>(value);
        MarkRead(edit.setup, setting);
        page->markEdited();
        if (after)
            after();
    });
}

}  // namespace

CBrakMediaHandling::CBrakMediaHandling(BrakMediaEdit& edit, QWidget* parent)
    : CBrakMediaPage(edit, parent) {
    auto* layout = new QVBoxLayout(this);
    auto* adjust = new QGroupBox(tr("Feed Adjust (dots)"), this);
    auto* form = new QFormLayout(adjust);
    start_ = NumberSpin(-9999, 9999, adjust);
    stop_ = NumberSpin(-9999, 9999, adjust);
    form->addRow(tr("Start Adjust:"), start_);
    form->addRow(tr("Stop Adjust:"), stop_);
    layout->addWidget(adjust);
    auto* autoset = new QGroupBox(tr("Autoset by media type"), this);
    auto* buttons = new QHBoxLayout(autoset);
    const std::pair<FeedMode, const char*> modes[] = {{FeedMode::PeelOff, "&Peel off"},
                                                      {FeedMode::TearOff, "&Tear off"},
                                                      {FeedMode::CutOff, "&Cut off"}};
    for (const auto& [feedMode, text] : modes) {
        auto* button = new QPushButton(tr(text), autoset);
        buttons->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this, mode = feedMode] {
            const AdjustPair pair = AutosetAdjust(mode, MediaModelOf(edit_.printer),
                                                  edit_.setup.mediaType == kVariableLengthStrip);
            start_->setValue(pair.start);
            stop_->setValue(pair.stop);
        });
    }
    layout->addWidget(autoset);
    auto* currentRow = new QHBoxLayout;
    currentRow->addWidget(new QLabel(tr("Current setting:"), this));
    current_ = new QLabel(this);
    current_->setObjectName("currentSetting");
    currentRow->addWidget(current_, 1);
    layout->addLayout(currentRow);
    auto* size = new QGroupBox(tr("Media Size (dots)"), this);
    auto* sizeForm = new QFormLayout(size);
    xStart_ = NumberSpin(0, 9999, size);
    width_ = NumberSpin(0, 9999, size);
    length_ = NumberSpin(0, 99999, size);
    sizeForm->addRow(tr("X-Start:"), xStart_);
    sizeForm->addRow(tr("Width:"), width_);
    sizeForm->addRow(tr("Length:"), length_);
    layout->addWidget(size);
    layout->addStretch();
    start_->setObjectName("startAdjust");
    stop_->setObjectName("stopAdjust");
    xStart_->setObjectName("xStart");
    width_->setObjectName("width");
    length_->setObjectName("length");
    const auto show = [this] { ShowCurrentSetting(); };
    BindSpin(start_, this, edit_, &BrakSetup::startAdjust, BrakSetting::StartAdjust, show);
    BindSpin(stop_, this, edit_, &BrakSetup::stopAdjust, BrakSetting::StopAdjust, show);
    BindSpin(xStart_, this, edit_, &BrakSetup::xStart, BrakSetting::XStart);
    BindSpin(width_, this, edit_, &BrakSetup::width, BrakSetting::Width);
    BindSpin(length_, this, edit_, &BrakSetup::length, BrakSetting::Length);
}

void CBrakMediaHandling::Show() {
    const BrakSetup& s = edit_.setup;
    start_->setValue(s.startAdjust);
    stop_->setValue(s.stopAdjust);
    xStart_->setValue(s.xStart);
    width_->setValue(s.width);
    length_->setValue(s.length);
    ShowCurrentSetting();
}

void CBrakMediaHandling::ShowCurrentSetting() {
    const AdjustPair pair{static_cast<std::int16_t>(start_->value()),
                          static_cast<std::int16_t>(stop_->value())};
    current_->setText(Qs(CurrentSettingName(pair, MediaModelOf(edit_.printer),
                                            edit_.setup.mediaType == kVariableLengthStrip)));
}

std::vector<BrakSetting> CBrakMediaHandling::Settings() const {
    return HandlingPageSettings();
}

CBrakMediaSetup::CBrakMediaSetup(BrakMediaEdit& edit, QWidget* parent)
    : CBrakMediaPage(edit, parent) {
    const bool newTree = UsesNewTree(edit.printer.SetupGeneration());
    auto* layout = new QVBoxLayout(this);
    mediaType_ = new QButtonGroup(this);
    layout->addWidget(RadioFrame(tr("Media Type"),
                                 {"&Label (with gaps)", "Ticket (with &mark)", "Tic&ket (with gap)",
                                  "&Fixed length strip", "&Variable length strip"},
                                 mediaType_));
    connect(mediaType_, &QButtonGroup::idClicked, this, [this](int id) {
        edit_.setup.mediaType = static_cast<std::uint16_t>(id);
        MarkRead(edit_.setup, BrakSetting::MediaType);
        markEdited();
    });
    paperType_ = new QButtonGroup(this);
    performance_ = new QButtonGroup(this);
    if (newTree) {
        layout->addWidget(RadioFrame(
            tr("Paper Type"), {"&Direct Thermal (DT)", "&Thermal Transfer (TTR)"}, paperType_));
        connect(paperType_, &QButtonGroup::idClicked, this,
                [this](int id) { ChoosePaperType(id); });
        auto* row = new QFormLayout;
        speed_ = NumberSpin(SpeedSpinValue(kMinPrintSpeed, edit.metric),
                            SpeedSpinValue(kMaxPrintSpeed, edit.metric), this);
        speed_->setSingleStep(edit.metric ? kPrintSpeedStep : 1);
        row->addRow(Qs(SpeedCaption(edit.metric)), speed_);
        layout->addLayout(row);
        connect(speed_, &QSpinBox::valueChanged, this, [this](int value) {
            if (isLoading())
                return;
            edit_.setup.printSpeed = SpeedFromSpin(value, edit_.metric);
            MarkRead(edit_.setup, BrakSetting::PrintSpeed);
            markEdited();
        });
    } else {
        layout->addWidget(
            RadioFrame(tr("Performance"), {"&Normal", "&High", "&Ultra high"}, performance_));
        connect(performance_, &QButtonGroup::idClicked, this, [this](int id) {
            edit_.setup.performance = static_cast<std::uint16_t>(id);
            MarkRead(edit_.setup, BrakSetting::Performance);
            markEdited();
        });
    }
    layout->addStretch();
}

void CBrakMediaSetup::Show() {
    const BrakSetup& s = edit_.setup;
    CheckRadio(mediaType_, s.mediaType == kNoIndex ? -1 : s.mediaType);
    CheckRadio(paperType_, s.paperType == kNoIndex ? -1 : s.paperType);
    CheckRadio(performance_, s.performance == kNoIndex ? -1 : s.performance);
    if (speed_ != nullptr)
        speed_->setValue(SpeedSpinValue(s.printSpeed, edit_.metric));
}

void CBrakMediaSetup::ChoosePaperType(int index) {
    const PaperTypeCheck check = CheckPaperTypeChoice(edit_.printer, edit_.scriptReply, index == 1);
    if (check.allowed) {
        edit_.setup.paperType = static_cast<std::uint16_t>(index);
        MarkRead(edit_.setup, BrakSetting::PaperType);
        markEdited();
    } else {
        edit_.prompt.Tell("Notice", check.notice, PromptIcon::Information);
    }
    Load();
}

std::vector<BrakSetting> CBrakMediaSetup::Settings() const {
    return SetupPageSettings(edit_.printer.SetupGeneration());
}

}  // namespace tarvo::app::qt

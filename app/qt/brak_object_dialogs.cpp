// The font and image choosers of a Brakenholm printer (desk/brak_objects.h does the work).
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <filesystem>

#include "desk/brak_objects.h"
#include "qt/brak_transfer_windows.h"

namespace tarvo::app::qt {
namespace {

std::string FileNameOf(const QString& path) {
    return std::filesystem::path(path.toStdString()).filename().string();
}

// The file row: a path and Browse.
QHBoxLayout* FileRow(QLineEdit* path, QPushButton* browse) {
    auto* row = new QHBoxLayout;
    row->addWidget(path);
    row->addWidget(browse);
    return row;
}

// The names `names` into `list`, or a grey note when there are none.
void ShowHeld(QListWidget* list, const std::vector<std::string>& names) {
    list->clear();
    for (const std::string& name : names)
        list->addItem(QString::fromStdString(name));
    if (names.empty()) {
        auto* none = new QListWidgetItem(QObject::tr("(none, or the printer did not answer)"));
        none->setFlags(Qt::NoItemFlags);
        list->addItem(none);
    }
}

// Send (disabled until a file and a name are given) and Close under the dialog; returns Send.
QPushButton* AddButtons(QDialog* dialog, QVBoxLayout* layout) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    QPushButton* send = buttons->addButton(QObject::tr("&Send"), QDialogButtonBox::ActionRole);
    send->setEnabled(false);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return send;
}

}  // namespace

CBrakFontDlg::CBrakFontDlg(QWidget* parent, Desk& desk) : QDialog(parent), desk_(desk) {
    setWindowTitle(tr("Fonts"));
    auto* layout = new QVBoxLayout(this);
    auto* host = new QGroupBox(tr("TrueType font on this computer"));
    auto* hostLayout = new QVBoxLayout(host);
    faces_ = new QListWidget;
    for (const std::string& face : HostFaceNames())
        faces_->addItem(QString::fromStdString(face));
    path_ = new QLineEdit;
    auto* browse = new QPushButton(tr("&Browse..."));
    hostLayout->addWidget(new QLabel(tr("Installed faces:")));
    hostLayout->addWidget(faces_);
    hostLayout->addWidget(new QLabel(tr("Font file:")));
    hostLayout->addLayout(FileRow(path_, browse));
    layout->addWidget(host);
    auto* form = new QFormLayout;
    name_ = new QLineEdit;
    name_->setMaxLength(30);
    form->addRow(tr("Name on the printer:"), name_);
    layout->addLayout(form);
    auto* printer = new QGroupBox(tr("Files in the printer"));
    auto* printerLayout = new QVBoxLayout(printer);
    held_ = new QListWidget;
    held_->setMaximumHeight(100);
    printerLayout->addWidget(held_);
    layout->addWidget(printer);
    send_ = AddButtons(this, layout);
    connect(browse, &QPushButton::clicked, this, [this] { chooseFile(); });
    connect(faces_, &QListWidget::currentRowChanged, this, [this] { faceChosen(); });
    connect(path_, &QLineEdit::textChanged, this, [this](const QString& text) {
        send_->setEnabled(!text.isEmpty() && !name_->text().isEmpty());
    });
    connect(name_, &QLineEdit::textChanged, this, [this](const QString& text) {
        send_->setEnabled(!text.isEmpty() && !path_->text().isEmpty());
    });
    connect(send_, &QPushButton::clicked, this, [this] { send(); });
    resize(420, 520);
}

void CBrakFontDlg::refreshHeld() {
    heldNames_.clear();
    if (CBrakPrinter* brak = AsBrakPrinter(desk_.session.printer.get()))
        heldNames_ = PrinterObjectNames(*brak, TransferKind::Font);
    ShowHeld(held_, heldNames_);
}

void CBrakFontDlg::chooseFile() {
    FileRequest request;
    request.filter = "TrueType (*.ttf)|*.ttf||";
    request.defaultExtension = "ttf";
    request.mustExist = true;
    const FileChoice choice = desk_.prompt.ChooseOpenFile(request);
    if (choice.outcome == FileChoice::Outcome::Failed)
        desk_.prompt.Tell("Error", "Unable to access Open File dialog box", PromptIcon::Stop);
    if (choice.outcome != FileChoice::Outcome::Chosen)
        return;
    faces_->setCurrentRow(-1);
    path_->setText(QString::fromStdString(choice.path));
    name_->setText(QString::fromStdString(FileNameOf(path_->text())).toUpper());
}

void CBrakFontDlg::faceChosen() {
    const QListWidgetItem* item = faces_->currentItem();
    if (item == nullptr)
        return;
    const std::optional<std::string> file = HostFaceFile(item->text().toStdString());
    if (!file) {
        desk_.prompt.Tell("Error!",
                          "The font \"" + item->text().toStdString() + "\" cannot be found.",
                          PromptIcon::Stop);
        return;
    }
    path_->setText(QString::fromStdString(*file));
    name_->setText(QString::fromStdString(FileNameOf(path_->text())).toUpper());
}

void CBrakFontDlg::send() {
    QtTransferWindows windows(this, desk_);
    send_->setEnabled(false);
    SendBrakObject(desk_, path_->text().toStdString(), TransferKind::Font,
                   name_->text().toStdString(), heldNames_, windows);
    refreshHeld();
    send_->setEnabled(true);
}

CBrakImageDlg::CBrakImageDlg(QWidget* parent, Desk& desk) : QDialog(parent), desk_(desk) {
    setWindowTitle(tr("Graphics"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Monochrome image (PCX or BMP):")));
    path_ = new QLineEdit;
    auto* browse = new QPushButton(tr("&Browse..."));
    layout->addLayout(FileRow(path_, browse));
    auto* form = new QFormLayout;
    name_ = new QLineEdit;
    name_->setMaxLength(30);
    form->addRow(tr("Image name:"), name_);
    layout->addLayout(form);
    auto* printer = new QGroupBox(tr("Images in the printer"));
    auto* printerLayout = new QVBoxLayout(printer);
    held_ = new QListWidget;
    printerLayout->addWidget(held_);
    layout->addWidget(printer);
    send_ = AddButtons(this, layout);
    connect(browse, &QPushButton::clicked, this, [this] { chooseFile(); });
    connect(path_, &QLineEdit::textChanged, this, [this](const QString& text) {
        send_->setEnabled(!text.isEmpty() && !name_->text().isEmpty());
    });
    connect(name_, &QLineEdit::textChanged, this, [this](const QString& text) {
        send_->setEnabled(!text.isEmpty() && !path_->text().isEmpty());
    });
    connect(send_, &QPushButton::clicked, this, [this] { send(); });
    resize(400, 320);
}

void CBrakImageDlg::refreshHeld() {
    heldNames_.clear();
    if (CBrakPrinter* brak = AsBrakPrinter(desk_.session.printer.get()))
        heldNames_ = PrinterObjectNames(*brak, TransferKind::Image);
    ShowHeld(held_, heldNames_);
}

void CBrakImageDlg::chooseFile() {
    FileRequest request;
    request.filter = " PCX (*.pcx)|*.pcx| BMP (*.bmp)|*.bmp||";
    request.defaultExtension = "pcx";
    request.mustExist = true;
    const FileChoice choice = desk_.prompt.ChooseOpenFile(request);
    if (choice.outcome == FileChoice::Outcome::Failed)
        desk_.prompt.Tell("Error", "Unable to access Open File dialog box", PromptIcon::Stop);
    if (choice.outcome != FileChoice::Outcome::Chosen)
        return;
    path_->setText(QString::fromStdString(choice.path));
    const std::string stem = std::filesystem::path(choice.path).stem().string();
    name_->setText(QString::fromStdString(stem).toUpper());
}

void CBrakImageDlg::send() {
    QtTransferWindows windows(this, desk_);
    send_->setEnabled(false);
    SendBrakObject(desk_, path_->text().toStdString(), TransferKind::Image,
                   name_->text().toStdString(), heldNames_, windows);
    refreshHeld();
    send_->setEnabled(true);
}

void RunBrakFontDialog(QWidget* parent, Desk& desk) {
    CBrakFontDlg dialog(parent, desk);
    dialog.refreshHeld();
    dialog.exec();
}

void RunBrakImageDialog(QWidget* parent, Desk& desk) {
    CBrakImageDlg dialog(parent, desk);
    dialog.refreshHeld();
    dialog.exec();
}

}  // namespace tarvo::app::qt

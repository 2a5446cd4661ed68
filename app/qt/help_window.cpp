#include "qt/help_window.h"

#include <QFile>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <array>

// The resources of a static library are registered by a call from code that is linked in; the
// macro declares the registration function at namespace scope, hence outside our namespace.
static void RegisterHelpResources() {
    Q_INIT_RESOURCE(help);
}

namespace tarvo::app::qt {
namespace {

// clang-format off
constexpr std::array<HelpTopic, 11> kTopics = {{
    {kHelpContentsTopic, "index.html"},
    {131200, "overview.html"},
    {10002, "buttons.html"},
    {10001, "changing_configuration.html"},
    {10003, "menus.html"},
    {10004, "test_labels.html"},
    {10005, "viewing_configuration.html"},
    {131184, "print_quality.html"},
    {1, "connecting.html"},
    {2, "firmware.html"},
    {3, "command_line.html"},
}};
// clang-format on

const char* const kHelpRoot = "qrc:/help/";

void EnsureResources() {
    static const bool registered = (RegisterHelpResources(), true);
    (void)registered;
}

// Whether `url` names a page of the help that exists.
bool IsHelpPage(const QUrl& url) {
    return url.scheme() == QLatin1String("qrc") && url.host().isEmpty() &&
           url.path().startsWith(QLatin1String("/help/")) && QFile::exists(':' + url.path());
}

}  // namespace

std::span<const HelpTopic> HelpTopics() {
    return kTopics;
}

QUrl HelpTopicUrl(int topic) {
    EnsureResources();
    const char* page = kTopics.front().page;
    for (const HelpTopic& t : kTopics) {
        if (t.number == topic)
            page = t.page;
    }
    return QUrl(QLatin1String(kHelpRoot) + QLatin1String(page));
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    EnsureResources();
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    back_ = new QPushButton(tr("&Back"), this);
    forward_ = new QPushButton(tr("&Forward"), this);
    contents_ = new QPushButton(tr("&Contents"), this);
    back_->setEnabled(false);
    forward_->setEnabled(false);
    row->addWidget(back_);
    row->addWidget(forward_);
    row->addWidget(contents_);
    row->addStretch(1);
    layout->addLayout(row);

    browser_ = new QTextBrowser(this);
    // The window decides every navigation itself (followLink), so that no click leaves the help.
    browser_->setOpenLinks(false);
    browser_->setOpenExternalLinks(false);
    layout->addWidget(browser_, 1);

    connect(browser_, &QTextBrowser::anchorClicked, this, &HelpWindow::followLink);
    connect(browser_, &QTextBrowser::sourceChanged, this, &HelpWindow::pageChanged);
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QPushButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QPushButton::setEnabled);
    connect(back_, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward_, &QPushButton::clicked, browser_, &QTextBrowser::forward);
    connect(contents_, &QPushButton::clicked, this, [this] { showTopic(kHelpContentsTopic); });

    setWindowTitle(tr("Tarvo Help"));
    resize(560, 520);
}

void HelpWindow::showTopic(int topic) {
    browser_->setSource(HelpTopicUrl(topic));
}

void HelpWindow::followLink(const QUrl& link) {
    const QUrl base = currentPage().isEmpty() ? HelpTopicUrl(kHelpContentsTopic) : currentPage();
    const QUrl target = base.resolved(link);
    if (!IsHelpPage(target))
        return;
    browser_->setSource(target);
}

QUrl HelpWindow::currentPage() const {
    return browser_->source();
}

QString HelpWindow::pageTitle() const {
    return browser_->documentTitle();
}

void HelpWindow::pageChanged() {
    const QString title = pageTitle();
    setWindowTitle(title.isEmpty() ? tr("Tarvo Help") : tr("Tarvo Help - %1").arg(title));
}

HelpWindow* ShowHelpTopic(QWidget* parent, int topic) {
    // Without a parent the program has one window of its own, deleted when it is closed.
    static QPointer<HelpWindow> parentless;
    HelpWindow* window = nullptr;
    if (parent != nullptr) {
        window = parent->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
        if (window == nullptr)
            window = new HelpWindow(parent);
    } else {
        if (parentless.isNull()) {
            parentless = new HelpWindow;
            parentless->setAttribute(Qt::WA_DeleteOnClose);
        }
        window = parentless;
    }
    window->showTopic(topic);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

}  // namespace tarvo::app::qt

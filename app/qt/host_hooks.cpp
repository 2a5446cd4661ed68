#include "qt/host_hooks.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <cstring>

#include "gaugebar.h"
#include "shell/prompt.h"
#include "tarvo/context.h"

namespace tarvo::app::qt {
namespace {

QPointer<QWidget> g_parent;
Prompt* g_prompt = nullptr;
QPointer<QProgressDialog> g_progress;
int g_openCancelWindows = 0;

void Pump(void*) {
    // Repaints and timers only: a click during a transfer must not start another command. While
    // a cancel window is open it is application-modal, so input can reach nothing but its
    // Cancel button, and that click must get through during the waits it is there to end.
    QCoreApplication::processEvents(g_openCancelWindows > 0 ? QEventLoop::AllEvents
                                                            : QEventLoop::ExcludeUserInputEvents);
}

// The kernel's message boxes and save dialog go through the window's prompt, so that they look
// like the program's own and tests answer them the same way.
int MessageBox(void*, const char* caption, const char* text, int style) {
    if (g_prompt == nullptr)
        return PCU_MB_ID_OK;
    Question q;
    q.caption = caption ? caption : "";
    q.text = text ? text : "";
    q.buttons = (style & 0x0F) == PCU_MB_OKCANCEL ? PromptButtons::OkCancel : PromptButtons::Ok;
    switch (style & 0xF0) {
        case PCU_MB_ICON_ERROR:
            q.icon = PromptIcon::Stop;
            break;
        case PCU_MB_ICON_WARNING:
            q.icon = PromptIcon::Exclamation;
            break;
        case PCU_MB_ICON_INFORMATION:
            q.icon = PromptIcon::Information;
            break;
        default:
            break;
    }
    return g_prompt->Ask(q) == PromptAnswer::Cancel ? PCU_MB_ID_CANCEL : PCU_MB_ID_OK;
}

int SaveFileDialog(void*, const char* title, const char* filter, const char* initialName,
                   const char* defaultExtension, char* path, int pathSize) {
    if (path == nullptr || pathSize <= 0 || g_prompt == nullptr)
        return -1;
    FileRequest request;
    request.title = title ? title : "";
    request.filter = filter ? filter : "";
    request.initialName = initialName ? initialName : "";
    request.defaultExtension = defaultExtension ? defaultExtension : "";
    request.confirmOverwrite = true;
    const FileChoice choice = g_prompt->ChooseSaveFile(request);
    if (choice.outcome == FileChoice::Outcome::Failed)
        return -1;
    if (choice.outcome != FileChoice::Outcome::Chosen)
        return 0;
    if (choice.path.size() >= static_cast<std::size_t>(pathSize))
        return -1;  // a path that does not fit is no path: never cut it
    std::memcpy(path, choice.path.c_str(), choice.path.size() + 1);
    return 1;
}

// The report's cancel window: a box shown without blocking the caller, whose Cancel sets a flag
// the kernel polls between its waits.
struct CancelWindow {
    QPointer<QMessageBox> box;
    bool cancelled = false;
};

void* OpenCancelWindow(void*, const char* caption, const char* text) {
    auto* window = new CancelWindow;
    window->box =
        new QMessageBox(QMessageBox::Information, QString::fromUtf8(caption ? caption : ""),
                        QString::fromUtf8(text ? text : ""), QMessageBox::Cancel, g_parent);
    window->box->setWindowModality(Qt::ApplicationModal);
    QObject::connect(window->box, &QMessageBox::finished, [window] { window->cancelled = true; });
    window->box->show();
    ++g_openCancelWindows;
    return window;
}

int CancelRequested(void*, void* handle) {
    return handle != nullptr && static_cast<CancelWindow*>(handle)->cancelled ? 1 : 0;
}

void CloseCancelWindow(void*, void* handle) {
    auto* window = static_cast<CancelWindow*>(handle);
    if (window == nullptr)
        return;
    --g_openCancelWindows;
    if (window->box) {
        window->box->disconnect();
        window->box->deleteLater();
    }
    delete window;
}

void ProgressOpen(void*, const char* title, int32_t low, int32_t high) {
    auto* dialog = new QProgressDialog(QString::fromUtf8(title ? title : ""), QString(), low,
                                       high == low ? 0 : high, g_parent);
    if (high == low)
        dialog->setRange(0, 0);  // activity without a fraction
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->setMinimumDuration(0);
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    dialog->setValue(low);
    g_progress = dialog;
    Pump(nullptr);
}

void ProgressUpdate(void*, int32_t position) {
    if (!g_progress)
        return;
    if (g_progress->maximum() != 0)
        g_progress->setValue(position);
    Pump(nullptr);
}

void ProgressClose(void*) {
    if (g_progress)
        delete g_progress.data();
}

}  // namespace

void InstallQtHostHooks(QWidget* parent, Prompt& prompt) {
    g_parent = parent;
    g_prompt = &prompt;
    PCUHostHooks hooks{};
    hooks.pumpMessages = Pump;
    hooks.messageBox = MessageBox;
    hooks.saveFileDialog = SaveFileDialog;
    hooks.openCancelWindow = OpenCancelWindow;
    hooks.cancelRequested = CancelRequested;
    hooks.closeCancelWindow = CloseCancelWindow;
    PCUSetHostHooks(&hooks);
    GaugeBackend backend{};
    backend.open = ProgressOpen;
    backend.update = ProgressUpdate;
    backend.close = ProgressClose;
    SetProgressBackend(&backend);
}

void RemoveQtHostHooks() {
    g_openCancelWindows = 0;
    SetProgressBackend(nullptr);
    PCUSetHostHooks(nullptr);
    g_parent = nullptr;
    g_prompt = nullptr;
}

}  // namespace tarvo::app::qt

#include "qt/window_placement.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <optional>
#include <string>

#include "shell/settings.h"

namespace tarvo::app::qt {
namespace {

constexpr std::string_view kStatus = "Status";
constexpr std::string_view kTop = "Top";
constexpr std::string_view kLeft = "Left";
constexpr std::string_view kBottom = "Bottom";
constexpr std::string_view kRight = "Right";
constexpr std::string_view kToolbarState = "ToolbarState";

// Show states as stored: normal, minimised, maximised.
constexpr int kShowNormal = 1;
constexpr int kShowMinimized = 2;
constexpr int kShowMaximized = 3;

std::optional<int> ReadInt(std::string_view key) {
    const std::string text = ReadSetting(key, "");
    if (text.empty())
        return std::nullopt;
    bool ok = false;
    const int value = QString::fromStdString(text).toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

bool WriteInt(std::string_view key, int value) {
    return WriteSetting(key, std::to_string(value));
}

bool WindowSystemPlacesWindows() {
    return !QGuiApplication::platformName().startsWith("wayland");
}

}  // namespace

QRect DefaultPlacement(const QSize& screen) {
    const int height = screen.height() / 2;
    const int width = screen.width() < 1280 ? 415 : 450;
    return QRect((screen.width() - width) / 2, height / 2, width, height);
}

QRect PullOntoScreen(QRect rect, const QRect& screen, const QSize& keep) {
    if (rect.left() > screen.right() - keep.width())
        rect.moveLeft(screen.right() + 1 - keep.width());
    if (rect.top() > screen.bottom() - keep.height())
        rect.moveTop(screen.bottom() + 1 - keep.height());
    if (rect.left() < screen.left())
        rect.moveLeft(screen.left());
    if (rect.top() < screen.top())
        rect.moveTop(screen.top());
    return rect;
}

void RestorePlacement(QMainWindow& window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    QRect rect = DefaultPlacement(available.size()).translated(available.topLeft());
    const auto status = ReadInt(kStatus), top = ReadInt(kTop), left = ReadInt(kLeft),
               bottom = ReadInt(kBottom), right = ReadInt(kRight);
    const bool stored =
        status && top && left && bottom && right && *right > *left && *bottom > *top;
    if (stored) {
        rect = PullOntoScreen(QRect(QPoint(*left, *top), QPoint(*right - 1, *bottom - 1)),
                              available, QSize(32, 32));
    }
    window.resize(rect.size());
    if (WindowSystemPlacesWindows())
        window.move(rect.topLeft());
    if (stored && *status == kShowMaximized)
        window.setWindowState(Qt::WindowMaximized);
    const std::string toolbar = ReadSetting(kToolbarState, "");
    if (!toolbar.empty())
        window.restoreState(QByteArray::fromBase64(QByteArray::fromStdString(toolbar)));
}

bool SavePlacement(const QMainWindow& window) {
    const QRect rect =
        window.normalGeometry().isValid() ? window.normalGeometry() : window.geometry();
    const int status = window.isMaximized()   ? kShowMaximized
                       : window.isMinimized() ? kShowMinimized
                                              : kShowNormal;
    bool ok = WriteInt(kStatus, status);
    ok = WriteInt(kTop, rect.top()) && ok;
    ok = WriteInt(kLeft, rect.left()) && ok;
    ok = WriteInt(kBottom, rect.bottom() + 1) && ok;
    ok = WriteInt(kRight, rect.right() + 1) && ok;
    ok = WriteSetting(kToolbarState, window.saveState().toBase64().toStdString()) && ok;
    return ok;
}

}  // namespace tarvo::app::qt

#include "qt/splash.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace tarvo::app::qt {
namespace {

bool IsModalWindow(QObject* object) {
    if (!object->isWidgetType())
        return false;
    const auto* widget = static_cast<QWidget*>(object);
    return widget->isWindow() && widget->isModal();
}

}  // namespace

SplashWindow::SplashWindow(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(tr("<h2>Tarvo</h2>Label printer configuration"), this);
    title->setAlignment(Qt::AlignCenter);
    layout->addWidget(title);
    QTimer::singleShot(kShowMs, this, &QWidget::close);
    qApp->installEventFilter(this);
}

bool SplashWindow::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::NonClientAreaMouseButtonPress:
            close();
            break;
        case QEvent::Show:
            if (IsModalWindow(watched))
                close();
            break;
        default:
            break;
    }
    return false;  // the key or click still reaches its widget
}

}  // namespace tarvo::app::qt

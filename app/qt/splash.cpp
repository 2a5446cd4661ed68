#include "qt/splash.h"

#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace tarvo::app::qt {

SplashWindow::SplashWindow(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(tr("<h2>Tarvo</h2>Label printer configuration"), this);
    title->setAlignment(Qt::AlignCenter);
    layout->addWidget(title);
    setFocusPolicy(Qt::StrongFocus);
    QTimer::singleShot(kShowMs, this, &QWidget::close);
}

void SplashWindow::keyPressEvent(QKeyEvent*) {
    close();
}

void SplashWindow::mousePressEvent(QMouseEvent*) {
    close();
}

}  // namespace tarvo::app::qt

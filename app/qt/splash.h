// The splash window of start-up: the program's name over its picture, gone after three seconds
// or at the first key or click.
#pragma once

#include <QWidget>

class QTimer;

namespace tarvo::app::qt {

class SplashWindow : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kShowMs = 3000;

    explicit SplashWindow(QWidget* parent = nullptr);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace tarvo::app::qt

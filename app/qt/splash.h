// The splash window of start-up: the program's name over its picture. It goes when the main
// window is ready (the owner connects that), after three seconds at the latest, at the first
// key or click anywhere in the program, and as soon as a modal dialog opens, which it must
// never hide.
#pragma once

#include <QWidget>

namespace tarvo::app::qt {

class SplashWindow : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kShowMs = 3000;

    explicit SplashWindow(QWidget* parent = nullptr);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace tarvo::app::qt

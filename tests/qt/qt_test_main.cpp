// main() of the widget tests: one QApplication on the offscreen platform, so no display is
// needed, then the tests. A platform named in QT_QPA_PLATFORM is kept, so the same tests can
// run on a real X server ("xvfb-run env QT_QPA_PLATFORM=xcb ...").
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

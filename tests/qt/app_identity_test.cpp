// What the desktop program tells the desktop about itself: the entry its windows belong to and
// a window icon that draws.
#include <gtest/gtest.h>

#include <QApplication>
#include <QIcon>

#include "qt/app_identity.h"

namespace tarvo::app::qt {
namespace {

TEST(AppIdentity, WindowsBelongToTheDesktopEntryAndCarryTheIcon) {
    SetUpApplication(*qobject_cast<QApplication*>(QCoreApplication::instance()));
    EXPECT_EQ(QGuiApplication::desktopFileName(), "tarvo32");
    EXPECT_EQ(QCoreApplication::applicationName(), "tarvo32");
    const QIcon icon = QApplication::windowIcon();
    ASSERT_FALSE(icon.isNull());
    EXPECT_FALSE(icon.pixmap(32, 32).isNull()) << "the SVG icon engine draws it";
}

}  // namespace
}  // namespace tarvo::app::qt

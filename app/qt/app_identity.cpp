#include "qt/app_identity.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "tarvo/base/version.h"

// The icon lives in the program core, a static library, whose resources are registered by a
// call from code that is linked in; the macro declares the registration function at namespace
// scope, hence outside our namespace.
static void RegisterIconResources() {
    Q_INIT_RESOURCE(tarvo32);
}

namespace tarvo::app::qt {
namespace {

// Loads the translation of `name` for the user's locale from `folder`; false when there is none
// (English, or a language not translated yet).
bool InstallTranslation(QApplication& app, const QString& name, const QString& folder) {
    auto* translator = new QTranslator(&app);
    if (!translator->load(QLocale(), name, "_", folder)) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

}  // namespace

void SetUpApplication(QApplication& app) {
    RegisterIconResources();
    QCoreApplication::setApplicationName(kDesktopName);
    QCoreApplication::setApplicationVersion(tarvo::kVersionText);
    QGuiApplication::setDesktopFileName(kDesktopName);
    QApplication::setWindowIcon(
        QIcon::fromTheme(kDesktopName, QIcon(QStringLiteral(":/icons/tarvo32.svg"))));
    InstallTranslation(app, "qtbase", QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    InstallTranslation(app, kDesktopName,
                       QCoreApplication::applicationDirPath() + "/../share/tarvo/translations");
}

}  // namespace tarvo::app::qt

#include "ProgramStart.h"

#include "DeferredIcon.h"
#include "StartupStyle.h"

#include <QApplication>
#include <fontconfig/fontconfig.h>

void nameApplication() {
    QCoreApplication::setApplicationName("ZentabCalculator");
    QCoreApplication::setApplicationVersion(ZENTAB_VERSION);
}

void prepareApplication() {
    nameApplication();
    QGuiApplication::setDesktopFileName("org.example.ZentabCalculator");
    QApplication::setStyle(new platform::StartupStyle);
    // The menus stay in the window, whose layout counts on them, on desktops with a
    // global menu too; asking the session bus for one cost every start-up a millisecond.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
    QApplication::setWindowIcon(platform::deferredIcon(":/zentab.png"));
}

platform::StartupPreload preloadFontConfiguration() {
    return platform::StartupPreload([] { FcInit(); });
}

#include "ProgramStart.h"

#include "DeferredIcon.h"
#include "SharedNetwork.h"
#include "frmLog.h"

#include <QApplication>

void nameApplication() {
    QCoreApplication::setApplicationName("ZentabCalculator");
    QCoreApplication::setApplicationVersion(ZENTAB_VERSION);
}

void prepareApplication() {
    nameApplication();
    QGuiApplication::setDesktopFileName("org.example.ZentabCalculator");
    QApplication::setWindowIcon(
        QIcon::fromTheme("org.example.ZentabCalculator", platform::deferredIcon(":/zentab.png")));
    setBrowserLog([](const QString& line) { Log(line); });
}

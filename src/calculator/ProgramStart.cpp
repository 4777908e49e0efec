#include "ProgramStart.h"

#include "SharedNetwork.h"
#include "frmLog.h"

#include <QApplication>
#include <QIcon>

void nameApplication() {
    QCoreApplication::setApplicationName("ZentabCalculator");
    QCoreApplication::setApplicationVersion(ZENTAB_VERSION);
}

void prepareApplication() {
    nameApplication();
    QGuiApplication::setDesktopFileName("org.example.ZentabCalculator");
    QApplication::setWindowIcon(
        QIcon::fromTheme("org.example.ZentabCalculator", QIcon(":/zentab.png")));
    setBrowserLog([](const QString& line) { Log(line); });
}

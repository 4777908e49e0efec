#include "SharedNetwork.h"
#include "ZentabCalc.h"
#include "frmLog.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("ZentabCalculator");
    QApplication::setApplicationVersion(ZENTAB_VERSION);
    QApplication::setWindowIcon(QIcon(":/zentab.png"));
    setBrowserLog([](const QString& line) { Log(line); });

    ZentabCalc calculator;
    calculator.show();
    return QApplication::exec();
}

#include "ZentabCalc.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("ZentabCalculator");
    QApplication::setApplicationVersion(ZENTAB_VERSION);

    ZentabCalc calculator;
    calculator.show();
    return QApplication::exec();
}

// The program's own start-up, up to its main window on screen.
#include "ProgramStart.h"
#include "StartupWindowShown.h"
#include "ZentabCalc.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    prepareApplication();
    ZentabCalc calculator;
    calculator.show();
    return reportWhenOnScreen(calculator);
}

// The program's own start-up, up to its main window on screen.
#include "ProgramStart.h"
#include "StartupWindowShown.h"
#include "ZentabCalc.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    auto fontConfiguration = preloadFontConfiguration();
    QApplication application(argc, argv);
    prepareApplication();
    fontConfiguration.wait();
    ZentabCalc calculator;
    calculator.show();
    return reportWhenOnScreen(calculator);
}

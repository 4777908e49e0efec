// The yardstick of start-up: the least a Qt program can show, one line edit.
#include "StartupWindowShown.h"

#include <QApplication>
#include <QLineEdit>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QLineEdit edit;
    edit.show();
    return reportWhenOnScreen(edit);
}

#include "OsServices.h"

#include <QApplication>
#include <QWindow>

namespace platform {

void setKeepOnTop(QWidget& window, bool onTop) {
    // QWidget::setWindowFlag would hide and re-create the window.
    window.winId(); // makes sure the native window exists
    if (QWindow* handle = window.windowHandle())
        handle->setFlag(Qt::WindowStaysOnTopHint, onTop);
}

QWidget* findOpenWindow(const QString& objectName) {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == objectName)
            return widget;
    return nullptr;
}

} // namespace platform

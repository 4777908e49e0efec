#pragma once

#include <QString>
#include <QWidget>

// Operating-system services the windows use.
namespace platform {

// Keeps a top-level window above other programs' windows, or returns it to
// the normal order.
void setKeepOnTop(QWidget& window, bool onTop);

// The open top-level window with this object name, if any.
QWidget* findOpenWindow(const QString& objectName);

} // namespace platform

#pragma once

#include <QObject>
#include <QStringList>

class QWidget;

// What is wrong with a window's layout as the user would see it: a control outside the
// window, a control covering part of another, a caption or label text that does not fit
// its control. Empty when nothing is. Only the controls shown are looked at.
QStringList layoutFaults(const QWidget& window);

// The controls of a window, shown ones only, that a screen reader could not name: a box, list
// or text area without an accessible name, a button with neither that nor a caption.
QStringList unnamedControls(const QWidget& window);

// The controls of a window, shown ones only, that tests and accessibility tools could not find
// by name: a box, list, text area, button, label or frame without an object name.
QStringList controlsWithoutObjectName(const QWidget& window);

// Fails the running test for each layout fault and unnamed or anonymous control of a window it
// shows, and for a window without a title, as the window is shown.
class WindowWatch : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

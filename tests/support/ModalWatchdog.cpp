#include "ModalWatchdog.h"

#include <QApplication>
#include <QWidget>
#include <gtest/gtest.h>

namespace {
QStringList expectedModals;
}

ModalWatchdog::ModalWatchdog(const QString& expectedObjectName) : expected_(expectedObjectName) {
    expectedModals.append(expected_);
}

ModalWatchdog::~ModalWatchdog() {
    expectedModals.removeOne(expected_);
}

void ModalWatchdog::check() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || expectedModals.contains(modal->objectName()))
        return;
    ADD_FAILURE() << "unexpected modal window: " << modal->objectName().toStdString() << " \""
                  << modal->windowTitle().toStdString() << "\"";
    modal->close();
}

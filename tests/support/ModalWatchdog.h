#pragma once

#include <QString>
#include <QStringList>

// Closes modal windows that a test did not announce, and fails the test.
class ModalWatchdog {
public:
    // While alive, a modal window with this object name is expected.
    explicit ModalWatchdog(const QString& expectedObjectName);
    ~ModalWatchdog();

    static void check();

private:
    QString expected_;
};

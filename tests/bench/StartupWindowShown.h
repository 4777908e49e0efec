#pragma once

#include <QCoreApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <cstdio>

// What a start-up program of the benchmark does once it has shown its window:
// waits until the window is on screen and says so on standard output, where
// the timing parent waits for it. It wakes for each event rather than polling
// (QTest's waits look again only every 10 ms, a large part of a start-up).
inline int reportWhenOnScreen(QWidget& window) {
    bool timedOut = false;
    QTimer::singleShot(10000, [&] { timedOut = true; });
    const auto onScreen = [&] {
        return window.windowHandle() && window.windowHandle()->isExposed();
    };
    while (!onScreen() && !timedOut)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (!onScreen()) {
        std::fputs("the window was never shown\n", stderr);
        return 1;
    }
    std::puts("shown");
    std::fflush(stdout);
    return 0;
}

#pragma once

#include <QTest>
#include <QWidget>
#include <cstdio>

// What a start-up program of the benchmark does once its window is up: says
// so on standard output, where the timing parent waits for it.
inline int reportShown(QWidget& window) {
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fputs("the window was never shown\n", stderr);
        return 1;
    }
    std::puts("shown");
    std::fflush(stdout);
    return 0;
}

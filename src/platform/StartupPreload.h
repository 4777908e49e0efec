#pragma once

#include <QByteArrayView>
#include <functional>
#include <thread>

namespace platform {

// Whether QApplication will wait on a display connection that other start-up work could run
// beside: not on the display-less platforms that tests and scripts name in QT_QPA_PLATFORM.
bool startupWaitsOnDisplay(QByteArrayView platformNames);

// Runs a piece of start-up work on a thread of its own while QApplication connects to the
// display; where there is no display to wait on, the work is left to whoever needs it first.
// Made before QApplication; wait() before anything that would otherwise do the work itself.
class StartupPreload {
public:
    explicit StartupPreload(std::function<void()> work);
    ~StartupPreload();
    StartupPreload(const StartupPreload&) = delete;
    StartupPreload& operator=(const StartupPreload&) = delete;

    void wait();

private:
    std::thread thread_;
};

} // namespace platform

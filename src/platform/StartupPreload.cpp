#include "StartupPreload.h"

#include <QByteArray>
#include <QtGlobal>

namespace platform {

bool startupWaitsOnDisplay(QByteArrayView platformNames) {
    // A list names its first choice first; a name may carry options after a colon.
    QByteArrayView name = platformNames;
    for (const char separator : {';', ':'})
        if (const qsizetype end = name.indexOf(separator); end >= 0)
            name = name.first(end);
    return name != "offscreen" && name != "minimal";
}

StartupPreload::StartupPreload(std::function<void()> work) {
    if (startupWaitsOnDisplay(qgetenv("QT_QPA_PLATFORM")))
        thread_ = std::thread(std::move(work));
}

StartupPreload::~StartupPreload() {
    wait();
}

void StartupPreload::wait() {
    if (thread_.joinable())
        thread_.join();
}

} // namespace platform

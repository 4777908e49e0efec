#pragma once

#include <QPointer>

namespace platform {

// The one window of its kind in the process: made on first use, discarded
// when closed, made anew by the next use.
template <typename Window> class SingleWindow {
public:
    static Window& instance() {
        if (!current())
            current() = new Window;
        return *current();
    }
    static bool exists() { return !current().isNull(); }

protected:
    // The open window; a window that is closing may let go of it before it is deleted.
    static QPointer<Window>& current() {
        static QPointer<Window> window;
        return window;
    }
};

} // namespace platform

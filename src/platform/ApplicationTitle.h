#pragma once

#include <QString>

namespace platform {

// The title message boxes carry unless they name another.
inline QString applicationTitle() {
    return QStringLiteral("Zentab Calculator SE");
}

} // namespace platform

#include "AboutTexts.h"

namespace about {

QString versionText(int major, int minor, int revision) {
    return QStringLiteral("Version %1.%2.%3").arg(major).arg(minor).arg(revision);
}

QString ColorToRGB(const QColor& colour) {
    // The colour is written as BBGGRR, then its outer digit pairs swap places.
    const int value = colour.blue() * 65536 + colour.green() * 256 + colour.red();
    const QString bgr = QStringLiteral("%1").arg(value, 6, 16, QChar('0')).toUpper();
    return bgr.right(2) + bgr.mid(2, 2) + bgr.left(2);
}

} // namespace about

#pragma once

#include <QColor>
#include <QString>

namespace about {

// "Version 1.0.7": each number in plain decimal.
QString versionText(int major, int minor, int revision);

// A colour as six hexadecimal digits RRGGBB, without "#".
QString ColorToRGB(const QColor& colour);

} // namespace about

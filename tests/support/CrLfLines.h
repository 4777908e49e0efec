#pragma once

#include <QString>
#include <initializer_list>

// Lines each ended by CR LF, as the forum's texts are written.
inline QString crLfLines(std::initializer_list<QString> parts) {
    QString text;
    for (const QString& part : parts)
        text += part + QStringLiteral("\r\n");
    return text;
}

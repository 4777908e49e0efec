#pragma once

#include <QLabel>

namespace platform {

// A caption whose mnemonic moves the focus to the control it names, and named after it.
inline QLabel* buddyLabel(const QString& caption, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QStringLiteral("lbl") + buddy->objectName());
    label->setBuddy(buddy);
    return label;
}

} // namespace platform

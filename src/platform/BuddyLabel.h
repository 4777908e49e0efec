#pragma once

#include <QLabel>

namespace platform {

// A caption whose mnemonic moves the focus to the control it names.
inline QLabel* buddyLabel(const QString& caption, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace platform

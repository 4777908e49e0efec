#pragma once

#include <QKeyEvent>

// Turns Qt key events into Windows virtual-key codes with a Shift 1 / Ctrl 2 /
// Alt 4 mask, the terms in which the calculator's keyboard map is written.
namespace platform {

struct VirtualKey {
    int code = 0; // 0 for keys without a code
    int mask = 0;
    bool operator==(const VirtualKey&) const = default;
};

// nativeScanCode is the X keycode where the platform gives one, else 0; with
// it, digits and punctuation go by their position on a US keyboard.
VirtualKey toVirtualKey(int qtKey, Qt::KeyboardModifiers modifiers, quint32 nativeScanCode);

VirtualKey toVirtualKey(const QKeyEvent& event);

// True for a key that would type into a text box; Enter and Escape belong to
// the window's buttons.
bool typesCharacter(const QKeyEvent& event);

} // namespace platform

#pragma once

#include <optional>

// Which calculator operation a key runs. Keys are Windows virtual-key codes
// with a Shift 1 / Ctrl 2 / Alt 4 mask, so the map is the same on every layout.
namespace calculator {

enum Modifier { ShiftMask = 1, CtrlMask = 2, AltMask = 4 };

constexpr int mapInteger(int keyCode, int modifierMask) {
    return keyCode + 256 * modifierMask;
}

enum class KeyAction {
    Digit,    // index 0-9 as on the digit buttons
    Operator, // index 0-4: = - + * /
    ClearEntry,
    Clear,
    Galleons,
    Sickles,
    Knuts,
    OpenParenthesis,
    CloseParenthesis,
    MemoryRecall,
    MemoryStore,
    MemoryAdd,
    MemoryClear,
};

struct KeyCommand {
    KeyAction action;
    int index = 0;
    bool operator==(const KeyCommand&) const = default;
};

// Nothing for keys that go on to the focused control.
std::optional<KeyCommand> commandForKey(int keyCode, int modifierMask);

} // namespace calculator

#include "KeyCodes.h"

#include <QGuiApplication>
#include <unordered_map>

namespace platform {
namespace {

enum : int {
    VkBack = 8,
    VkTab = 9,
    VkReturn = 13,
    VkShift = 16,
    VkControl = 17,
    VkMenu = 18,
    VkNumpad0 = 96,
    VkMultiply = 106,
    VkAdd = 107,
    VkSubtract = 109,
    VkDecimal = 110,
    VkDivide = 111,
    VkF1 = 112,
    VkOem1 = 186, // ;:
    VkOemPlus = 187,
    VkOemComma = 188,
    VkOemMinus = 189,
    VkOemPeriod = 190,
    VkOem2 = 191, // /?
    VkOem3 = 192, // `~
    VkOem4 = 219, // [{
    VkOem5 = 220, // \|
    VkOem6 = 221, // ]}
    VkOem7 = 222, // '"
    VkOem102 = 226,
};

// X keycodes (evdev) of the keys that have no letter on them, by position.
const std::unordered_map<quint32, int> UsPositions = {
    {10, '1'},        {11, '2'},       {12, '3'},    {13, '4'},        {14, '5'},
    {15, '6'},        {16, '7'},       {17, '8'},    {18, '9'},        {19, '0'},
    {20, VkOemMinus}, {21, VkOemPlus}, {34, VkOem4}, {35, VkOem6},     {47, VkOem1},
    {48, VkOem7},     {49, VkOem3},    {51, VkOem5}, {59, VkOemComma}, {60, VkOemPeriod},
    {61, VkOem2},     {94, VkOem102},
};

const std::unordered_map<quint32, int> KeypadPositions = {
    {63, VkMultiply}, {82, VkSubtract}, {86, VkAdd}, {91, VkDecimal}, {106, VkDivide},
};

const std::unordered_map<int, int> KeypadKeys = {
    {Qt::Key_Asterisk, VkMultiply}, {Qt::Key_Plus, VkAdd},      {Qt::Key_Minus, VkSubtract},
    {Qt::Key_Period, VkDecimal},    {Qt::Key_Comma, VkDecimal}, {Qt::Key_Slash, VkDivide},
    {Qt::Key_Enter, VkReturn},
};

const std::unordered_map<int, int> PlainKeys = {
    {Qt::Key_Backspace, VkBack},
    {Qt::Key_Tab, VkTab},
    {Qt::Key_Backtab, VkTab},
    {Qt::Key_Return, VkReturn},
    {Qt::Key_Enter, VkReturn},
    {Qt::Key_Shift, VkShift},
    {Qt::Key_Control, VkControl},
    {Qt::Key_Alt, VkMenu},
    {Qt::Key_Pause, 19},
    {Qt::Key_CapsLock, 20},
    {Qt::Key_Escape, 27},
    {Qt::Key_Space, 32},
    {Qt::Key_PageUp, 33},
    {Qt::Key_PageDown, 34},
    {Qt::Key_End, 35},
    {Qt::Key_Home, 36},
    {Qt::Key_Left, 37},
    {Qt::Key_Up, 38},
    {Qt::Key_Right, 39},
    {Qt::Key_Down, 40},
    {Qt::Key_Insert, 45},
    {Qt::Key_Delete, 46},
    {Qt::Key_NumLock, 144},
    {Qt::Key_ScrollLock, 145},
    {Qt::Key_Semicolon, VkOem1},
    {Qt::Key_Equal, VkOemPlus},
    {Qt::Key_Comma, VkOemComma},
    {Qt::Key_Minus, VkOemMinus},
    {Qt::Key_Period, VkOemPeriod},
    {Qt::Key_Slash, VkOem2},
    {Qt::Key_QuoteLeft, VkOem3},
    {Qt::Key_BracketLeft, VkOem4},
    {Qt::Key_Backslash, VkOem5},
    {Qt::Key_BracketRight, VkOem6},
    {Qt::Key_Apostrophe, VkOem7},
};

// Symbols typed with Shift on a US keyboard, by the key that carries them.
const std::unordered_map<int, int> ShiftedSymbols = {
    {Qt::Key_Exclam, '1'},
    {Qt::Key_At, '2'},
    {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'},
    {Qt::Key_Percent, '5'},
    {Qt::Key_AsciiCircum, '6'},
    {Qt::Key_Ampersand, '7'},
    {Qt::Key_Asterisk, '8'},
    {Qt::Key_ParenLeft, '9'},
    {Qt::Key_ParenRight, '0'},
    {Qt::Key_Underscore, VkOemMinus},
    {Qt::Key_Plus, VkOemPlus},
    {Qt::Key_BraceLeft, VkOem4},
    {Qt::Key_BraceRight, VkOem6},
    {Qt::Key_Bar, VkOem5},
    {Qt::Key_Colon, VkOem1},
    {Qt::Key_QuoteDbl, VkOem7},
    {Qt::Key_Less, VkOemComma},
    {Qt::Key_Greater, VkOemPeriod},
    {Qt::Key_Question, VkOem2},
    {Qt::Key_AsciiTilde, VkOem3},
};

int lookup(const std::unordered_map<int, int>& table, int key) {
    auto found = table.find(key);
    return found == table.end() ? 0 : found->second;
}

int lookup(const std::unordered_map<quint32, int>& table, quint32 key) {
    auto found = table.find(key);
    return found == table.end() ? 0 : found->second;
}

bool isDigitKey(int key) {
    return key >= Qt::Key_0 && key <= Qt::Key_9;
}
bool isLetterKey(int key) {
    return key >= Qt::Key_A && key <= Qt::Key_Z;
}

} // namespace

VirtualKey toVirtualKey(int qtKey, Qt::KeyboardModifiers modifiers, quint32 nativeScanCode) {
    VirtualKey key;
    key.mask = (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
               (modifiers & Qt::AltModifier ? 4 : 0);

    if (modifiers & Qt::KeypadModifier) {
        if (isDigitKey(qtKey))
            key.code = VkNumpad0 + (qtKey - Qt::Key_0);
        else if (int byPosition = lookup(KeypadPositions, nativeScanCode))
            key.code = byPosition;
        else if (int keypad = lookup(KeypadKeys, qtKey))
            key.code = keypad;
        else
            key.code = lookup(PlainKeys, qtKey);
        return key;
    }
    if (int byPosition = lookup(UsPositions, nativeScanCode)) {
        key.code = byPosition;
    } else if (isLetterKey(qtKey) || isDigitKey(qtKey)) {
        key.code = qtKey; // Qt's codes for letters and digits are their virtual-key codes
    } else if (int shifted = lookup(ShiftedSymbols, qtKey)) {
        key.code = shifted;
        key.mask |= 1;
    } else if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) {
        key.code = VkF1 + (qtKey - Qt::Key_F1);
    } else {
        key.code = lookup(PlainKeys, qtKey);
    }
    return key;
}

VirtualKey toVirtualKey(const QKeyEvent& event) {
    // Only the X11 and Wayland platforms give X keycodes as native scan codes.
    const QString platform = QGuiApplication::platformName();
    bool keycodes = platform == QLatin1String("xcb") || platform == QLatin1String("wayland");
    return toVirtualKey(event.key(), event.modifiers(), keycodes ? event.nativeScanCode() : 0);
}

bool typesCharacter(const QKeyEvent& event) {
    const int key = event.key();
    const bool windowKey = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
    return !event.text().isEmpty() && !windowKey;
}

} // namespace platform

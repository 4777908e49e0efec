#include "KeyCodes.h"

#include <gtest/gtest.h>

using platform::toVirtualKey;
using platform::VirtualKey;

TEST(KeyCodes, TranslatesQtKeysWithoutNativeCodes) {
    const Qt::KeyboardModifiers none;
    const std::tuple<int, Qt::KeyboardModifiers, VirtualKey> cases[] = {
        {Qt::Key_8, Qt::ShiftModifier, {56, 1}},
        {Qt::Key_Asterisk, none, {56, 1}},
        {Qt::Key_Asterisk, Qt::KeypadModifier, {106, 0}},
        {Qt::Key_8, Qt::KeypadModifier, {104, 0}},
        {Qt::Key_Plus, none, {187, 1}},
        {Qt::Key_Plus, Qt::KeypadModifier | Qt::ShiftModifier, {107, 1}},
        {Qt::Key_Period, Qt::KeypadModifier | Qt::ShiftModifier, {110, 1}},
        {Qt::Key_Equal, none, {187, 0}},
        {Qt::Key_Minus, none, {189, 0}},
        {Qt::Key_Minus, Qt::KeypadModifier, {109, 0}},
        {Qt::Key_Slash, none, {191, 0}},
        {Qt::Key_Backslash, none, {220, 0}},
        {Qt::Key_ParenLeft, none, {57, 1}},
        {Qt::Key_ParenRight, Qt::ShiftModifier, {48, 1}},
        {Qt::Key_M, Qt::ControlModifier | Qt::AltModifier, {77, 6}},
        {Qt::Key_W, Qt::ShiftModifier, {87, 1}},
        {Qt::Key_F4, Qt::ShiftModifier, {115, 1}},
        {Qt::Key_Backspace, Qt::ShiftModifier, {8, 1}},
        {Qt::Key_Shift, Qt::ShiftModifier, {16, 1}},
        {Qt::Key_Return, none, {13, 0}},
        {Qt::Key_Launch0, none, {0, 0}},
    };
    for (const auto& [key, modifiers, expected] : cases)
        EXPECT_EQ(toVirtualKey(key, modifiers, 0), expected) << std::hex << key;
}

TEST(KeyCodes, GoesByUsKeyPositionWhenTheKeycodeIsKnown) {
    // A German layout gives "(" for Shift+8 and "ß" on the minus key.
    EXPECT_EQ(toVirtualKey(Qt::Key_ParenLeft, Qt::ShiftModifier, 17), (VirtualKey{56, 1}));
    EXPECT_EQ(toVirtualKey(Qt::Key_ssharp, {}, 20), (VirtualKey{189, 0}));
    EXPECT_EQ(toVirtualKey(Qt::Key_Z, {}, 29), (VirtualKey{90, 0})); // letters follow the layout
    EXPECT_EQ(toVirtualKey(Qt::Key_Delete, Qt::KeypadModifier | Qt::ShiftModifier, 91),
              (VirtualKey{110, 1}));
    EXPECT_EQ(toVirtualKey(Qt::Key_Home, Qt::KeypadModifier, 79), (VirtualKey{36, 0}));
}

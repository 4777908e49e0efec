#include "KeyboardMap.h"

#include <gtest/gtest.h>

using namespace calculator;
using A = KeyAction;

TEST(KeyboardMap, EveryMapIntegerRunsItsOperation) {
    const struct {
        int integer;
        KeyCommand command;
    } cases[] = {
        {8, {A::ClearEntry}},
        {264, {A::Clear}},
        {71, {A::Galleons}},
        {343, {A::Galleons}},
        {83, {A::Sickles}},
        {371, {A::Sickles}},
        {75, {A::Knuts}},
        {78, {A::Knuts}},
        {363, {A::Knuts}},
        {366, {A::Knuts}},
        {80, {A::OpenParenthesis}},
        {313, {A::OpenParenthesis}},
        {304, {A::CloseParenthesis}},
        {592, {A::CloseParenthesis}},
        {187, {A::Operator, 0}},
        {109, {A::Operator, 1}},
        {189, {A::Operator, 1}},
        {107, {A::Operator, 2}},
        {443, {A::Operator, 2}},
        {106, {A::Operator, 3}},
        {312, {A::Operator, 3}},
        {111, {A::Operator, 4}},
        {191, {A::Operator, 4}},
        {220, {A::Operator, 4}},
        {333, {A::MemoryRecall}},
        {589, {A::MemoryStore}},
        {1101, {A::MemoryAdd}},
        {1613, {A::MemoryClear}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(commandForKey(c.integer % 256, c.integer / 256), c.command) << c.integer;
}

TEST(KeyboardMap, DigitsFromTheMainRowAndTheKeypadTypeDigits) {
    for (int digit = 0; digit <= 9; ++digit) {
        const KeyCommand expected{A::Digit, digit == 0 ? 9 : digit - 1};
        EXPECT_EQ(commandForKey(48 + digit, 0), expected) << digit;
        EXPECT_EQ(commandForKey(96 + digit, 0), expected) << digit;
    }
}

TEST(KeyboardMap, OtherKeysGoOnToTheFocusedControl) {
    const struct {
        int code;
        int mask;
    } passed[] = {
        {16, 0},
        {16, 1},
        {75, 1} /* Shift+K, 331 */,
        {13, 0} /* Enter */,
        {56, 2} /* Ctrl+8 */,
        {104, 1} /* Shift+keypad 8 */,
        {77, 0} /* plain M */,
        {65, 0},
    };
    for (const auto& key : passed)
        EXPECT_EQ(commandForKey(key.code, key.mask), std::nullopt)
            << mapInteger(key.code, key.mask);
}

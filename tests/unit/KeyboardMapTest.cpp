#include "KeyboardMap.h"

#include <gtest/gtest.h>
#include <vector>

using namespace calculator;
using A = KeyAction;

TEST(KeyboardMap, EveryMapIntegerRunsItsOperation) {
    const std::pair<KeyCommand, std::vector<int>> cases[] = {
        {{A::ClearEntry}, {8}},
        {{A::Clear}, {264}},
        {{A::Galleons}, {71, 343}},
        {{A::Sickles}, {83, 371}},
        {{A::Knuts}, {75, 78, 363, 366}},
        {{A::OpenParenthesis}, {80, 313}},
        {{A::CloseParenthesis}, {304, 592}},
        {{A::Operator, 0}, {187}},
        {{A::Operator, 1}, {109, 189}},
        {{A::Operator, 2}, {107, 443}},
        {{A::Operator, 3}, {106, 312}},
        {{A::Operator, 4}, {111, 191, 220}},
        {{A::MemoryRecall}, {333}},
        {{A::MemoryStore}, {589}},
        {{A::MemoryAdd}, {1101}},
        {{A::MemoryClear}, {1613}},
    };
    for (const auto& [command, integers] : cases)
        for (int integer : integers)
            EXPECT_EQ(commandForKey(integer % 256, integer / 256), command) << integer;
}

TEST(KeyboardMap, DigitsFromTheMainRowAndTheKeypadTypeDigits) {
    for (int digit = 0; digit <= 9; ++digit) {
        const KeyCommand expected{A::Digit, digit == 0 ? 9 : digit - 1};
        EXPECT_EQ(commandForKey(48 + digit, 0), expected) << digit;
        EXPECT_EQ(commandForKey(96 + digit, 0), expected) << digit;
    }
}

// Shift alone, Shift+K, Enter, Ctrl+8, Shift+keypad 8, a plain M or A: the focused control's.
TEST(KeyboardMap, OtherKeysGoOnToTheFocusedControl) {
    for (int integer : {16, 272, 331, 13, 568, 360, 77, 65})
        EXPECT_EQ(commandForKey(integer % 256, integer / 256), std::nullopt) << integer;
}

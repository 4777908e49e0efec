#include "KeyboardMap.h"

#include <gtest/gtest.h>
#include <vector>

using namespace calculator;
using A = KeyAction;

TEST(KeyboardMap, EveryMapIntegerRunsItsOperation) {
    const std::pair<std::optional<KeyCommand>, std::vector<int>> cases[] = {
        {KeyCommand{A::ClearEntry}, {8}},
        {KeyCommand{A::Clear}, {264}},
        {KeyCommand{A::Galleons}, {71, 343}},
        {KeyCommand{A::Sickles}, {83, 371}},
        {KeyCommand{A::Knuts}, {75, 78, 363, 366}},
        {KeyCommand{A::OpenParenthesis}, {80, 313}},
        {KeyCommand{A::CloseParenthesis}, {304, 592}},
        {KeyCommand{A::Operator, 0}, {187}},
        {KeyCommand{A::Operator, 1}, {109, 189}},
        {KeyCommand{A::Operator, 2}, {107, 443}},
        {KeyCommand{A::Operator, 3}, {106, 312}},
        {KeyCommand{A::Operator, 4}, {111, 191, 220}},
        {KeyCommand{A::MemoryRecall}, {333}},
        {KeyCommand{A::MemoryStore}, {589}},
        {KeyCommand{A::MemoryAdd}, {1101}},
        {KeyCommand{A::MemoryClear}, {1613}},
        // Shift alone, Shift+K, Enter, Ctrl+8, Shift+keypad 8, plain M or A: the focused control's.
        {std::nullopt, {16, 272, 331, 13, 568, 360, 77, 65}},
    };
    for (const auto& [command, integers] : cases)
        for (int integer : integers)
            EXPECT_EQ(commandForKey(integer % 256, integer / 256), command) << integer;
}

TEST(KeyboardMap, DigitsFromTheMainRowAndTheKeypadTypeDigits) {
    // Keys 48-57 and 96-105 type 0-9; the digit command counts from 1, with 0 last.
    for (int key = 48; key <= 105; key = key == 57 ? 96 : key + 1)
        EXPECT_EQ(commandForKey(key, 0), (KeyCommand{A::Digit, (key % 48 + 9) % 10})) << key;
}

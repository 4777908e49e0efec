#include "KeyboardMap.h"

#include <array>
#include <utility>

namespace calculator {
namespace {

constexpr int ShiftKey = 16;
constexpr int Digit0 = 48;
constexpr int Digit9 = 57;
constexpr int Keypad0 = 96;
constexpr int Keypad9 = 105;

using A = KeyAction;
constexpr std::array<std::pair<int, KeyCommand>, 28> Map{{
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
}};

} // namespace

std::optional<KeyCommand> commandForKey(int keyCode, int modifierMask) {
    if (keyCode == ShiftKey)
        return std::nullopt;
    if (modifierMask == 0 && keyCode >= Keypad0 && keyCode <= Keypad9)
        keyCode -= Keypad0 - Digit0;
    if (modifierMask == 0 && keyCode >= Digit0 && keyCode <= Digit9) {
        int digit = keyCode - Digit0;
        return KeyCommand{A::Digit, digit == 0 ? 9 : digit - 1};
    }
    int key = mapInteger(keyCode, modifierMask);
    for (const auto& [integer, command] : Map)
        if (integer == key)
            return command;
    return std::nullopt;
}

} // namespace calculator

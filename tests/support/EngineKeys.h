#pragma once

#include "CalculatorEngine.h"

#include <functional>
#include <string_view>

// Presses calculator keys written as a string: digits, G S K for the coin
// buttons, = - + * / for the operators, C clear, E clear entry, ( and ),
// ~ the sign key, M store, A add, R recall, Z memory clear. Blanks are skipped.
inline void press(calculator::CalculatorEngine& engine, std::string_view keys) {
    using E = calculator::CalculatorEngine;
    static constexpr std::string_view named = "GSKCE()~MARZ";
    static const std::function<void(E&)> actions[] = {
        &E::CommandGalleons_Click, &E::CommandSickles_Click,    &E::CommandKnuts_Click,
        &E::CommandClear_Click,    &E::CommandClearE_Click,     &E::OpenParenthesis,
        &E::CloseParenthesis,      &E::cmdNumericKeySign_Click, &E::cmdMemoryStore_Click,
        &E::cmdMemoryAdd_Click,    &E::cmdMemoryRecal_Click,    &E::MemoryClear};
    for (char key : keys) {
        if (key == ' ')
            continue;
        if (const auto at = named.find(key); at != named.npos)
            actions[at](engine);
        else if (key >= '0' && key <= '9')
            engine.cmdNumericKey_Click(key == '0' ? 9 : key - '1');
        else
            engine.cmdKeyOP_Click(static_cast<int>(calculator::OperatorSymbols.find(key)));
    }
}

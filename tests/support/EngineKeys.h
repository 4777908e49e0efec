#pragma once

#include "CalculatorEngine.h"

#include <string_view>

// Presses calculator keys written as a string: digits, G S K for the coin
// buttons, = - + * / for the operators, C clear, E clear entry, ( and ),
// ~ the sign key, M store, A add, R recall, Z memory clear. Blanks are skipped.
inline void press(calculator::CalculatorEngine& engine, std::string_view keys) {
    for (char key : keys) {
        switch (key) {
        case 'G':
            engine.CommandGalleons_Click();
            break;
        case 'S':
            engine.CommandSickles_Click();
            break;
        case 'K':
            engine.CommandKnuts_Click();
            break;
        case 'C':
            engine.CommandClear_Click();
            break;
        case 'E':
            engine.CommandClearE_Click();
            break;
        case '(':
            engine.OpenParenthesis();
            break;
        case ')':
            engine.CloseParenthesis();
            break;
        case '~':
            engine.cmdNumericKeySign_Click();
            break;
        case 'M':
            engine.cmdMemoryStore_Click();
            break;
        case 'A':
            engine.cmdMemoryAdd_Click();
            break;
        case 'R':
            engine.cmdMemoryRecal_Click();
            break;
        case 'Z':
            engine.MemoryClear();
            break;
        case ' ':
            break;
        default:
            if (key >= '0' && key <= '9')
                engine.cmdNumericKey_Click(key == '0' ? 9 : key - '1');
            else
                engine.cmdKeyOP_Click(static_cast<int>(calculator::OperatorSymbols.find(key)));
        }
    }
}

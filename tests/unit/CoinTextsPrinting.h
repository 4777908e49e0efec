#pragma once

#include "AccountPost.h"

#include <ostream>

// Lets failures show balances instead of their bytes. Every test file that
// compares balances includes it, so that all of them print alike.
namespace bank {
inline void PrintTo(const CoinTexts& coins, std::ostream* out) {
    *out << '{' << coins.galleons.toStdString() << ", " << coins.sickles.toStdString() << ", "
         << coins.knuts.toStdString() << '}';
}
} // namespace bank

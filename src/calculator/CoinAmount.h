#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Galleons, Sickles and Knuts: how an amount of Knuts is sorted into the three
// coins and written as text.
namespace calculator {

inline constexpr std::int32_t KnutsPerGalleon = 493;
inline constexpr std::int32_t KnutsPerSickle = 29;

inline constexpr std::string_view ZeroAmountText = "0 Galleons, 0 Sickles, 0 Knuts";

enum class Coin { Galleons = 0, Sickles = 1, Knuts = 2 };
inline constexpr Coin AllCoins[] = {Coin::Galleons, Coin::Sickles, Coin::Knuts};

struct SortedCoins {
    std::int32_t galleons = 0;
    std::int32_t sickles = 0;
    std::int32_t knuts = 0;
    bool operator==(const SortedCoins&) const = default;
};

// Truncating division, so every part carries the sign of the total.
SortedCoins sortKnuts(std::int32_t total);

// 493 g + 29 s + k, rounded to whole Knuts; nothing on overflow.
std::optional<std::int32_t> knutValue(double galleons, double sickles, double knuts);

// Reads three coin texts with the leading-number reading and totals them.
std::optional<std::int32_t> knutValueOfTexts(std::string_view galleons, std::string_view sickles,
                                             std::string_view knuts);

// "G Galleons, S Sickles, K Knuts", always all three parts, always plural.
std::string amountText(std::string_view galleons, std::string_view sickles, std::string_view knuts);

} // namespace calculator

#pragma once

#include <optional>
#include <string>
#include <string_view>

// The value of an amount in US dollars, shown in the status bar.
namespace calculator {

inline constexpr double StartExchangeRate = 7.33; // dollars per Galleon

// The dollar value of the three parts of a result line; nothing when the
// Sickles and Knuts leave the Knut range or the value is not finite.
std::optional<double> dollarValue(std::string_view galleonsPart, std::string_view sicklesPart,
                                  std::string_view knutsPart, double exchangeRate);

// "$##,###,##0.00" with "." and "," whatever the locale; "-$1.50" when negative.
std::string dollarText(double dollars);

// The rate as the exchange-rate dialog shows it: "0.00".
std::string rateText(double rate);

// What "Set" in the exchange-rate dialog does with the text of its rate box.
struct RateDecision {
    enum Kind { Invalid, Unchanged, Confirm } kind;
    double rate = 0; // the new rate, rounded to cents, when confirming
};
RateDecision decideExchangeRate(std::string_view rateBoxText, double currentRate);

} // namespace calculator

#include "DollarValue.h"

#include "CoinAmount.h"
#include "NumberText.h"

#include <charconv>
#include <cmath>

namespace calculator {
namespace {

// Locale-free: the program's texts use "." whatever the user's locale.
std::string fixedTwoDecimals(double value) {
    char buffer[512];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    return std::string(buffer, result.ptr);
}

std::string groupThousands(std::string_view digits) {
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += ',';
        grouped += digits[i];
    }
    return grouped;
}

} // namespace

std::optional<double> dollarValue(std::string_view galleonsPart, std::string_view sicklesPart,
                                  std::string_view knutsPart, double exchangeRate) {
    auto knuts = knutRound(LeadingNumber(sicklesPart) * KnutsPerSickle + LeadingNumber(knutsPart));
    if (!knuts)
        return std::nullopt;
    double dollars = LeadingNumber(galleonsPart) * exchangeRate +
                     static_cast<double>(*knuts) / KnutsPerGalleon * exchangeRate;
    if (!std::isfinite(dollars))
        return std::nullopt;
    return dollars;
}

std::string dollarText(double dollars) {
    std::string fixed = fixedTwoDecimals(std::fabs(dollars));
    std::size_t point = fixed.find('.');
    std::string text = "$" + groupThousands(fixed.substr(0, point)) + fixed.substr(point);
    // A value that rounds to nothing is not shown as a debt.
    bool negative = dollars < 0 && fixed.find_first_not_of("0.") != std::string::npos;
    return negative ? "-" + text : text;
}

std::string rateText(double rate) {
    std::string text = fixedTwoDecimals(rate);
    return text == "-0.00" ? "0.00" : text;
}

RateDecision decideExchangeRate(std::string_view rateBoxText, double currentRate) {
    double rate = LeadingNumber(rateBoxText);
    if (!std::isfinite(rate))
        return {RateDecision::Invalid};
    std::string rounded = rateText(rate);
    double roundedRate = 0;
    std::from_chars(rounded.data(), rounded.data() + rounded.size(), roundedRate);
    // A rate below half a cent would be stored as 0 and price everything at nothing.
    if (roundedRate == 0)
        return {RateDecision::Invalid};
    if (rounded == rateText(currentRate))
        return {RateDecision::Unchanged};
    return {RateDecision::Confirm, roundedRate};
}

} // namespace calculator

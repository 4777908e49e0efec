#include "DollarValue.h"

#include <gtest/gtest.h>

using namespace calculator;

TEST(DollarText, FollowsThePictureWhateverTheLocale) {
    const struct {
        double dollars;
        const char* text;
    } cases[] = {
        {36.65, "$36.65"},
        {0.014868, "$0.01"},
        {0, "$0.00"},
        {-36.65, "-$36.65"},
        {-0.001, "$0.00"},
        {999.999, "$1,000.00"},
        {1234567.891, "$1,234,567.89"},
        {29320000, "$29,320,000.00"},
        {123456789012.5, "$123,456,789,012.50"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(dollarText(c.dollars), c.text) << c.dollars;
}

TEST(DollarValue, PricesTheThreePartsOfAResultLine) {
    EXPECT_EQ(dollarText(*dollarValue("5 Galleons", " 0 Sickles", " 0 Knuts", 7.33)), "$36.65");
    EXPECT_EQ(dollarText(*dollarValue("0 Galleons", " 0 Sickles", " 1 Knuts", 7.33)), "$0.01");
    EXPECT_EQ(dollarText(*dollarValue("5 Galleons", " 0 Sickles", " 0 Knuts", 8)), "$40.00");
    // A pasted line is read by position, whatever its words say.
    EXPECT_EQ(dollarText(*dollarValue("2 knuts", " 3 sickles", " 5 galleons", 7.33)), "$16.03");
    EXPECT_EQ(dollarValue("0", "100000000", "0", 7.33), std::nullopt);
    EXPECT_EQ(dollarValue("1e999", "0", "0", 7.33), std::nullopt);
}

TEST(ExchangeRate, RefusesZeroSkipsTheSameRateAndConfirmsCents) {
    const struct {
        const char* box;
        double current;
        RateDecision::Kind kind;
        double rate;
    } cases[] = {
        {"0", 7.33, RateDecision::Invalid, 0},        {"abc", 7.33, RateDecision::Invalid, 0},
        {"0.001", 7.33, RateDecision::Invalid, 0},    {"7.331", 7.33, RateDecision::Unchanged, 0},
        {"7.336", 7.33, RateDecision::Confirm, 7.34}, {"8", 7.33, RateDecision::Confirm, 8},
        {"-2", 7.33, RateDecision::Confirm, -2},
    };
    for (const auto& c : cases) {
        RateDecision decision = decideExchangeRate(c.box, c.current);
        EXPECT_EQ(decision.kind, c.kind) << c.box;
        if (c.kind == RateDecision::Confirm) {
            EXPECT_EQ(decision.rate, c.rate) << c.box;
        }
    }
    EXPECT_EQ(rateText(7.33), "7.33");
    EXPECT_EQ(rateText(8), "8.00");
}

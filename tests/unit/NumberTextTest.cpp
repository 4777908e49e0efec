#include "NumberText.h"

#include "CoinAmount.h"
#include "DollarValue.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace calculator;

TEST(LeadingNumber, ReadsTheNumberAtTheStartOfAText) {
    const std::string zeros(400, '0');
    const struct {
        std::string text;
        double value;
    } cases[] = {
        {"12 Galleons", 12},
        {" 3 Sickles", 3},
        {"-5", -5},
        {"1 2", 12},
        {"Galleon", 0},
        {"", 0},
        {"2.5", 2.5},
        {"1.2.3", 1.2},
        {"+7", 7},
        {"- 4", -4},
        {".5", 0.5},
        {"5.", 5},
        {"1E3", 1000},
        {"1e-2", 0.01},
        {"2D2", 200},
        {"3E", 3},
        {"3E+", 3},
        {"\t\n9", 9},
        {"&H1F", 31},
        {"&hff", 255},
        {"&O17", 15},
        {"&Q1", 0},
        {"-", 0},
        {".", 0},
        {"7 Galleons, 3", 7},
        {"1e999999", HUGE_VAL},
        {"1e-999999", 0},
        // Beyond a double's range the value's size decides, not its exponent's sign.
        {"1" + zeros + "E-10", HUGE_VAL},
        {"-1" + zeros, -HUGE_VAL},
        {"0." + zeros + "1", 0},
        {"0." + zeros + "1E+500", 1e99},
        {"0.5E99999999999999999999999", HUGE_VAL},
        {"5" + zeros + "E-99999999999999999999999", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LeadingNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(IsPlainNumber, AcceptsOnlyASignedNumberWithSurroundingBlanks) {
    const struct {
        const char* text;
        bool plain;
    } cases[] = {
        {"7", true},
        {"7 ", true},
        {" -12", true},
        {"+3.5", true},
        {"1E5", true},
        {"2.", true},
        {".5", true},
        {"1e-3", true},
        {"", false},
        {"7 Galleons", false},
        {"-", false},
        {".", false},
        {"1e", false},
        {"1 2", false},
        {"1.2.3", false},
        {"abc", false},
        {"0 Galleons, 0 Sickles, 0 Knuts", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isPlainNumber(c.text), c.plain) << '"' << c.text << '"';
}

TEST(KnutRound, RoundsTiesToEvenAndRefusesWhatLeavesTheRange) {
    EXPECT_EQ(knutRound(246.5), 246);
    EXPECT_EQ(knutRound(247.5), 248);
    EXPECT_EQ(knutRound(-0.5), 0);
    EXPECT_EQ(knutRound(-1.5), -2);
    EXPECT_EQ(knutRound(2147483647.0), 2147483647);
    EXPECT_EQ(knutRound(-2147483648.0), INT32_MIN);
    EXPECT_EQ(knutRound(2147483647.6), std::nullopt);
    EXPECT_EQ(knutRound(-2147483649.0), std::nullopt);
    EXPECT_EQ(knutRound(HUGE_VAL), std::nullopt);
    EXPECT_EQ(knutRound(std::nan("")), std::nullopt);
}

TEST(NumberText, WritesPlainDecimalAndShortestDoubles) {
    EXPECT_EQ(numberText(std::int64_t{-1}), "-1");
    EXPECT_EQ(numberText(std::int64_t{493}), "493");
    EXPECT_EQ(numberText(2.5), "2.5");
    EXPECT_EQ(numberText(-3.0), "-3");
    EXPECT_EQ(numberText(125.0), "125");
    EXPECT_EQ(numberText(-0.0), "0");
    EXPECT_EQ(numberText(1e16), "1E+16");
    EXPECT_EQ(numberText(0.1 + 0.2), "0.3");
    EXPECT_EQ(numberText(123456789012345.0), "123456789012345");
}

TEST(SortKnuts, GivesEveryPartTheSignOfTheTotal) {
    const struct {
        std::int32_t total;
        SortedCoins coins;
    } cases[] = {
        {500, {1, 0, 7}},
        {-500, {-1, 0, -7}},
        {493, {1, 0, 0}},
        {28, {0, 0, 28}},
        {29, {0, 1, 0}},
        {1113, {2, 4, 11}},
        {957, {1, 16, 0}},
        {0, {0, 0, 0}},
        {INT32_MIN, {-4355950, -10, -8}},
        {INT32_MAX, {4355950, 10, 7}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sortKnuts(c.total), c.coins) << c.total;
}

TEST(KnutValueOfTexts, TotalsTheThreeCoinsAndRefusesOverflow) {
    EXPECT_EQ(knutValueOfTexts("1", "20", "40"), 1113);
    EXPECT_EQ(knutValueOfTexts("0.5", "0", "0"), 246);
    EXPECT_EQ(knutValueOfTexts("4356002", "0", "0"), std::nullopt);
    EXPECT_EQ(knutValueOfTexts("-4355950", "-10", "-8"), INT32_MIN);
}

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

#include "NumberText.h"

#include "CoinAmount.h"
#include "DollarValue.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace calculator;

TEST(LeadingNumber, ReadsTheNumberAtTheStartOfAText) {
    const std::string zeros(400, '0');
    const std::tuple<std::string, double> cases[] = {
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
    for (const auto& [text, value] : cases)
        EXPECT_EQ(LeadingNumber(text), value) << '"' << text << '"';
}

TEST(IsPlainNumber, AcceptsOnlyASignedNumberWithSurroundingBlanks) {
    for (const char* text : {"7", "7 ", " -12", "+3.5", "1E5", "2.", ".5", "1e-3"})
        EXPECT_TRUE(isPlainNumber(text)) << '"' << text << '"';
    for (const char* text : {"", "7 Galleons", "-", ".", "1e", "1 2", "1.2.3", "abc",
                             "0 Galleons, 0 Sickles, 0 Knuts"})
        EXPECT_FALSE(isPlainNumber(text)) << '"' << text << '"';
}

TEST(KnutRound, RoundsTiesToEvenAndRefusesWhatLeavesTheRange) {
    std::string rounded;
    for (double value : {246.5, 247.5, -0.5, -1.5, 2147483647.0, -2147483648.0, 2147483647.6,
                         -2147483649.0, HUGE_VAL, std::nan("")})
        rounded += (knutRound(value) ? std::to_string(*knutRound(value)) : "none") + " ";
    EXPECT_EQ(rounded, "246 248 0 -2 2147483647 -2147483648 none none none none ");
}

TEST(NumberText, WritesPlainDecimalAndShortestDoubles) {
    std::string written = numberText(std::int64_t{-1});
    for (double value : {2.5, -3.0, 125.0, -0.0, 1e16, 0.1 + 0.2, 123456789012345.0})
        written += " " + numberText(value);
    EXPECT_EQ(written, "-1 2.5 -3 125 0 1E+16 0.3 123456789012345");
}

TEST(SortKnuts, GivesEveryPartTheSignOfTheTotal) {
    std::string sorted;
    for (std::int32_t total : {500, -500, 493, 28, 29, 1113, 957, 0, INT32_MIN, INT32_MAX}) {
        const SortedCoins coins = sortKnuts(total);
        sorted += std::to_string(coins.galleons) + " " + std::to_string(coins.sickles) + " " +
                  std::to_string(coins.knuts) + ", ";
    }
    EXPECT_EQ(sorted, "1 0 7, -1 0 -7, 1 0 0, 0 0 28, 0 1 0, 2 4 11, 1 16 0, 0 0 0, "
                      "-4355950 -10 -8, 4355950 10 7, ");
}

TEST(KnutValueOfTexts, TotalsTheThreeCoinsAndRefusesOverflow) {
    EXPECT_EQ(knutValueOfTexts("1", "20", "40"), 1113);
    EXPECT_EQ(knutValueOfTexts("0.5", "0", "0"), 246);
    EXPECT_EQ(knutValueOfTexts("4356002", "0", "0"), std::nullopt);
    EXPECT_EQ(knutValueOfTexts("-4355950", "-10", "-8"), INT32_MIN);
}

TEST(DollarText, FollowsThePictureWhateverTheLocale) {
    std::string written;
    for (double dollars :
         {36.65, 0.014868, 0.0, -36.65, -0.001, 999.999, 1234567.891, 29320000.0, 123456789012.5})
        written += dollarText(dollars) + " ";
    EXPECT_EQ(written, "$36.65 $0.01 $0.00 -$36.65 $0.00 $1,000.00 $1,234,567.89 $29,320,000.00 "
                       "$123,456,789,012.50 ");
}

TEST(DollarValue, PricesTheThreePartsOfAResultLine) {
    EXPECT_EQ(dollarText(*dollarValue("5 Galleons", " 0 Sickles", " 0 Knuts", 7.33)), "$36.65");
    EXPECT_EQ(dollarText(*dollarValue("0 Galleons", " 0 Sickles", " 1 Knuts", 8)), "$0.02");
    // A pasted line is read by position, whatever its words say.
    EXPECT_EQ(dollarText(*dollarValue("2 knuts", " 3 sickles", " 5 galleons", 7.33)), "$16.03");
    EXPECT_EQ(dollarValue("0", "100000000", "0", 7.33), std::nullopt);
    EXPECT_EQ(dollarValue("1e999", "0", "0", 7.33), std::nullopt);
}

#include "NumberText.h"

#include "CoinAmount.h"
#include "DollarValue.h"

#include <array>
#include <charconv>
#include <cmath>
#include <gtest/gtest.h>

using namespace calculator;

// Each number written the shortest way that reads back exactly.
std::string shortest(double value) {
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

TEST(LeadingNumber, ReadsTheNumberAtTheStartOfAText) {
    // # stands for 400 zeros: beyond a double's range the value's size decides, not its
    // exponent's sign.
    std::string_view texts = "12 Galleons| 3 Sickles|-5|1 2|Galleon||2.5|1.2.3|+7|- 4|.5|5.|1E3|"
                             "1e-2|2D2|3E|3E+|\t\n9|&H1F|&hff|&O17|&Q1|-|.|1e999999|1e-999999|"
                             "1#E-10|-1#|0.#1|0.#1E+500|0.5E99999999999999999999999|"
                             "5#E-99999999999999999999999";
    std::string read;
    for (std::size_t end = 0; end != std::string_view::npos; texts.remove_prefix(end + 1)) {
        end = texts.find('|');
        std::string text(texts.substr(0, end));
        if (const auto at = text.find('#'); at != std::string::npos)
            text.replace(at, 1, std::string(400, '0'));
        read += shortest(LeadingNumber(text)) + " ";
    }
    EXPECT_EQ(read, "12 3 -5 12 0 0 2.5 1.2 7 -4 0.5 5 1000 0.01 200 3 3 9 31 255 15 0 0 0 inf 0 "
                    "inf -inf 0 1e+99 inf 0 ");
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
    std::string totals;
    for (const auto& [g, s, k] : {std::array{"1", "20", "40"},
                                  {"0.5", "0", "0"},
                                  {"4356002", "0", "0"},
                                  {"-4355950", "-10", "-8"}}) {
        const auto total = knutValueOfTexts(g, s, k);
        totals += (total ? std::to_string(*total) : "none") + " ";
    }
    EXPECT_EQ(totals, "1113 246 none -2147483648 ");
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
    EXPECT_EQ(dollarValue("0", "100000000", "0", 7.33), std::nullopt);
    EXPECT_EQ(dollarValue("1e999", "0", "0", 7.33), std::nullopt);
}

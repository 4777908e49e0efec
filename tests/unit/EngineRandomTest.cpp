// Long random key sequences: the engine never crashes and never holds a value
// that wrapped around, judged against the same arithmetic in 64 bits.
#include "CalculatorEngine.h"
#include "EngineKeys.h"
#include "NumberText.h"

#include <gtest/gtest.h>
#include <random>

using namespace calculator;

namespace {

constexpr std::string_view Keys = "0123456789GSK=-+*/CE()~MARZ";

std::optional<std::int64_t> expectedResult(std::int32_t pending, std::int64_t left,
                                           std::int64_t right) {
    switch (pending) {
    case 2:
        return left - right;
    case 3:
        return left + right;
    case 4:
        return left * right;
    case 5:
        return right == 0 ? std::nullopt : std::optional(left / right);
    default:
        return right;
    }
}

bool fits(std::int64_t value) {
    return value >= INT32_MIN && value <= INT32_MAX;
}

void checkOperator(const CalculatorEngine& before, const CalculatorEngine& after, char key) {
    auto entry = knutValueOfTexts(before.box(Coin::Galleons).sorted,
                                  before.box(Coin::Sickles).sorted, before.box(Coin::Knuts).sorted);
    ASSERT_TRUE(entry);
    if (before.pendingOp() == 0 && *entry == 0)
        return;
    auto expected = expectedResult(before.pendingOp(), before.CurrentValue, *entry);
    if (!expected) { // division by zero
        EXPECT_EQ(after.CurrentValue, before.CurrentValue) << key;
    } else if (fits(*expected)) {
        EXPECT_EQ(after.CurrentValue, *expected) << key;
    } else {
        EXPECT_EQ(after.CurrentValue, before.CurrentValue) << key;
        EXPECT_EQ(after.pendingOp(), before.pendingOp()) << key;
        EXPECT_EQ(after.status().message, "Overflow") << key;
    }
}

void checkMemoryAdd(const CalculatorEngine& before, const CalculatorEngine& after) {
    double added = KnutsPerGalleon * LeadingNumber(before.box(Coin::Galleons).text) +
                   before.memoryValue() +
                   KnutsPerSickle * LeadingNumber(before.box(Coin::Sickles).text) +
                   LeadingNumber(before.box(Coin::Knuts).text);
    if (auto expected = knutRound(added))
        EXPECT_EQ(after.memoryValue(), *expected);
    else
        EXPECT_EQ(after.memoryValue(), before.memoryValue());
}

void checkInvariants(const CalculatorEngine& engine) {
    auto sorted =
        knutValueOfTexts(engine.box(Coin::Galleons).sorted, engine.box(Coin::Sickles).sorted,
                         engine.box(Coin::Knuts).sorted);
    ASSERT_TRUE(sorted) << "sorted counts out of range";
    EXPECT_EQ(engine.memoryValue() != 0, engine.status().memory.find('M') != std::string::npos);
    EXPECT_LE(engine.parenthesisDepth(), MaxParenthesisDepth);
}

} // namespace

TEST(EngineRandom, LongKeySequencesNeverWrap) {
    for (unsigned seed = 1; seed <= 60; ++seed) {
        std::mt19937 random(seed);
        std::uniform_int_distribution<std::size_t> pickKey(0, Keys.size() - 1);
        std::uniform_int_distribution<int> pickAction(0, 99);
        std::uniform_int_distribution<std::int64_t> pickNumber(-5'000'000'000, 5'000'000'000);
        CalculatorEngine engine;
        for (int step = 0; step < 1500; ++step) {
            const CalculatorEngine before = engine;
            if (pickAction(random) < 5) {
                // A value pasted or typed straight into a box, now and then a huge one.
                auto coin = AllCoins[static_cast<std::size_t>(pickAction(random) % 3)];
                std::int64_t number = pickNumber(random) >> (pickAction(random) % 40);
                engine.setEnteredText(coin, numberText(number));
                checkInvariants(engine);
                continue;
            }
            const char key = Keys[pickKey(random)];
            press(engine, std::string_view(&key, 1));
            if (std::string_view("=-+*/").find(key) != std::string_view::npos)
                checkOperator(before, engine, key);
            else if (key == 'A')
                checkMemoryAdd(before, engine);
            checkInvariants(engine);
            if (testing::Test::HasFailure()) {
                ADD_FAILURE() << "seed " << seed << " step " << step << " key " << key;
                return;
            }
        }
    }
}

#include "CalculatorEngine.h"

#include "EngineKeys.h"

#include <array>
#include <gtest/gtest.h>
#include <sstream>

using namespace calculator;

namespace {

// The keys of EngineKeys.h; D for a double click on the memory panel; [text] typed or
// pasted into the result line; {K=text} into the knuts box, {K-} {K+} disable and enable it;
// {L=g s k} loads an amount as another window does.
void run(CalculatorEngine& engine, std::string_view keys) {
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const std::size_t end = keys.find(keys[i] == '[' ? ']' : '}', i);
        const std::string inside(keys.substr(i + 1, end - i - 1));
        if (keys[i] == '[') {
            engine.setResultLine(inside);
        } else if (keys[i] == '{' && inside[0] == 'L') {
            std::array<std::string, 3> counts;
            std::istringstream(inside.substr(2)) >> counts[0] >> counts[1] >> counts[2];
            engine.loadAmount(counts);
        } else if (keys[i] == '{') {
            const Coin coin = AllCoins[std::string_view("GSK").find(inside[0])];
            if (inside[1] == '=')
                engine.setEnteredText(coin, inside.substr(2));
            else
                engine.setBoxEnabled(coin, inside[1] == '+');
        } else {
            if (keys[i] == 'D')
                engine.StatusBarMemory_DblClick();
            else
                press(engine, keys.substr(i, 1));
            continue;
        }
        i = end;
    }
}

// The result line | the coin boxes | the status message | the memory panel's marks.
std::string shown(const CalculatorEngine& engine) {
    return engine.resultLine() + " | " + engine.box(Coin::Galleons).text + " " +
           engine.box(Coin::Sickles).text + " " + engine.box(Coin::Knuts).text + " | " +
           engine.status().message + " | " + engine.status().memory;
}

const std::string Rule = "--------------------\r\n", Head = "Galleon\tSickle\tKnut\r\n" + Rule;

class RecordingReceiver : public AmountReceiver {
public:
    bool hidden = true;
    int shows = 0;
    std::string dollarText = "untouched";
    bool isLoaded() const override { return true; }
    bool isHidden() const override { return hidden; }
    void takeAmountDollarText(const std::string& text) override { dollarText = text; }
    void showAgain() override {
        ++shows;
        hidden = false;
    }
};

} // namespace

TEST(CalculatorEngine, KeySequencesLeaveTheDisplayAsAUserExpects) {
    const std::pair<const char*, const char*> cases[] = {
        {"5G*(3K+2K)=", "25 Galleons, 0 Sickles, 0 Knuts | 25 0 0 |  | "},
        {"100K/7=", "0 Galleons, 0 Sickles, 14 Knuts | 0 0 14 | 2 knuts left over | "},
        {"100~K/7=", "0 Galleons, 0 Sickles, -14 Knuts | 0 0 -14 | -2 knuts left over | "},
        {"98K/7=", "0 Galleons, 0 Sickles, 14 Knuts | 0 0 14 |  | "},
        {"1G20S40K", "2 Galleons, 4 Sickles, 11 Knuts | 1 20 40 |  | "},
        {"5+", "5 | 0 0 0 |  | "},      // digits never assigned to a coin are ignored
        {"5G+3K=7", "7 | 0 0 0 |  | "}, // a digit after equals starts afresh
        {"5G+3K=+1G=", "6 Galleons, 0 Sickles, 3 Knuts | 6 0 3 |  | "},
        {"-5G=", "5 Galleons, 0 Sickles, 0 Knuts | 5 0 0 |  | "}, // 0 - nothing pending
        {"7E", "0 | 0 0 0 |  | "},
        {"125E", "12 | 0 0 0 |  | "},
        {"5G+3K=E", "0 Galleons, 0 Sickles, 3 Knuts | 0 0 3 |  | "},
        {"5G+3KE", "0 Galleons, 0 Sickles, 0 Knuts | 0 0 0 |  | "},
        {"5G~", "-5 Galleons, 0 Sickles, 0 Knuts | -5 0 0 |  | "},
        {"5G~~", "5 Galleons, 0 Sickles, 0 Knuts | 5 0 0 |  | "},
        {"12~", "-12 | 0 0 0 |  | "},
        {"12~~", "12 | 0 0 0 |  | "},
        {"100K/0", "0 Galleons, 0 Sickles, 0 Knuts | 0 0 0 |  | "},
        {"100K/0=", "0 Galleons, 0 Sickles, 0 Knuts | 0 0 0 | Division by zero | "},
        {"100K/0=C", "0 Galleons, 0 Sickles, 0 Knuts | 0 0 0 |  | "},
        {"100K/0=5=", "0 Galleons, 0 Sickles, 20 Knuts | 0 0 20 |  | "}, // still pending
        {"1GMC7KAR", "1 Galleons, 0 Sickles, 7 Knuts | 1 0 7 |  | M"},
        {"3K*2=(1K+1K)=", "0 Galleons, 0 Sickles, 2 Knuts | 0 0 2 |  | "},
        {"2G*(3K+(1K+1K))=", "10 Galleons, 0 Sickles, 0 Knuts | 10 0 0 |  | "},
        {"1G+(2KC3K)=", "1 Galleons, 0 Sickles, 3 Knuts | 1 0 3 |  | "},
        // Clear Entry during times and divide takes back a digit of the number.
        {"3G5G*12E=", "5 Galleons, 0 Sickles, 0 Knuts | 5 0 0 |  | "},
        {"3G5G*12EE=", "0 Galleons, 0 Sickles, 0 Knuts | 0 0 0 |  | "},
        {"3G5G*7E=", "0 Galleons, 0 Sickles, 0 Knuts | 0 0 0 |  | "},
        {"1G/12E3=", "0 Galleons, 1 Sickles, 8 Knuts | 0 1 8 | 12 knuts left over | "},
        // An entry too large to sort is refused: the boxes keep what the operator takes.
        {"3G5000000G", "3 Galleons, 0 Sickles, 0 Knuts | 3 0 0 | Overflow | "},
        {"3G5000000G+1G=", "4 Galleons, 0 Sickles, 0 Knuts | 4 0 0 |  | "},
        {"3K5000000G", "0 Galleons, 0 Sickles, 3 Knuts | 0 0 3 | Overflow | "},
        {"3K5000000GE", "0 Galleons, 0 Sickles, 3 Knuts | 0 0 3 | Overflow | "},
        {"5000000G", "0 Galleons, 0 Sickles, 0 Knuts | 0 0 0 | Overflow | "},
        {"3K+5G5000000GE", "0 Galleons, 0 Sickles, 0 Knuts | 0 0 0 | Overflow | "},
        {"1K*3000000000", "608519 Galleons, 4 Sickles, 17 Knuts | 0 0 300000000 | Overflow | "},
        // Memory and open parentheses show as marks; C keeps the parentheses open.
        {"1GMC7KACM", "0 Galleons, 0 Sickles, 0 Knuts | 0 0 0 |  | "},
        {"3KMM(", "0 Galleons, 0 Sickles, 0 Knuts | 0 0 0 |  | MP"},
        {"3KMM(DR", "0 Galleons, 0 Sickles, 0 Knuts | 0 0 0 |  | P"},
        {"3KMM(D4KM", "0 Galleons, 0 Sickles, 4 Knuts | 0 0 4 |  | PM"},
        {"3KMM(D4KMZR", "0 Galleons, 0 Sickles, 0 Knuts | 0 0 0 |  | "},
        {"((C", "0 Galleons, 0 Sickles, 0 Knuts | 0 0 0 |  | "},
        {"((C)", "0 Galleons, 0 Sickles, 0 Knuts | 0 0 0 |  | P"},
        {"((C))", "0 Galleons, 0 Sickles, 0 Knuts | 0 0 0 |  | "},
        // A parenthesis whose value fails stays open.
        {"5G+(1K/0)", "0 Galleons, 0 Sickles, 0 Knuts | 0 0 0 | Division by zero | P"},
        {"1G+(2K=)=", "1 Galleons, 0 Sickles, 2 Knuts | 1 0 2 |  | "},
        // The boxes sort what is typed into them, yet keep it until the system shows the counts.
        {"{K=500}", "1 Galleons, 0 Sickles, 7 Knuts | 0 0 500 |  | "},
        {"{K=-500}", "-1 Galleons, 0 Sickles, -7 Knuts | 0 0 -500 |  | "},
        {"{G=0.5}", "0 Galleons, 8 Sickles, 14 Knuts | 0.5 0 0 |  | "},
        {"{K=1.5}", "0 Galleons, 0 Sickles, 2 Knuts | 0 0 1.5 |  | "},
        {"{K=2.5}", "0 Galleons, 0 Sickles, 2 Knuts | 0 0 2.5 |  | "},
        {"{G=2}{S=-1}", "1 Galleons, 16 Sickles, 0 Knuts | 2 -1 0 |  | "},
        // A disabled box does not sort.
        {"{K-}{K=500}", "0 Galleons, 0 Sickles, 0 Knuts | 0 0 500 |  | "},
        {"{K-}{K=500}{K+}{K=501}", "1 Galleons, 0 Sickles, 8 Knuts | 0 0 501 |  | "},
        {"{S=-3}1", "-1 | 0 -3 0 |  | "}, // numbers typed for a negative entry are negative
        // A loaded amount is taken once, however its counts were sorted.
        {"{L=0 0 40}-5K=", "0 Galleons, 1 Sickles, 6 Knuts | 0 1 6 |  | "},
        // Coin buttons take their coin from the result line, and refresh it.
        {"[5 Galleons, 3 Sickles, 2 Knuts]G", "5 Galleons, 0 Sickles, 0 Knuts | 5 0 0 |  | "},
        {"[5 Galleons, 3 Sickles, 2 Knuts]S", "0 Galleons, 3 Sickles, 0 Knuts | 0 3 0 |  | "},
        {"[5 Galleons, 3 Sickles, 2 Knuts]K", "0 Galleons, 0 Sickles, 2 Knuts | 0 0 2 |  | "},
        {"5G[5 galleon]", "5  Galleons, 0 Sickles, 0 Knuts | 5 0 0 |  | "},
        {"5G[5 galleon]G", "5 Galleons, 0 Sickles, 0 Knuts | 5 0 0 |  | "},
        {"[2 knuts, 3 sickles, 5 galleon]G", "5 Galleons, 0 Sickles, 0 Knuts | 5 0 0 |  | "},
    };
    for (const auto& [keys, expected] : cases) {
        CalculatorEngine engine;
        run(engine, keys);
        EXPECT_EQ(shown(engine), expected) << keys;
    }
}

// After an operator the window puts the caret at the tape's end (marked ^ here); after any
// other key that writes the tape it selects the tape whole. The operator panel follows the |.
TEST(CalculatorEngine, TapeReadsLikeATillRoll) {
    const std::string sum = Head + "  5\t0\t0\r\n+ 0\t0\t3\r\n+=5\t0\t3\r\n" + Rule;
    const std::string byZero = "0\t0\t0\r\n**Division by zero**\r\n";
    const std::pair<const char*, std::string> cases[] = {
        {"5G+3K=", sum + "^|="},
        {"5G+3K==", sum + Head + "  5\t0\t3\r\n =5\t0\t3\r\n" + Rule + "^|="},
        {"100K/0==", Head + "  0\t3\t13\r\n" + byZero + byZero + "|="},
        {"5G*(3K+2K)", Head + "  5\t0\t0\r\n###Start Parenthesis\r\n" + Head +
                           "  0\t0\t3\r\n+ 0\t0\t2\r\n+=0\t0\t5\r\n" + Rule +
                           "#####End Parenthesis\r\n|*"},
        {"5G+3K=C", "|"}};
    for (const auto& [keys, tape] : cases) {
        CalculatorEngine engine;
        press(engine, keys);
        EXPECT_EQ(engine.tape() + (engine.tapeCaretAtEnd() ? "^|" : "|") + engine.status().op, tape)
            << keys;
    }
}

TEST(CalculatorEngine, ResultLineIsReadBack) {
    // The pasted line | what the result line shows | its dollar value (none while typing).
    for (const char* row :
         {"2 knuts, 3 sickles, 5 galleons | 2 knuts, 3 sickles, 5 galleons | $16.03",
          "7 galleons | 7  Galleons, 0 Sickles, 0 Knuts | $51.31",
          "3 sickles 5 knuts | 0 Galleons, 3  Sickles, 0 Knuts | $1.29",
          "abc | 0 Galleons, 0 Sickles, 0 Knuts | $0.00", "42 | 42 | "}) {
        const std::string_view pasted(row, std::string_view(row).find(" | "));
        CalculatorEngine engine;
        engine.setResultLine(std::string(pasted));
        EXPECT_EQ(std::string(pasted) + " | " + engine.resultLine() + " | " +
                      engine.status().dollar,
                  row);
        EXPECT_EQ(engine.box(Coin::Galleons).text, "0") << row;
    }
}

TEST(CalculatorEngine, ParenthesesChainHoldBackEqualsAndAreLimited) {
    CalculatorEngine engine;
    press(engine, "((");
    EXPECT_EQ(engine.status().parenthesisChain + (engine.equalsEnabled() ? " =" : ""), "++");
    press(engine, "C))");
    EXPECT_TRUE(engine.equalsEnabled() && !engine.CloseParenthesis()) << "nothing left to close";
    for (std::size_t level = 0; level < MaxParenthesisDepth + 1; ++level)
        press(engine, "(");
    EXPECT_EQ(engine.parenthesisDepth(), MaxParenthesisDepth);
    EXPECT_EQ(engine.status().message, "Too many parentheses");
}

TEST(CalculatorEngine, OverflowIsRefusedAndLeavesEverythingAsItWas) {
    // The last key is the one refused; the running result and operator it leaves.
    const std::tuple<const char*, std::int32_t, std::int32_t> cases[] = {
        {"4000000G*2=", 1972000000, 4},
        {"4000000G+4000000G=", 1972000000, 3},
        {"4000000G~-4000000G=", -1972000000, 2},
        {"4355950G~10S8K/1~=", INT32_MIN, 5},
        {"2000000000K+200000000K=", 2000000000, 3},
        {"4000000GMA", 0, 0}};
    // The operator, entry and memory, which the refused key must not touch.
    const auto kept = [](const CalculatorEngine& engine) {
        return engine.status().op + "|" + engine.box(Coin::Galleons).text + "|" +
               engine.box(Coin::Sickles).text + "|" + engine.box(Coin::Knuts).text + "|" +
               std::to_string(engine.memoryValue()) + "|";
    };
    for (const auto& [keys, current, pending] : cases) {
        CalculatorEngine engine;
        const std::string_view refused(keys);
        press(engine, refused.substr(0, refused.size() - 1));
        const std::string before = kept(engine) + engine.tape() + "**Overflow**\r\n";
        press(engine, refused.substr(refused.size() - 1));
        EXPECT_EQ(kept(engine) + engine.tape(), before) << keys;
        EXPECT_EQ(engine.status().message + " " + std::to_string(engine.CurrentValue) + " " +
                      std::to_string(engine.pendingOp()),
                  "Overflow " + std::to_string(current) + " " + std::to_string(pending))
            << keys;
    }
}

TEST(CalculatorEngine, EqualsHandsTheAmountToAWaitingWindow) {
    // The keys, then the dollar text handed over and how often the window was shown again.
    const std::pair<const char*, const char*> cases[] = {
        {"C5G=", "$36.65 1"},     // the dollar value of the entry just typed
        {"C(5G=", "untouched 0"}, // not inside a parenthesis
        {"C1K=C=", "$0.00 1"},    // a zero entry with nothing pending stops early
        {"C5G+", "untouched 0"},  // only equals hands over
    };
    for (const auto& [keys, handed] : cases) {
        CalculatorEngine engine;
        RecordingReceiver receiver;
        engine.setAmountReceiver(&receiver);
        press(engine, keys);
        EXPECT_EQ(receiver.dollarText + " " + std::to_string(receiver.shows), handed) << keys;
    }
}

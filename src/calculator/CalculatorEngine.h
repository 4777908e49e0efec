#pragma once

#include "AmountReceiver.h"
#include "CoinAmount.h"
#include "DollarValue.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The coin calculator without its widgets: the state of the controls it works
// on (coin boxes, result line, tape, status panels, enabled buttons) and every
// operation of its keys, with the change rules that writes to those controls
// set off. The main window shows this state and forwards input to it.
namespace calculator {

// One coin entry box: what it shows, what the last sort made of it, and
// whether a write to it runs its change rule.
struct CoinBox {
    std::string text = "0";
    std::string sorted = "0";
    bool enabled = true;
};

struct StatusPanels {
    std::string dollar;           // panel 1
    std::string op;               // panel 2, key "OP"
    std::string memory;           // panel 3, key "MEM": "M" and "P" marks
    std::string parenthesisChain; // panel 3's tag: one operator per open level
    std::string message;          // panel 4
};

enum class OperatorOutcome { Applied, NothingToDo, Refused };

inline constexpr std::string_view OperatorSymbols = "=-+*/";
inline constexpr int EqualsIndex = 0;
inline constexpr std::size_t MaxParenthesisDepth = 64;

class CalculatorEngine {
public:
    CalculatorEngine();

    // Members that the other windows read and set.
    std::int32_t CurrentValue = 0;
    std::int32_t LastValue = 0;
    double ExchngeRate = StartExchangeRate;

    // Writes into the controls, as the user or another window makes them. A
    // write that changes an enabled box's text runs its change rule; a write
    // that changes the result line runs TextResults_Change. A box write whose
    // total cannot be sorted is refused and returns false: the box keeps its
    // text, the result line shows the sorted amount and the message panel
    // "Overflow".
    bool setEnteredText(Coin coin, const std::string& text);
    // An amount given as counts per coin (Galleons first), as another window
    // loads a balance: the counts are both typed and taken as sorted.
    void loadAmount(const std::array<std::string, 3>& counts);
    void setBoxEnabled(Coin coin, bool enabled);
    void setResultLine(const std::string& text);

    // Keys and buttons.
    void cmdNumericKey_Click(int index);
    void cmdNumericKeySign_Click();
    OperatorOutcome cmdKeyOP_Click(int index);
    void CommandClear_Click();
    void CommandClearE_Click();
    void CommandGalleons_Click();
    void CommandSickles_Click();
    void CommandKnuts_Click();
    void OpenParenthesis();
    bool CloseParenthesis(); // false when no parenthesis is open: the key goes on
    void cmdMemoryStore_Click();
    void cmdMemoryAdd_Click();
    void cmdMemoryRecal_Click();
    void MemoryClear();
    void StatusBarMemory_DblClick();

    void TextResults_Change();
    bool AutoSortCoins();
    void ShowSortedCoins();

    void setAmountReceiver(AmountReceiver* receiver) { receiver_ = receiver; }

    // What the window shows.
    const CoinBox& box(Coin coin) const { return boxes_[index(coin)]; }
    const std::string& resultLine() const { return resultLine_; }
    const std::string& tape() const { return tape_; }
    const std::string& savedTape() const { return savedTape_; }
    bool tapeCaretAtEnd() const { return tapeCaretAtEnd_; }
    // How much of the tape's start no write has touched since the last call: a
    // view of a long tape then compares only what follows.
    std::size_t takeTapeUnchanged() { return std::exchange(tapeUnchanged_, tape_.size()); }
    const StatusPanels& status() const { return status_; }
    bool coinButtonsEnabled() const { return coinButtonsEnabled_; }
    bool equalsEnabled() const { return equalsEnabled_; }

    std::int32_t pendingOp() const { return PendingOp; }
    std::int32_t memoryValue() const { return MemoryValue; }
    std::size_t parenthesisDepth() const { return ParenStack.size() - 1; }
    std::optional<Coin> lastCoinBox() const { return LastCoinBox; }
    const std::string& lastCoinText() const { return LastCoinText; }

private:
    static std::size_t index(Coin coin) { return static_cast<std::size_t>(coin); }
    CoinBox& boxOf(Coin coin) { return boxes_[index(coin)]; }
    void setSortedCount(Coin coin, const std::string& count);

    bool coinBoxChange(Coin coin);
    bool enterAndSort(Coin coin, const std::string& text);
    void coinButton(Coin coin);
    bool timesOrDivide() const { return PendingOp == 4 || PendingOp == 5; }
    std::optional<std::int32_t> sortedKnutValue() const;
    std::optional<std::int32_t> enteredKnutValue() const;
    // The running result with the pending operator applied to the entry;
    // nothing when it leaves the 32-bit range.
    std::optional<std::int32_t> pendingResult(std::int32_t cur) const;
    std::string sortedAmountText() const;
    void takeEntryOntoTape();
    void zeroEntry();
    void showEqualsResult(std::string& mark);
    void insertMark(const std::string& mark);
    void appendTape(const std::string& text);
    void setTape(const std::string& text);
    void refuseOverflow();
    void updateMemoryIndicator();
    void handOverDollarText(int index);
    void handOverShow(int index);
    bool handOverApplies(int index) const;

    std::int32_t PendingOp = 0;
    std::int32_t MemoryValue = 0;
    std::vector<std::int32_t> ParenStack;
    std::optional<Coin> LastCoinBox;
    std::string LastCoinText = "0";

    std::array<CoinBox, 3> boxes_;
    std::string resultLine_{ZeroAmountText};
    std::string tape_;
    std::string savedTape_;
    bool tapeCaretAtEnd_ = false;
    std::size_t tapeUnchanged_ = 0;
    StatusPanels status_;
    bool coinButtonsEnabled_ = true;
    bool equalsEnabled_ = true;
    AmountReceiver* receiver_ = nullptr;
};

} // namespace calculator

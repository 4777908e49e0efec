#include "CalculatorEngine.h"

#include "NumberText.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <utility>

namespace calculator {
namespace {

constexpr std::string_view CrLf = "\r\n";
constexpr std::string_view Rule = "--------------------\r\n";
constexpr std::string_view BlockHeading = "Galleon\tSickle\tKnut\r\n";
constexpr std::string_view OverflowMessage = "Overflow";

struct CoinWords {
    std::string_view plural;
    std::string_view singular;
};
constexpr CoinWords WordsOf[] = {{"galleons", "galleon"}, {"sickles", "sickle"}, {"knuts", "knut"}};
constexpr std::string_view ResultWords[] = {" Galleons", " Sickles", " Knuts"};

void removeAll(std::string& text, char c) {
    std::erase(text, c);
}
bool has(std::string_view text, char c) {
    return text.find(c) != std::string_view::npos;
}

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> pieces;
    for (std::size_t start = 0;;) {
        std::size_t end = text.find(separator, start);
        pieces.push_back(text.substr(start, end - start));
        if (end == std::string_view::npos)
            return pieces;
        start = end + 1;
    }
}

// The text before the first occurrence of a word, or the whole text.
std::string_view beforeWord(std::string_view text, std::string_view word) {
    return text.substr(0, findNoCase(text, word));
}

// Clear Entry on a number being typed.
std::string withoutLastCharacter(const std::string& text) {
    return text.size() < 2 ? std::string("0") : text.substr(0, text.size() - 1);
}

std::optional<std::int32_t> inRange(std::int64_t value) {
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

} // namespace

CalculatorEngine::CalculatorEngine() : ParenStack(1, 0) {}

// ---- writes into the controls ----

bool CalculatorEngine::setEnteredText(Coin coin, const std::string& text) {
    CoinBox& box = boxOf(coin);
    if (box.text == text)
        return true;
    std::string before = std::exchange(box.text, text);
    if (coinBoxChange(coin))
        return true;
    // Refused: the boxes and the result line go on showing what the next operator takes.
    box.text = std::move(before);
    setResultLine(sortedAmountText());
    return false;
}

void CalculatorEngine::setSortedCount(Coin coin, const std::string& count) {
    boxOf(coin).sorted = count;
}

void CalculatorEngine::loadAmount(const std::array<std::string, 3>& counts) {
    // Each count stands until the boxes sort the whole amount: set after the
    // sort, a count of 29 Knuts or more would be taken again beside the
    // Sickles it was sorted into.
    for (Coin coin : AllCoins) {
        setSortedCount(coin, counts[index(coin)]);
        setEnteredText(coin, counts[index(coin)]);
    }
}

void CalculatorEngine::setBoxEnabled(Coin coin, bool enabled) {
    boxOf(coin).enabled = enabled;
}

void CalculatorEngine::setResultLine(const std::string& text) {
    if (resultLine_ == text)
        return;
    resultLine_ = text;
    TextResults_Change();
}

// ---- coin amounts ----

bool CalculatorEngine::coinBoxChange(Coin coin) {
    if (!box(coin).enabled)
        return true;
    if (!AutoSortCoins())
        return false;
    setResultLine(sortedAmountText());
    return true;
}

// A write that sorts and shows even when the text stays the same.
bool CalculatorEngine::enterAndSort(Coin coin, const std::string& text) {
    return box(coin).text == text ? coinBoxChange(coin) : setEnteredText(coin, text);
}

bool CalculatorEngine::AutoSortCoins() {
    auto total = enteredKnutValue();
    if (!total) {
        status_.message = OverflowMessage;
        return false;
    }
    SortedCoins coins = sortKnuts(*total);
    boxOf(Coin::Galleons).sorted = numberText(std::int64_t{coins.galleons});
    boxOf(Coin::Sickles).sorted = numberText(std::int64_t{coins.sickles});
    boxOf(Coin::Knuts).sorted = numberText(std::int64_t{coins.knuts});
    return true;
}

void CalculatorEngine::ShowSortedCoins() {
    for (Coin coin : AllCoins)
        boxOf(coin).enabled = false;
    for (Coin coin : AllCoins)
        boxOf(coin).text = boxOf(coin).sorted;
    for (Coin coin : AllCoins)
        boxOf(coin).enabled = true;
}

std::optional<std::int32_t> CalculatorEngine::sortedKnutValue() const {
    return knutValueOfTexts(box(Coin::Galleons).sorted, box(Coin::Sickles).sorted,
                            box(Coin::Knuts).sorted);
}

std::optional<std::int32_t> CalculatorEngine::enteredKnutValue() const {
    return knutValueOfTexts(box(Coin::Galleons).text, box(Coin::Sickles).text,
                            box(Coin::Knuts).text);
}

std::string CalculatorEngine::sortedAmountText() const {
    return amountText(box(Coin::Galleons).sorted, box(Coin::Sickles).sorted,
                      box(Coin::Knuts).sorted);
}

void CalculatorEngine::CommandGalleons_Click() {
    coinButton(Coin::Galleons);
}
void CalculatorEngine::CommandSickles_Click() {
    coinButton(Coin::Sickles);
}
void CalculatorEngine::CommandKnuts_Click() {
    coinButton(Coin::Knuts);
}

void CalculatorEngine::coinButton(Coin coin) {
    // The Knuts button stays usable while times and divide take their number.
    if (coin != Coin::Knuts && !coinButtonsEnabled_)
        return;
    const CoinWords& words = WordsOf[index(coin)];
    std::vector<std::string_view> pieces = split(resultLine_, ',');
    auto kept = std::find_if(pieces.begin(), pieces.end(), [&](std::string_view piece) {
        return containsNoCase(piece, words.plural);
    });
    if (kept == pieces.end())
        kept = std::find_if(pieces.begin(), pieces.end(), [&](std::string_view piece) {
            return containsNoCase(piece, words.singular);
        });
    double number = LeadingNumber(kept != pieces.end() ? *kept : std::string_view(resultLine_));
    if (!std::isfinite(number)) {
        status_.message = OverflowMessage;
        return;
    }

    const std::string before = box(coin).text;
    if (!enterAndSort(coin, numberText(number)))
        return; // refused: Clear Entry still undoes the last coin that was taken
    LastCoinBox = coin;
    LastCoinText = before;
    if (auto value = enteredKnutValue())
        LastValue = *value;
}

void CalculatorEngine::TextResults_Change() {
    const std::string line = resultLine_;
    if (line.empty())
        return;
    if (isPlainNumber(line)) {
        bool negativeEntry = std::any_of(std::begin(AllCoins), std::end(AllCoins),
                                         [&](Coin c) { return box(c).text.starts_with('-'); });
        if (!line.starts_with('-') && negativeEntry)
            setResultLine("-" + line);
        return;
    }

    std::vector<std::string_view> pieces = split(line, ',');
    bool wellFormed = pieces.size() == 3 && containsNoCase(line, "galleon") &&
                      containsNoCase(line, "sickle") && containsNoCase(line, "knut");
    if (!wellFormed) {
        // Keep only a number written before each coin's word, then read that.
        std::string rewritten;
        for (Coin coin : AllCoins) {
            std::string_view part = beforeWord(line, WordsOf[index(coin)].singular);
            if (!rewritten.empty())
                rewritten += ", ";
            rewritten += isPlainNumber(part) ? std::string(part) : "0";
            rewritten += ResultWords[index(coin)];
        }
        setResultLine(rewritten);
        return;
    }

    if (auto dollars = dollarValue(pieces[0], pieces[1], pieces[2], ExchngeRate))
        status_.dollar = dollarText(*dollars);
    else
        status_.message = OverflowMessage;
}

// ---- digit, sign and clear keys ----

void CalculatorEngine::cmdNumericKey_Click(int index) {
    const char digit = "1234567890"[index];
    if (PendingOp == 0 && !status_.op.empty() && !has(status_.memory, 'P'))
        CommandClear_Click();
    if (has(resultLine_, ','))
        setResultLine("");
    setResultLine(resultLine_ + digit);
    if (timesOrDivide()) {
        // Times and divide take a plain number, typed straight into the Knuts box.
        if (box(Coin::Knuts).text == "0")
            setEnteredText(Coin::Knuts, "");
        if (!setEnteredText(Coin::Knuts, box(Coin::Knuts).text + digit))
            return; // the refusal stays in the message panel
    }
    status_.message.clear();
}

void CalculatorEngine::cmdNumericKeySign_Click() {
    bool negative = has(resultLine_, '-');
    std::string line = resultLine_;
    if (negative)
        removeAll(line, '-');
    else
        line.insert(0, "-");
    setResultLine(line);
    if (!containsNoCase(resultLine_, "galleon"))
        return;
    for (Coin coin : AllCoins) {
        double value = LeadingNumber(box(coin).text);
        setEnteredText(coin, numberText(negative ? std::fabs(value) : -value));
    }
}

void CalculatorEngine::CommandClear_Click() {
    for (Coin coin : {Coin::Galleons, Coin::Sickles}) {
        CoinBox& box = boxOf(coin);
        box.enabled = false;
        box.text = "0";
        box.sorted = "0";
    }
    boxOf(Coin::Knuts).sorted = "0";
    setEnteredText(Coin::Knuts, "0");
    CurrentValue = 0;
    PendingOp = 0;
    coinButtonsEnabled_ = true;
    LastValue = 0;
    status_.op.clear();
    removeAll(status_.memory, 'P');
    boxOf(Coin::Galleons).enabled = true;
    boxOf(Coin::Sickles).enabled = true;
    setResultLine(std::string(ZeroAmountText));
    setTape("");
    status_.message.clear();
}

void CalculatorEngine::CommandClearE_Click() {
    if (isPlainNumber(resultLine_)) {
        setResultLine(withoutLastCharacter(resultLine_));
    } else if (timesOrDivide()) {
        // The number being typed lives in the Knuts box; the line shows it as an amount.
        setEnteredText(Coin::Knuts, withoutLastCharacter(box(Coin::Knuts).text));
        setResultLine(sortedAmountText());
    } else if (PendingOp == 0) {
        boxOf(Coin::Galleons).sorted = numberText(std::int64_t{LastValue / KnutsPerGalleon});
        boxOf(Coin::Sickles).sorted =
            numberText(std::int64_t{LastValue % KnutsPerGalleon / KnutsPerSickle});
        boxOf(Coin::Knuts).sorted = numberText(std::int64_t{LastValue % KnutsPerSickle});
        ShowSortedCoins();
        setResultLine(sortedAmountText());
    } else {
        if (LastCoinBox)
            setEnteredText(*LastCoinBox, LastCoinText);
        setResultLine(sortedAmountText());
    }
}

// ---- operators ----

OperatorOutcome CalculatorEngine::cmdKeyOP_Click(int index) {
    const std::string shownOp = status_.op;
    status_.op = std::string(1, OperatorSymbols[static_cast<std::size_t>(index)]);
    handOverDollarText(index);

    // A refusal is decided before anything is written, so that it leaves the
    // entry, the tape and the running result as they were.
    const auto entry = sortedKnutValue();
    if (entry && PendingOp == 5 && *entry == 0) {
        takeEntryOntoTape();
        status_.message = "Division by zero";
        appendTape("**Division by zero**\r\n");
        return OperatorOutcome::Refused;
    }
    const auto result = entry ? pendingResult(*entry) : std::nullopt;
    if (!result) {
        status_.op = shownOp;
        refuseOverflow();
        return OperatorOutcome::Refused;
    }
    const std::int32_t cur = *entry;
    if (PendingOp == 0 && cur == 0)
        return OperatorOutcome::NothingToDo;
    takeEntryOntoTape();
    if (PendingOp == 5) {
        const std::int64_t remainder = CurrentValue - std::int64_t{*result} * cur;
        status_.message = remainder != 0 ? numberText(remainder) + " knuts left over" : "";
    }

    std::string mark = "  ";
    if (PendingOp >= 2 && PendingOp <= 5)
        mark[0] = OperatorSymbols[static_cast<std::size_t>(PendingOp - 1)];
    CurrentValue = *result;
    insertMark(mark);
    PendingOp = index + 1;
    if (index == EqualsIndex)
        showEqualsResult(mark);
    tapeCaretAtEnd_ = true;
    coinButtonsEnabled_ = !timesOrDivide();
    handOverShow(index);
    return OperatorOutcome::Applied;
}

std::optional<std::int32_t> CalculatorEngine::pendingResult(std::int32_t cur) const {
    const std::int64_t left = CurrentValue;
    switch (PendingOp) {
    case 2:
        return inRange(left - cur);
    case 3:
        return inRange(left + cur);
    case 4:
        return inRange(left * cur);
    case 5:
        return inRange(left / cur);
    default:
        return cur;
    }
}

void CalculatorEngine::takeEntryOntoTape() {
    if (PendingOp == 0)
        appendTape(std::string(BlockHeading) + std::string(Rule));
    appendTape(box(Coin::Galleons).sorted + "\t" + box(Coin::Sickles).sorted + "\t" +
               box(Coin::Knuts).sorted + std::string(CrLf));
    zeroEntry();
}

void CalculatorEngine::zeroEntry() {
    for (Coin coin : AllCoins) {
        CoinBox& box = boxOf(coin);
        box.enabled = false;
        box.text = "0";
        box.sorted = "0";
    }
    for (Coin coin : AllCoins)
        boxOf(coin).enabled = true;
}

void CalculatorEngine::showEqualsResult(std::string& mark) {
    const std::string result = numberText(std::int64_t{CurrentValue});
    setSortedCount(Coin::Knuts, result);
    enterAndSort(Coin::Knuts, result);
    AutoSortCoins();
    ShowSortedCoins();
    mark[1] = '=';
    appendTape(mark + box(Coin::Galleons).text + "\t" + box(Coin::Sickles).text + "\t" +
               box(Coin::Knuts).text + std::string(CrLf) + std::string(Rule));
    PendingOp = 0;
}

void CalculatorEngine::insertMark(const std::string& mark) {
    std::string_view searched(tape_.data(), tape_.empty() ? 0 : tape_.size() - 1);
    std::size_t lineBreak = searched.rfind(CrLf);
    std::size_t at = lineBreak == std::string_view::npos ? std::min<std::size_t>(1, tape_.size())
                                                         : lineBreak + CrLf.size();
    tapeUnchanged_ = std::min(tapeUnchanged_, at);
    tape_.insert(at, mark);
}

void CalculatorEngine::appendTape(const std::string& text) {
    tapeUnchanged_ = std::min(tapeUnchanged_, tape_.size());
    tape_ += text;
    tapeCaretAtEnd_ = false;
}

void CalculatorEngine::setTape(const std::string& text) {
    tapeUnchanged_ = 0;
    tape_ = text;
    tapeCaretAtEnd_ = false;
}

void CalculatorEngine::refuseOverflow() {
    status_.message = OverflowMessage;
    appendTape("**Overflow**\r\n");
}

// ---- parentheses ----

void CalculatorEngine::OpenParenthesis() {
    if (parenthesisDepth() >= MaxParenthesisDepth) {
        status_.message = "Too many parentheses";
        return;
    }
    if (status_.op.empty() || status_.op == "=") {
        // A calculation that begins with a parenthesis reads as 0 + ( ... ).
        CommandClear_Click();
        status_.op = "+";
        PendingOp = 3;
    }
    if (!has(status_.memory, 'P'))
        status_.memory += 'P';
    ParenStack.push_back(CurrentValue);
    status_.parenthesisChain += status_.op;
    PendingOp = 0;
    CurrentValue = 0;
    appendTape("###Start Parenthesis\r\n");
    savedTape_ = tape_;
    equalsEnabled_ = false;
}

bool CalculatorEngine::CloseParenthesis() {
    if (status_.parenthesisChain.empty())
        return false;
    // A refused inner result leaves the level open rather than closing it on
    // a value that was never computed.
    if (cmdKeyOP_Click(EqualsIndex) == OperatorOutcome::Refused)
        return true;
    appendTape("#####End Parenthesis\r\n");
    if (tape_.starts_with(savedTape_))
        savedTape_ = tape_;
    else
        savedTape_ += tape_;
    const std::int32_t inner = CurrentValue;
    CommandClear_Click();
    setTape(savedTape_);
    CurrentValue = ParenStack.back();
    setEnteredText(Coin::Knuts, numberText(std::int64_t{inner}));
    ShowSortedCoins();

    const char outer = status_.parenthesisChain.back();
    PendingOp = static_cast<std::int32_t>(OperatorSymbols.find(outer)) + 1;
    status_.op = std::string(1, outer);
    status_.parenthesisChain.pop_back();
    ParenStack.pop_back();
    equalsEnabled_ = true;
    if (status_.parenthesisChain.empty())
        removeAll(status_.memory, 'P');
    else if (!has(status_.memory, 'P'))
        status_.memory += 'P';
    return true;
}

// ---- memory ----

void CalculatorEngine::cmdMemoryStore_Click() {
    auto value = enteredKnutValue();
    if (!value) {
        refuseOverflow();
        return;
    }
    MemoryValue = *value;
    updateMemoryIndicator();
}

void CalculatorEngine::cmdMemoryAdd_Click() {
    auto value = knutRound(KnutsPerGalleon * LeadingNumber(box(Coin::Galleons).text) + MemoryValue +
                           KnutsPerSickle * LeadingNumber(box(Coin::Sickles).text) +
                           LeadingNumber(box(Coin::Knuts).text));
    if (!value) {
        refuseOverflow();
        return;
    }
    MemoryValue = *value;
    updateMemoryIndicator();
}

void CalculatorEngine::cmdMemoryRecal_Click() {
    for (Coin coin : {Coin::Galleons, Coin::Sickles}) {
        setSortedCount(coin, "0");
        setEnteredText(coin, "0");
    }
    const std::string memory = numberText(std::int64_t{MemoryValue});
    setSortedCount(Coin::Knuts, memory);
    // The trailing blank makes the text differ from any earlier write, so the
    // Knuts box always sorts and shows the recalled value.
    setEnteredText(Coin::Knuts, memory + " ");
    AutoSortCoins();
    ShowSortedCoins();
}

void CalculatorEngine::MemoryClear() {
    MemoryValue = 0;
    status_.memory.clear();
}

void CalculatorEngine::StatusBarMemory_DblClick() {
    if (!has(status_.memory, 'M'))
        return;
    MemoryValue = 0;
    removeAll(status_.memory, 'M');
}

void CalculatorEngine::updateMemoryIndicator() {
    if (MemoryValue != 0 && !has(status_.memory, 'M'))
        status_.memory += 'M';
    if (MemoryValue == 0)
        removeAll(status_.memory, 'M');
}

// ---- hand-over to a window waiting for an amount ----

bool CalculatorEngine::handOverApplies(int index) const {
    return receiver_ && receiver_->isLoaded() && index == EqualsIndex && !has(status_.memory, 'P');
}

void CalculatorEngine::handOverDollarText(int index) {
    if (handOverApplies(index))
        receiver_->takeAmountDollarText(status_.dollar);
}

void CalculatorEngine::handOverShow(int index) {
    if (handOverApplies(index) && receiver_->isHidden())
        receiver_->showAgain();
}

} // namespace calculator

#pragma once

#include "AccountPost.h"
#include "AmountReceiver.h"

#include <QString>

namespace bank {

// The calculator as a transaction drives it: a balance is loaded into its coin
// boxes, an operator pressed, the user types the amount, and the result, the
// tape and the dollar value are read back.
class TransactionCalculator {
public:
    virtual ~TransactionCalculator() = default;

    virtual void CommandClear_Click() = 0;
    virtual void cmdKeyOP_Click(int Index) = 0;
    // Each coin box's entered text and sorted count.
    virtual void loadEntry(const CoinTexts& coins) = 0;
    // The coin boxes' entered texts.
    virtual CoinTexts entry() const = 0;
    virtual void setClearAndSignEnabled(bool enabled) = 0;
    virtual QString operandTape() const = 0;
    virtual QString dollarPanel() const = 0;
    virtual void takeFocus() = 0;
    virtual void setAmountReceiver(calculator::AmountReceiver* receiver) = 0;
};

} // namespace bank

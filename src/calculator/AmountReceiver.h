#pragma once

#include <string>

namespace calculator {

// A window that waits for the user to type an amount on the calculator. While
// one is loaded, equals hands it the entry's dollar text and shows it again.
class AmountReceiver {
public:
    virtual ~AmountReceiver() = default;
    virtual bool isLoaded() const = 0;
    virtual bool isHidden() const = 0;
    virtual void takeAmountDollarText(const std::string& dollarText) = 0;
    virtual void showAgain() = 0;
};

} // namespace calculator

#pragma once

#include "AccountManager.h"
#include "TransactionRecord.h"

class QWidget;
class WebBrowser;

namespace bank {

// What the user chose in the transaction dialog, read when OK is pressed.
struct TransactionInputs {
    QString accountName;
    QString accountRowKey;
    TransactionType type = TransactionType::Income;
    QString otherAccountText; // as the box shows it
    int otherRowNumber = 0;   // of the chosen entry, counted from 1; 0 when the text is no entry
    bool reasonChosen = false;
    QString reason;
    QString counterpartReason; // the same entry of the other side's list
    QString otherName;         // typed for the reason "Other"
    bool isPrivate = false;
    bool anonymous = false;
    QString description; // with CR LF; empty when it still holds its design text
    bool showChanges = false;
    bool confirm = true;
};

// The transaction dialog as its procedure drives it.
class TransactionDialog {
public:
    enum PageAction { ReadPost = 0, NoAction = 1234, ShowChanges = 4321, CloseDialog = 7777 };

    virtual ~TransactionDialog() = default;

    virtual QWidget& widget() = 0;
    virtual AccountManager& manager() = 0;
    virtual TransactionInputs inputs() const = 0;
    virtual void clearDesignDescription() = 0;

    // Shows the error the page handler left for OK, if any, and says which it was.
    virtual WaitingError::Kind showWaitingError() = 0;

    virtual WebBrowser& WBModify() = 0;
    virtual QString editAddress() const = 0;
    virtual void setEditAddress(const QString& address) = 0;
    virtual int pageAction() const = 0;
    virtual void setPageAction(int action) = 0;
    // The manager's row that the page handler fills when it reads an edit page.
    virtual void setWorkingRow(const QString& key) = 0;

    // The balance the page handler read from the account's edit page.
    virtual CoinTexts balanceAsRead() const = 0;
    virtual void setBalanceBoxes(const CoinTexts& balance) = 0;
    virtual void restoreBalanceBoxes() = 0; // to the balance as last read
    virtual QString amountDollarText() const = 0;

    virtual bool okEnabled() const = 0;
    virtual void setOkEnabled(bool enabled) = 0;
    // Holds the manager's reloads until the dialog closes.
    virtual void holdManagerReloads() = 0;

    // Hidden until the calculator's equals brings it back; false when it went away instead.
    virtual bool waitForAmount() = 0;
    virtual void showDialog() = 0;
    virtual void hideDialog() = 0;
    virtual void closeDialog() = 0;
};

} // namespace bank

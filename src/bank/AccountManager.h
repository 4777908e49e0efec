#pragma once

#include "AccountPost.h"

#include <QString>
#include <optional>

class QWidget;
class WebBrowser;

namespace bank {

// An error the transaction dialog's page handler found, waiting to be shown
// at the next OK. It outlives the dialog: a new dialog meets it too.
struct WaitingError {
    enum Kind { None, Warning, Critical, Busy };
    Kind kind = None;
    QString text;
};

// One account of the manager's list.
struct AccountRow {
    QString key; // "T" + thread number
    QString name;
    CoinTexts balance;
    bool mayModify = false;
    QString threadNumber() const { return key.mid(1); }
};

// What the transaction dialog and its procedure may do with the manager
// window: read and update its rows, say what is going on in its status line,
// hold its reloads, and lend its third browser.
class AccountManager {
public:
    virtual ~AccountManager() = default;

    virtual QWidget& window() = 0;
    virtual std::optional<AccountRow> row(const QString& key) const = 0;
    // Counted from 1, in the list's order.
    virtual std::optional<AccountRow> rowAt(int number) const = 0;
    virtual void setBalance(const QString& key, const CoinTexts& balance) = 0;
    // The program wrote the account's post: the next load reads it again.
    virtual void accountWritten(const QString& key) = 0;
    virtual void selectRow(const QString& key) = 0;
    virtual void setStatusText(const QString& text) = 0;
    // While held, becoming active does not reload the list.
    virtual void holdReloads(bool hold) = 0;
    virtual bool reloadsHeld() const = 0;
    // The edit page of a post, as the Modify button asks for it.
    virtual QString modifyAddress(const QString& threadNumber, const QString& postNumber) const = 0;
    virtual WebBrowser& WebBrowser3() = 0;
    virtual WaitingError& waitingError() = 0;
    // Shows the window again; it becomes active and reloads unless held.
    virtual void showAndReload() = 0;
};

} // namespace bank

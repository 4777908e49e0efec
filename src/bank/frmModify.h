#pragma once

#include "AccountPost.h"
#include "AmountReceiver.h"
#include "SingleWindow.h"
#include "TransactionDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>

class QEventLoop;
class WebBrowser;

// Modify Account: one transaction between the account chosen in the manager
// and another account of the board. Its browser reads the account post from
// the forum's edit form and saves both posts through it; the amount is typed
// on the calculator, which hands it back.
// One dialog, created on first use; closing it discards it, but an error
// waiting for OK stays with the manager for the next dialog.
class frmModify : public QDialog,
                  public platform::SingleWindow<frmModify>,
                  public calculator::AmountReceiver,
                  public bank::TransactionDialog {
    Q_OBJECT
public:
    struct OtherAccount {
        QString text;
        int rowNumber; // counted from 1 in the manager's list
    };

    // The manager's Modify button hands over the selected account.
    void Form_Open(bank::AccountManager& manager, const bank::AccountRow& account,
                   const QString& address, const QList<OtherAccount>& others);

    // While OK runs, from the checks to the last save.
    bool transactionRunning() const { return running_; }
    QString otherReasonName() const { return otherReasonName_; }

    void cmdOK_Click();

    // The calculator's side of the amount hand-over.
    bool isLoaded() const override { return true; }
    bool isHidden() const override { return QWidget::isHidden(); }
    void takeAmountDollarText(const std::string& dollarText) override;
    void showAgain() override;

    // What the transaction procedure drives.
    QWidget& widget() override { return *this; }
    bank::AccountManager& manager() override { return *manager_; }
    bank::TransactionInputs inputs() const override;
    void clearDesignDescription() override;
    bank::WaitingError::Kind showWaitingError() override;
    WebBrowser& WBModify() override { return *WBModify_; }
    QString editAddress() const override { return editAddress_; }
    void setEditAddress(const QString& address) override { editAddress_ = address; }
    int pageAction() const override { return pageAction_; }
    void setPageAction(int action) override { pageAction_ = action; }
    void setWorkingRow(const QString& key) override { workingRowKey_ = key; }
    bank::CoinTexts balanceAsRead() const override { return savedBalances_; }
    void setBalanceBoxes(const bank::CoinTexts& balance) override;
    void restoreBalanceBoxes() override;
    QString amountDollarText() const override { return amountDollarText_; }
    bool okEnabled() const override { return cmdOK->isEnabled(); }
    void setOkEnabled(bool enabled) override { cmdOK->setEnabled(enabled); }
    void holdManagerReloads() override;
    bool waitForAmount() override;
    void showDialog() override { show(); }
    void hideDialog() override { hide(); }
    void closeDialog() override { close(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override; // Escape

private:
    friend class platform::SingleWindow<frmModify>;
    frmModify();
    ~frmModify() override;
    void createControls();
    void layOutControls();

    void cmbTType_Click(int index);
    void cmbReasonIn_Click(int index);
    void cmbReasonOut_Click(int index);
    void reasonChosen(const QComboBox& list, int index);
    void WBModify_DocumentComplete();
    void serverOverload();
    void readEditPage();
    void showChangesInViewer();
    void cmdCancel_Click();
    void Form_Unload();
    void releaseCalculator();
    void setBalanceBoxes(const bank::CoinTexts& balance, bool alsoSavedCopy);
    bool expenseChosen() const;

    QGroupBox* Frame1;
    QLabel* Label1;
    QLineEdit* TextName;
    QComboBox* ComboGalleons;
    QComboBox* ComboSickles;
    QComboBox* ComboKnuts;
    QGroupBox* Frame2;
    QComboBox* cmbTType;
    QComboBox* cmbOtherAccount;
    QLabel* lblReason;
    QComboBox* cmbReasonIn;
    QComboBox* cmbReasonOut;
    QPlainTextEdit* TextComment;
    QCheckBox* Check1;
    QCheckBox* Check2;
    QCheckBox* Check3;
    QCheckBox* Check4;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    WebBrowser* WBModify_;

    bank::AccountManager* manager_ = nullptr;
    QPointer<QWidget> managerWindow_;
    QString editAddress_;
    int pageAction_ = ReadPost;
    QString otherReasonName_;
    QString amountDollarText_;
    bank::CoinTexts savedBalances_; // the balance as last read, restored on a decline
    QString workingRowKey_;         // the manager's row of the post now being worked on
    bool running_ = false;
    bool holdsManagerReloads_ = false; // set by OK, released when the dialog closes
    QEventLoop* amountWait_ = nullptr; // OK waiting for the calculator's equals
    QPointer<QWidget> calculatorWindow_;
};

#pragma once

#include "AccountPost.h"
#include "AmountReceiver.h"
#include "SingleWindow.h"

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
class QTreeWidgetItem;
class WebBrowser;

// Modify Account: one transaction between the account chosen in the manager
// and another account of the board. Its browser reads the account post from
// the forum's edit form and saves both posts through it; the amount is typed
// on the calculator, which hands it back.
// One dialog, created on first use; closing it discards its controls, but a
// waiting error stays for the next OK.
class frmModify : public QDialog,
                  public platform::SingleWindow<frmModify>,
                  public calculator::AmountReceiver {
    Q_OBJECT
public:
    enum PageAction { ReadPost = 0, NoAction = 1234, ShowChanges = 4321, CloseDialog = 7777 };

    struct OtherAccount {
        QString text;
        int rowNumber; // counted from 1 in the manager's list
    };

    // The manager's Modify button hands over the selected account.
    void Form_Open(const QString& accountName, const QString& rowKey,
                   const bank::CoinTexts& balances, const QString& address,
                   const QList<OtherAccount>& others);

    WebBrowser& WBModify() { return *WBModify_; }
    QString editAddress;
    int pageAction = ReadPost;
    QString otherReasonName;
    QString amountDollarText;
    // Both belong to the dialog object, not its controls: closing keeps them.
    static QString& errorText();
    static bool& criticalError();

    // While OK runs, from the checks to the last save.
    bool transactionRunning() const { return running_; }

    void cmdOK_Click();

    // The calculator's side of the amount hand-over.
    bool isLoaded() const override { return true; }
    bool isHidden() const override { return QWidget::isHidden(); }
    void takeAmountDollarText(const std::string& dollarText) override;
    void showAgain() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override; // Escape

private:
    friend class platform::SingleWindow<frmModify>;
    friend class TransactionProcedure;
    frmModify();
    ~frmModify() override;
    void createControls();
    void layOutControls();

    void cmbTType_Click(int index);
    void cmbReasonIn_Click(int index);
    void cmbReasonOut_Click(int index);
    void reasonChosen(const QComboBox& list, int index);
    void WBModify_DocumentComplete();
    void readEditPage();
    void showChangesInViewer();
    void cmdCancel_Click();
    void Form_Unload();
    void releaseCalculator();

    bank::CoinTexts balanceBoxes() const;
    void setBalanceBoxes(const bank::CoinTexts& coins, bool alsoSavedCopy);
    void restoreBalanceBoxes();
    QTreeWidgetItem* workingRow() const;
    // Shows an error the page handler left for OK; true when there was one.
    bool showWaitingError();

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

    bank::CoinTexts savedBalances_; // the balance as last read, restored on a decline
    QString workingRowKey_;         // the manager's row of the post now being worked on
    bool running_ = false;
    bool holdsManagerLoading_ = false; // set by OK, released when the dialog closes
    QEventLoop* amountWait_ = nullptr; // OK waiting for the calculator's equals
    QPointer<QWidget> calculatorWindow_;
};

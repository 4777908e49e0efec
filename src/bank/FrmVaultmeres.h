#pragma once

#include "AccountManager.h"
#include "BooksReader.h"
#include "SingleWindow.h"

#include <QPushButton>
#include <QWidget>

class AccountListView;
class AccountLoader;
class QTreeWidgetItem;
class StatusBar;
class WebBrowser;

// Vaultmere's Manager: every account of the logged-in board with its balances,
// dates and teller, reloaded whenever the window becomes active, and the
// buttons that book transactions, create and delete accounts.
// One manager window, created on first use; closing it discards it.
class FrmVaultmeres : public QWidget,
                      public platform::SingleWindow<FrmVaultmeres>,
                      public bank::AccountManager {
    Q_OBJECT
public:
    AccountListView& ListView1() { return *ListView1_; }
    AccountLoader& loader() { return *loader_; }

    // What the transaction dialog and its procedure work with.
    QWidget& window() override { return *this; }
    std::optional<bank::AccountRow> row(const QString& key) const override;
    std::optional<bank::AccountRow> rowAt(int number) const override;
    void setBalance(const QString& key, const bank::CoinTexts& balance) override;
    void accountWritten(const QString& key) override;
    void selectRow(const QString& key) override;
    void setStatusText(const QString& text) override;
    void holdReloads(bool hold) override;
    bool reloadsHeld() const override;
    QString modifyAddress(const QString& threadNumber, const QString& postNumber) const override;
    WebBrowser& WebBrowser3() override { return *WebBrowser3_; }
    bank::WaitingError& waitingError() override { return waitingError_; }
    void showAndReload() override;

    void ListView1_ItemClick(QTreeWidgetItem* Item);
    void cmdModify_Click();
    void cmdCreate_Click();
    void cmdDelete_Click();
    void mnuCheckBooks_Click();
    void mnuHistory_Click();
    void mnuExport_Click();

protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    friend class platform::SingleWindow<FrmVaultmeres>;
    FrmVaultmeres();
    QPushButton* button(const QString& name, const QString& caption, const QString& suffix);
    void Form_Load();
    void Form_Activate();
    void Form_Resize();
    void Form_Unload();
    void resizeOuter(int widthTwips, int heightTwips);
    QString requestAddress(const QPushButton& button, const QString& threadNumber,
                           const QString& postNumber) const;
    bool transactionRunning() const;
    void createMenu();
    QList<bank::BooksReader::Account> booksAccounts() const;
    bank::BooksReader::EditAddress editAddress() const;

    AccountListView* ListView1_;
    QPushButton* cmdModify;
    QPushButton* cmdCreate;
    QPushButton* cmdDelete;
    StatusBar* StatusBar1;
    WebBrowser* WebBrowser3_;
    AccountLoader* loader_;
    QSize storedOuterTwips_;          // applied again once the window has its frame
    bank::WaitingError waitingError_; // outlives the transaction dialogs
};

#pragma once

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
// buttons that create and delete accounts.
// One manager window, created on first use; closing it discards it.
class FrmVaultmeres : public QWidget, public platform::SingleWindow<FrmVaultmeres> {
    Q_OBJECT
public:
    // What the transaction side works with.
    AccountListView& ListView1() { return *ListView1_; }
    WebBrowser& WebBrowser3() { return *WebBrowser3_; }
    AccountLoader& loader() { return *loader_; } // its `loading` flag among others

    // The edit page of an account post, as the Modify button asks for it.
    QString modifyAddress(const QString& threadNumber) const;
    void setStatusText(const QString& text);
    // Brings the window back after another has been in front; the list reloads.
    void showAndReload();

    void ListView1_ItemClick(QTreeWidgetItem* Item);
    void cmdModify_Click();
    void cmdCreate_Click();
    void cmdDelete_Click();

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
    QString requestAddress(const QPushButton& button, const QString& threadNumber) const;

    AccountListView* ListView1_;
    QPushButton* cmdModify;
    QPushButton* cmdCreate;
    QPushButton* cmdDelete;
    StatusBar* StatusBar1;
    WebBrowser* WebBrowser3_;
    AccountLoader* loader_;
    QSize storedOuterTwips_; // applied again once the window has its frame
};

#pragma once

#include "SingleWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QPair>
#include <QPointer>
#include <QPushButton>
#include <functional>

class WebBrowser;

// The gate to the bank manager: opens a board's login page, logs in when the
// browser is not logged in yet, fills the shared forum state and remembers the
// board (with the credentials, when asked) for the next time.
// One login window, created and loaded on first use; closing it discards it.
class frmLogin : public QDialog, public platform::SingleWindow<frmLogin> {
    Q_OBJECT
public:
    // Sets what shows the manager window once a board is open; unset, nothing is shown.
    static void setManagerOpener(std::function<void()> opener);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    friend class platform::SingleWindow<frmLogin>;
    frmLogin();

    void Form_Load();
    void Form_Unload();
    void Combo1_Click(int index);
    void Combo1_KeyPress(int& KeyAscii);
    void cmdOK_Click();
    void cmdCancel_Click();
    void WBLogin_DocumentComplete(const QString& URL);

    void openBoard(const QString& address);
    bool openLoginPage(const QString& address);
    void SetBoard();
    bool logIn(const QString& userName, const QString& password);
    QString rememberedCredentials() const;
    // Lets events run in steps of 500 ms until done() holds, then settleMs more; false when
    // meanwhile the window closed, the program began to quit or a newer wait took over.
    bool waitUntil(const std::function<bool()>& done, int settleMs = 0);
    static bool keptOpen(const QPointer<frmLogin>& window, int ms);
    static void openManager();

    QLabel* Label1;
    QComboBox* Combo1;
    QGroupBox* Frame1;
    QLabel* lblLabels[2];
    QLineEdit* txtUserName;
    QLineEdit* txtPassword;
    QCheckBox* Check1;
    QLineEdit* Text1;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    WebBrowser* WBLogin;

    QList<QPair<QString, QString>> BoardHistory; // (address, stored value), in Combo1's order
    bool LoginOk = false;
    QString Combo1Tag; // the text of the last chosen list entry, until Enter takes it
    bool boardOpened = false;
    // Counts the board openings and logins that wait; only the latest acts on its page.
    quint64 lastWaitingAction = 0;
};

#pragma once

#include "CalculatorEngine.h"
#include "ShownTape.h"
#include "TransactionCalculator.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>

class StatusBar;
class ZentabCalcRevision;
class BankSide;

// The coin calculator, the program's main window. It shows its engine's state
// and forwards every key, click and edit to it; closing it ends the program.
class ZentabCalc : public QMainWindow, public bank::TransactionCalculator {
    Q_OBJECT
public:
    ZentabCalc();
    ~ZentabCalc() override;

    const calculator::CalculatorEngine& engine() const { return engine_; }

    // Operations other windows run.
    void cmdKeyOP_Click(int Index) override;
    void CommandClear_Click() override;
    void CommandGalleons_Click();
    void CommandSickles_Click();
    void CommandKnuts_Click();
    void TextResults_Change();

    // What a transaction of the bank manager works with.
    void loadEntry(const bank::CoinTexts& coins) override;
    bank::CoinTexts entry() const override;
    void setClearAndSignEnabled(bool enabled) override;
    QString operandTape() const override;
    QString dollarPanel() const override;
    void takeFocus() override;
    void setAmountReceiver(calculator::AmountReceiver* receiver) override;

    // Key preview: true when the key ran an operation and is consumed.
    bool Form_KeyDown(int KeyCode, int Shift);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void createMenus();
    void createStatusBar();
    QPushButton* button(const QString& name, const QString& caption, const QString& accessibleName,
                        int left, int top, int width = 375, int height = 375);
    QLineEdit* coinBox(const QString& name, const QString& accessibleName, int top);

    // Runs an engine operation and shows what it changed.
    template <typename Operation> void run(Operation&& operation);
    void showModel();
    void showTape(const calculator::TapeEdit& edit);
    // The bank manager's side, loaded if need be; nullptr, once the user has been told why,
    // when it cannot be.
    BankSide* reachBankSide();

    void cmdNumericKey_Click(int Index);
    void cmdNumericKeySign_Click();
    void CommandClearE_Click();
    void cmdMemoryStore_Click();
    void cmdMemoryAdd_Click();
    void cmdMemoryRecal_Click();
    void TextCoin_Change(calculator::Coin coin, const QString& text);
    void TextResults_Edited(const QString& text);
    bool TextResults_KeyDown(int Shift, const QString& typed);
    void TextResults_MouseDown();
    void StatusBar1_PanelDblClick(int position);
    void mnuHelpHistory_Click();
    void mnuHelpAbout_Click();
    void mnuOptionsOnTop_Click();
    void mnuToolsVaultmeres_Click();
    void mnuOptionsDebug_Click();

    calculator::CalculatorEngine engine_;
    calculator::ShownTape shownTape_;
    bool CtrlHeld = false;

    QLabel* Label1 = nullptr;
    QLineEdit* TextResults = nullptr;
    QPushButton* cmdNumericKey[10] = {};
    QPushButton* cmdNumericKeySign = nullptr;
    QPushButton* cmdKeyOP[5] = {};
    QPushButton* cmdMemoryAdd = nullptr;
    QPushButton* cmdMemoryRecal = nullptr;
    QPushButton* cmdMemoryStore = nullptr;
    QPushButton* CommandGalleons = nullptr;
    QPushButton* CommandSickles = nullptr;
    QPushButton* CommandKnuts = nullptr;
    QLineEdit* TextCoins[3] = {};
    QPlainTextEdit* TextOperands = nullptr;
    QPushButton* CommandClear = nullptr;
    QPushButton* CommandClearE = nullptr;
    StatusBar* StatusBar1 = nullptr;

    QAction* mnuHelpHistory = nullptr;
    QAction* mnuHelpAbout = nullptr;
    QAction* mnuOptionsOnTop = nullptr;
    QAction* mnuOptionsDebug = nullptr;
    QAction* mnuToolsVaultmeres = nullptr;

    QPointer<ZentabCalcRevision> revision_;
};

#include "ZentabCalc.h"

#include "BankSide.h"
#include "Dialogs.h"
#include "KeyCodes.h"
#include "KeyboardMap.h"
#include "OsServices.h"
#include "StatusBar.h"
#include "Twips.h"
#include "ZentabCalcExchangeRate.h"
#include "ZentabCalcRevision.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLayout>
#include <QMenuBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using calculator::Coin;

namespace {

constexpr int ClientWidth = 4710;
constexpr int ClientHeight = 3645;
constexpr int LowestControlBottom = 2880 + 375;

const char* const ContactAddress = "zentab@example.org";

QString fromModel(const std::string& text) {
    return QString::fromStdString(text);
}

QFont resultLineFont(const QFont& base) {
    QFont font = base;
    font.setPointSizeF(9.75);
    font.setBold(true);
    return font;
}

QFont tapeFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(7);
    return font;
}

QFont memoryKeyFont(const QFont& base) {
    QFont font = base;
    font.setPointSizeF(7);
    return font;
}

} // namespace

ZentabCalc::ZentabCalc() {
    setObjectName("ZentabCalc");
    setWindowTitle("Zentab Calculator SE");
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    createControls();
    createStatusBar();
    createMenus();
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
    installEventFilter(this);
    showModel();
}

ZentabCalc::~ZentabCalc() = default;

QPushButton* ZentabCalc::button(const QString& name, const QString& caption,
                                const QString& accessibleName, int left, int top, int width,
                                int height) {
    auto* button = new QPushButton(caption, centralWidget());
    button->setObjectName(name);
    button->setAccessibleName(accessibleName);
    button->setGeometry(platform::Twips(*this).rect(left, top, width, height));
    return button;
}

QLineEdit* ZentabCalc::coinBox(const QString& name, const QString& accessibleName, int top) {
    auto* box = new QLineEdit("0", centralWidget());
    box->setObjectName(name);
    box->setAccessibleName(accessibleName);
    box->setGeometry(platform::Twips(*this).rect(3600, top, 975, 375));
    return box;
}

void ZentabCalc::createControls() {
    auto* client = new QWidget(this);
    client->setObjectName("ZentabCalcClient");
    setCentralWidget(client);
    const platform::Twips twips(*this);

    Label1 =
        new QLabel(QStringLiteral("Zentab Currency Calculator by %1").arg(ContactAddress), client);
    Label1->setObjectName("Label1");
    Label1->setGeometry(twips.rect(120, 0, 4455, 255));
    QFont labelFont = font();
    labelFont.setPointSizeF(8);
    Label1->setFont(labelFont);

    TextResults = new QLineEdit(fromModel(engine_.resultLine()), client);
    TextResults->setObjectName("TextResults");
    TextResults->setAccessibleName("Result");
    TextResults->setFont(resultLineFont(font()));
    TextResults->setGeometry(twips.rect(120, 360, 4455, 375));
    connect(TextResults, &QLineEdit::textEdited, this, &ZentabCalc::TextResults_Edited);

    const int columns[] = {120, 600, 1080};
    const int rows[] = {840, 1320, 1800, 2280};
    for (int i = 0; i < 10; ++i) {
        const QString digit = QString::number((i + 1) % 10);
        const int left = i < 9 ? columns[i % 3] : 120;
        const int top = i < 9 ? rows[i / 3] : 2280;
        cmdNumericKey[i] = button(QStringLiteral("cmdNumericKey_%1").arg(i), digit,
                                  QStringLiteral("Digit %1").arg(digit), left, top);
        connect(cmdNumericKey[i], &QPushButton::clicked, this,
                [this, i] { cmdNumericKey_Click(i); });
    }
    cmdNumericKeySign =
        button("cmdNumericKeySign", QStringLiteral("\u00B1"), "Change sign", 600, 2280);
    connect(cmdNumericKeySign, &QPushButton::clicked, this, &ZentabCalc::cmdNumericKeySign_Click);

    const char* const operatorNames[] = {"Equals", "Minus", "Plus", "Times", "Divide"};
    const int operatorTops[] = {2280, 2280, 1800, 1320, 840};
    for (int i = 0; i < 5; ++i) {
        const QString caption(calculator::OperatorSymbols[static_cast<std::size_t>(i)]);
        cmdKeyOP[i] = button(QStringLiteral("cmdKeyOP_%1").arg(i), caption, operatorNames[i],
                             i == 0 ? 1080 : 1680, operatorTops[i]);
        connect(cmdKeyOP[i], &QPushButton::clicked, this, [this, i] { cmdKeyOP_Click(i); });
    }

    cmdMemoryAdd = button("cmdMemoryAdd", "M+", "Memory add", 2160, 840);
    cmdMemoryAdd->setToolTip("alt+M");
    cmdMemoryRecal = button("cmdMemoryRecal", "MR", "Memory recall", 2160, 1320);
    cmdMemoryRecal->setToolTip("shift+M");
    cmdMemoryStore = button("cmdMemoryStore", "MS", "Memory store", 2160, 1800);
    cmdMemoryStore->setToolTip("ctrl+M");
    for (QPushButton* memoryKey : {cmdMemoryAdd, cmdMemoryRecal, cmdMemoryStore})
        memoryKey->setFont(memoryKeyFont(font()));
    connect(cmdMemoryAdd, &QPushButton::clicked, this, &ZentabCalc::cmdMemoryAdd_Click);
    connect(cmdMemoryRecal, &QPushButton::clicked, this, &ZentabCalc::cmdMemoryRecal_Click);
    connect(cmdMemoryStore, &QPushButton::clicked, this, &ZentabCalc::cmdMemoryStore_Click);

    CommandGalleons = button("CommandGalleons", "&Galleons", "Galleons", 2640, 840, 855);
    CommandSickles = button("CommandSickles", "&Sickles", "Sickles", 2640, 1320, 855);
    CommandKnuts = button("CommandKnuts", "K&nuts", "Knuts", 2640, 1800, 855);
    connect(CommandGalleons, &QPushButton::clicked, this, &ZentabCalc::CommandGalleons_Click);
    connect(CommandSickles, &QPushButton::clicked, this, &ZentabCalc::CommandSickles_Click);
    connect(CommandKnuts, &QPushButton::clicked, this, &ZentabCalc::CommandKnuts_Click);

    TextCoins[0] = coinBox("TextGalleons", "Galleons entered", 840);
    TextCoins[1] = coinBox("TextSickles", "Sickles entered", 1320);
    TextCoins[2] = coinBox("TextKnuts", "Knuts entered", 1800);
    for (Coin coin : calculator::AllCoins)
        connect(TextCoins[static_cast<int>(coin)], &QLineEdit::textEdited, this,
                [this, coin](const QString& text) { TextCoin_Change(coin, text); });

    TextOperands = new QPlainTextEdit(client);
    TextOperands->setObjectName("TextOperands");
    TextOperands->setAccessibleName("Operand tape");
    TextOperands->setReadOnly(true);
    // Edits in place would otherwise pile up in an undo history no one can use.
    TextOperands->setUndoRedoEnabled(false);
    TextOperands->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    TextOperands->setBackgroundRole(QPalette::Button);
    QPalette tapePalette = TextOperands->palette();
    tapePalette.setColor(QPalette::Base, tapePalette.color(QPalette::Button));
    TextOperands->setPalette(tapePalette);
    TextOperands->setGeometry(twips.rect(2160, 2280, 2415, 975));

    CommandClear = button("CommandClear", "C", "Clear", 120, 2880, 855);
    CommandClearE = button("CommandClearE", "CE", "Clear entry", 1200, 2880, 855);
    connect(CommandClear, &QPushButton::clicked, this, &ZentabCalc::CommandClear_Click);
    connect(CommandClearE, &QPushButton::clicked, this, &ZentabCalc::CommandClearE_Click);
}

void ZentabCalc::createStatusBar() {
    const platform::Twips twips(*this);
    StatusBar1 = new StatusBar(centralWidget());
    StatusBar1->setObjectName("StatusBar1");
    StatusBar1->setAccessibleName("Status");
    StatusBar1->addPanel(QString(), twips.px(2540), twips.px(2540));
    StatusBar1->addPanel("OP", twips.px(354), twips.px(354));
    StatusBar1->addPanel("MEM", twips.px(706), twips.px(706));
    // The last panel takes what is left of the window's width.
    StatusBar1->addPanel(QString(), twips.px(4577), 0, true);
    connect(StatusBar1, &StatusBar::PanelDblClick, this, &ZentabCalc::StatusBar1_PanelDblClick);

    const int barHeight =
        qMax(twips.px(ClientHeight - LowestControlBottom), StatusBar1->sizeHint().height());
    const int clientHeight = twips.px(LowestControlBottom) + barHeight;
    centralWidget()->setFixedSize(twips.px(ClientWidth), clientHeight);
    StatusBar1->setGeometry(0, clientHeight - barHeight, twips.px(ClientWidth), barHeight);
}

void ZentabCalc::createMenus() {
    QMenu* mnuHelp = menuBar()->addMenu("&Help");
    mnuHelp->setObjectName("mnuHelp");
    mnuHelpHistory =
        mnuHelp->addAction("Revision History", this, &ZentabCalc::mnuHelpHistory_Click);
    mnuHelpHistory->setObjectName("mnuHelpHistory");
    mnuHelpAbout =
        mnuHelp->addAction("About Zentab Calculator", this, &ZentabCalc::mnuHelpAbout_Click);
    mnuHelpAbout->setObjectName("mnuHelpAbout");

    QMenu* mnuOptions = menuBar()->addMenu("&Options");
    mnuOptions->setObjectName("mnuOptions");
    mnuOptionsOnTop =
        mnuOptions->addAction("Keep window on top", this, &ZentabCalc::mnuOptionsOnTop_Click);
    mnuOptionsOnTop->setObjectName("mnuOptionsOnTop");
    mnuOptionsOnTop->setCheckable(true);
    mnuOptionsDebug =
        mnuOptions->addAction("Show debug log", this, &ZentabCalc::mnuOptionsDebug_Click);
    mnuOptionsDebug->setObjectName("mnuOptionsDebug");
    mnuOptionsDebug->setCheckable(true);
    // The log window can also be closed or hidden on its own.
    connect(mnuOptions, &QMenu::aboutToShow, this, [this] {
        mnuOptionsDebug->setChecked(loadedBankSide() && loadedBankSide()->isLogShown());
    });

    QMenu* mnuTools = menuBar()->addMenu("&Tools");
    mnuTools->setObjectName("mnuTools");
    mnuToolsVaultmeres = mnuTools->addAction("Open Vaultmere's Manager", this,
                                             &ZentabCalc::mnuToolsVaultmeres_Click);
    mnuToolsVaultmeres->setObjectName("mnuToolsVaultmeres");
}

void ZentabCalc::setAmountReceiver(calculator::AmountReceiver* receiver) {
    engine_.setAmountReceiver(receiver);
}

void ZentabCalc::loadEntry(const bank::CoinTexts& coins) {
    // Written while the boxes are enabled, so the result line and the dollar
    // value show the loaded amount.
    run([&](calculator::CalculatorEngine& engine) {
        engine.loadAmount(
            {coins.galleons.toStdString(), coins.sickles.toStdString(), coins.knuts.toStdString()});
    });
}

bank::CoinTexts ZentabCalc::entry() const {
    return {fromModel(engine_.box(Coin::Galleons).text), fromModel(engine_.box(Coin::Sickles).text),
            fromModel(engine_.box(Coin::Knuts).text)};
}

void ZentabCalc::setClearAndSignEnabled(bool enabled) {
    CommandClear->setEnabled(enabled);
    cmdNumericKeySign->setEnabled(enabled);
}

QString ZentabCalc::operandTape() const {
    return fromModel(engine_.tape());
}

QString ZentabCalc::dollarPanel() const {
    return fromModel(engine_.status().dollar);
}

void ZentabCalc::takeFocus() {
    platform::showInFront(*this);
}

template <typename Operation> void ZentabCalc::run(Operation&& operation) {
    operation(engine_);
    showModel();
}

void ZentabCalc::showModel() {
    for (Coin coin : calculator::AllCoins) {
        const calculator::CoinBox& model = engine_.box(coin);
        QLineEdit* box = TextCoins[static_cast<int>(coin)];
        if (box->text() != fromModel(model.text))
            box->setText(fromModel(model.text));
        box->setEnabled(model.enabled);
    }
    if (TextResults->text() != fromModel(engine_.resultLine()))
        TextResults->setText(fromModel(engine_.resultLine()));

    if (const auto edit = shownTape_.update(engine_.tape(), engine_.takeTapeUnchanged()))
        showTape(*edit);

    const calculator::StatusPanels& panels = engine_.status();
    StatusBar1->setText(1, fromModel(panels.dollar));
    StatusBar1->setText(2, fromModel(panels.op));
    StatusBar1->setText(3, fromModel(panels.memory));
    StatusBar1->setTag(3, fromModel(panels.parenthesisChain));
    StatusBar1->setText(4, fromModel(panels.message));

    for (QPushButton* coinButton : {CommandGalleons, CommandSickles, CommandKnuts})
        coinButton->setEnabled(engine_.coinButtonsEnabled());
    cmdKeyOP[calculator::EqualsIndex]->setEnabled(engine_.equalsEnabled());
}

void ZentabCalc::showTape(const calculator::TapeEdit& edit) {
    // An empty tape looks the same in any font, so its font is looked up only
    // when it first has something to show, which keeps that out of start-up.
    if (!TextOperands->testAttribute(Qt::WA_SetFont)) {
        TextOperands->setFont(tapeFont());
        TextOperands->setTabStopDistance(TextOperands->fontMetrics().horizontalAdvance(' ') * 8);
    }
    QTextDocument* document = TextOperands->document();
    QTextCursor changed(document->findBlockByNumber(static_cast<int>(edit.line)));
    const int changedFrom = changed.position();
    changed.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    // The view's layout asks for the whole view to be painted again whenever the tape gains
    // a line, which at a long tape costs each key far more than the line itself; the view is
    // told the new size here and repaints only from the first changed line down.
    QAbstractTextDocumentLayout* layout = document->documentLayout();
    const QSizeF sizeBefore = layout->documentSize();
    {
        const QSignalBlocker quiet(layout);
        changed.insertText(fromModel(edit.text));
    }
    if (layout->documentSize() != sizeBefore)
        emit layout->documentSizeChanged(layout->documentSize());

    // After an operator the caret goes to the end, which also brings the
    // newest lines into view; any other change leaves the tape selected whole.
    if (engine_.tapeCaretAtEnd()) {
        TextOperands->moveCursor(QTextCursor::End);
    } else {
        TextOperands->selectAll();
        TextOperands->ensureCursorVisible();
    }
    QTextCursor firstChanged(document);
    firstChanged.setPosition(changedFrom);
    QWidget* view = TextOperands->viewport();
    const int top = std::max(0, TextOperands->cursorRect(firstChanged).top());
    view->update(0, top, view->width(), view->height() - top);
}

// ---- buttons and keys ----

void ZentabCalc::cmdNumericKey_Click(int Index) {
    run([Index](auto& engine) { engine.cmdNumericKey_Click(Index); });
}

void ZentabCalc::cmdNumericKeySign_Click() {
    run([](auto& engine) { engine.cmdNumericKeySign_Click(); });
}

void ZentabCalc::cmdKeyOP_Click(int Index) {
    run([Index](auto& engine) { engine.cmdKeyOP_Click(Index); });
}

void ZentabCalc::CommandClear_Click() {
    run([](auto& engine) { engine.CommandClear_Click(); });
}

void ZentabCalc::CommandClearE_Click() {
    run([](auto& engine) { engine.CommandClearE_Click(); });
}

void ZentabCalc::CommandGalleons_Click() {
    run([](auto& engine) { engine.CommandGalleons_Click(); });
}

void ZentabCalc::CommandSickles_Click() {
    run([](auto& engine) { engine.CommandSickles_Click(); });
}

void ZentabCalc::CommandKnuts_Click() {
    run([](auto& engine) { engine.CommandKnuts_Click(); });
}

void ZentabCalc::cmdMemoryStore_Click() {
    run([](auto& engine) { engine.cmdMemoryStore_Click(); });
}

void ZentabCalc::cmdMemoryAdd_Click() {
    run([](auto& engine) { engine.cmdMemoryAdd_Click(); });
}

void ZentabCalc::cmdMemoryRecal_Click() {
    run([](auto& engine) { engine.cmdMemoryRecal_Click(); });
}

void ZentabCalc::TextResults_Change() {
    run([](auto& engine) { engine.TextResults_Change(); });
}

void ZentabCalc::TextCoin_Change(Coin coin, const QString& text) {
    run([&](auto& engine) { engine.setEnteredText(coin, text.toStdString()); });
}

void ZentabCalc::TextResults_Edited(const QString& text) {
    run([&](auto& engine) { engine.setResultLine(text.toStdString()); });
}

bool ZentabCalc::Form_KeyDown(int KeyCode, int Shift) {
    const auto command = calculator::commandForKey(KeyCode, Shift);
    if (!command)
        return false;
    using calculator::KeyAction;
    bool consumed = true;
    run([&](calculator::CalculatorEngine& engine) {
        switch (command->action) {
        case KeyAction::Digit:
            engine.cmdNumericKey_Click(command->index);
            break;
        case KeyAction::Operator:
            engine.cmdKeyOP_Click(command->index);
            break;
        case KeyAction::ClearEntry:
            engine.CommandClearE_Click();
            break;
        case KeyAction::Clear:
            engine.CommandClear_Click();
            break;
        case KeyAction::Galleons:
            engine.CommandGalleons_Click();
            break;
        case KeyAction::Sickles:
            engine.CommandSickles_Click();
            break;
        case KeyAction::Knuts:
            engine.CommandKnuts_Click();
            break;
        case KeyAction::OpenParenthesis:
            engine.OpenParenthesis();
            break;
        case KeyAction::CloseParenthesis:
            consumed = engine.CloseParenthesis();
            break;
        case KeyAction::MemoryRecall:
            engine.cmdMemoryRecal_Click();
            break;
        case KeyAction::MemoryStore:
            engine.cmdMemoryStore_Click();
            break;
        case KeyAction::MemoryAdd:
            engine.cmdMemoryAdd_Click();
            break;
        case KeyAction::MemoryClear:
            engine.MemoryClear();
            break;
        }
    });
    return consumed;
}

bool ZentabCalc::TextResults_KeyDown(int Shift, const QString& typed) {
    CtrlHeld = Shift == calculator::CtrlMask;
    // Only the box's own Ctrl commands (copy, cut, paste) may change the line.
    const bool character = !typed.isEmpty() && typed.at(0).isPrint();
    return character && !CtrlHeld;
}

void ZentabCalc::TextResults_MouseDown() {
    TextResults->selectAll();
}

bool ZentabCalc::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const platform::VirtualKey virtualKey = platform::toVirtualKey(*key);
        if (Form_KeyDown(virtualKey.code, virtualKey.mask))
            return true;
        if (watched == TextResults)
            return TextResults_KeyDown(virtualKey.mask, key->text());
    } else if (watched == TextResults && event->type() == QEvent::MouseButtonPress) {
        static_cast<QObject*>(TextResults)->event(event); // let the box place its caret first
        TextResults_MouseDown();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- status bar and menus ----

void ZentabCalc::StatusBar1_PanelDblClick(int position) {
    if (position == 1) {
        ZentabCalcExchangeRate dialog(engine_.ExchngeRate, this);
        dialog.exec();
        TextResults_Change();
        StatusBar1->repaint();
    } else if (position == 3) {
        run([](auto& engine) { engine.StatusBarMemory_DblClick(); });
    }
}

void ZentabCalc::mnuHelpHistory_Click() {
    if (!revision_)
        revision_ = new ZentabCalcRevision;
    platform::showInFront(*revision_);
}

BankSide* ZentabCalc::reachBankSide() {
    QString error;
    BankSide* side = bankSide(error);
    if (!side)
        platform::MsgBox(
            QStringLiteral("The bank manager, the debug log and the About box could "
                           "not be loaded; the calculator works on without them.\n\n") +
                error,
            platform::vbCritical);
    return side;
}

void ZentabCalc::mnuHelpAbout_Click() {
    if (BankSide* side = reachBankSide())
        side->showAbout();
}

void ZentabCalc::mnuToolsVaultmeres_Click() {
    if (BankSide* side = reachBankSide())
        side->openManager();
}

void ZentabCalc::mnuOptionsOnTop_Click() {
    platform::setKeepOnTop(*this, mnuOptionsOnTop->isChecked());
}

void ZentabCalc::mnuOptionsDebug_Click() {
    BankSide* side = reachBankSide();
    const bool show = side && !side->isLogShown();
    mnuOptionsDebug->setChecked(show);
    if (side)
        side->showLog(show);
}

void ZentabCalc::closeEvent(QCloseEvent* event) {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window != this && window->isWindow())
            window->close();
    event->accept();
    QApplication::quit();
}

#include "ZentabCalc.h"

#include "ModalWatchdog.h"
#include "OsServices.h"
#include "ScriptedDialogs.h"
#include "StatusBar.h"
#include "ZentabCalcExchangeRate.h"
#include "frmLog.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <string_view>

namespace {

struct Key {
    int key;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};

constexpr Qt::KeyboardModifiers Keypad = Qt::KeypadModifier;
constexpr Qt::KeyboardModifiers Shift = Qt::ShiftModifier;
constexpr Qt::KeyboardModifiers Ctrl = Qt::ControlModifier;
constexpr Qt::KeyboardModifiers Alt = Qt::AltModifier;

class ZentabCalcWindow : public testing::Test {
protected:
    void SetUp() override {
        calc = std::make_unique<ZentabCalc>();
        calc->show();
        calc->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(calc.get()));
    }

    void TearDown() override {
        calc.reset();
        for (QWidget* window : QApplication::topLevelWidgets())
            window->close();
    }

    template <typename Widget = QWidget> Widget* control(const char* name) const {
        auto* widget = calc->findChild<Widget*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    QWidget* focused() const {
        QWidget* widget = QApplication::focusWidget();
        return widget ? widget : calc.get();
    }

    void type(std::initializer_list<Key> keys) const {
        for (const Key& key : keys)
            QTest::keyClick(focused(), static_cast<Qt::Key>(key.key), key.modifiers);
    }

    void typeText(const char* text) const {
        for (const char* c = text; *c; ++c)
            QTest::keyClick(focused(), *c);
    }

    // Keys written as in the engine tests; C is Shift+Backspace, E Backspace.
    void pressKeys(std::string_view keys) const {
        for (char key : keys) {
            if (key == 'C')
                type({{Qt::Key_Backspace, Shift}});
            else if (key == 'E')
                type({{Qt::Key_Backspace}});
            else
                QTest::keyClick(focused(), key);
        }
    }

    QString text(const char* name) const { return control<QLineEdit>(name)->text(); }
    QString panel(int position) const { return control<StatusBar>("StatusBar1")->text(position); }
    QString tape() const { return control<QPlainTextEdit>("TextOperands")->toPlainText(); }
    void click(const char* name) const { QTest::mouseClick(control(name), Qt::LeftButton); }

    void expectCoins(const char* galleons, const char* sickles, const char* knuts) const {
        EXPECT_EQ(text("TextGalleons"), galleons);
        EXPECT_EQ(text("TextSickles"), sickles);
        EXPECT_EQ(text("TextKnuts"), knuts);
    }

    ScriptedDialogs dialogs;
    std::unique_ptr<ZentabCalc> calc;
};

TEST_F(ZentabCalcWindow, ShowsItsDesignAtStart) {
    EXPECT_EQ(calc->windowTitle(), "Zentab Calculator SE");
    EXPECT_EQ(text("TextResults"), "0 Galleons, 0 Sickles, 0 Knuts");
    expectCoins("0", "0", "0");
    // At 96 dpi a twip is a fifteenth of a pixel.
    const qreal pixelsPerTwip = calc->logicalDpiX() / 1440.0;
    EXPECT_EQ(control("TextOperands")->geometry(),
              QRect(qRound(2160 * pixelsPerTwip), qRound(2280 * pixelsPerTwip),
                    qRound(2415 * pixelsPerTwip), qRound(975 * pixelsPerTwip)));
    EXPECT_EQ(control<QPushButton>("cmdMemoryStore")->toolTip(), "ctrl+M");
}

TEST_F(ZentabCalcWindow, KeysTypedAsAUserWouldDriveTheCalculator) {
    const struct {
        const char* what;
        std::vector<Key> keys;
        const char* result;
        const char* coins[3];
    } cases[] = {
        {"keypad digits then G",
         {{Qt::Key_1, Keypad}, {Qt::Key_2, Keypad}, {Qt::Key_5, Keypad}, {Qt::Key_G}},
         "125 Galleons, 0 Sickles, 0 Knuts",
         {"125", "0", "0"}},
        {"Shift+8 multiplies, keypad 8 types",
         {{Qt::Key_5}, {Qt::Key_G}, {Qt::Key_8, Shift}, {Qt::Key_8, Keypad}, {Qt::Key_Equal}},
         "40 Galleons, 0 Sickles, 0 Knuts",
         {"40", "0", "0"}},
        {"parentheses from P and Ctrl+P",
         {{Qt::Key_5},
          {Qt::Key_G},
          {Qt::Key_Asterisk, Keypad},
          {Qt::Key_P},
          {Qt::Key_3},
          {Qt::Key_K},
          {Qt::Key_Plus, Keypad},
          {Qt::Key_2},
          {Qt::Key_N},
          {Qt::Key_P, Ctrl},
          {Qt::Key_Equal}},
         "25 Galleons, 0 Sickles, 0 Knuts",
         {"25", "0", "0"}},
        {"parentheses from ( and )",
         {{Qt::Key_2},
          {Qt::Key_S},
          {Qt::Key_Minus},
          {Qt::Key_ParenLeft},
          {Qt::Key_1},
          {Qt::Key_W, Shift},
          {Qt::Key_Slash},
          {Qt::Key_2},
          {Qt::Key_ParenRight},
          {Qt::Key_Enter, Keypad},
          {Qt::Key_Equal}},
         "0 Galleons, -6 Sickles, -14 Knuts",
         {"0", "-6", "-14"}},
        {"Backspace clears the entry, Shift+Backspace everything",
         {{Qt::Key_7},
          {Qt::Key_K},
          {Qt::Key_Plus},
          {Qt::Key_1},
          {Qt::Key_2},
          {Qt::Key_Backspace},
          {Qt::Key_F4, Shift},
          {Qt::Key_Backspace, Shift},
          {Qt::Key_3}},
         "3",
         {"0", "0", "0"}},
        {"Backspace during times takes back a digit of the number",
         {{Qt::Key_3},
          {Qt::Key_G},
          {Qt::Key_5},
          {Qt::Key_G},
          {Qt::Key_Asterisk, Keypad},
          {Qt::Key_1},
          {Qt::Key_2},
          {Qt::Key_Backspace},
          {Qt::Key_Equal}},
         "5 Galleons, 0 Sickles, 0 Knuts",
         {"5", "0", "0"}},
        {"memory keys",
         {{Qt::Key_1},
          {Qt::Key_G},
          {Qt::Key_M, Ctrl},
          {Qt::Key_Backspace, Shift},
          {Qt::Key_7},
          {Qt::Key_Period, Shift | Keypad},
          {Qt::Key_M, Alt},
          {Qt::Key_Backspace, Shift},
          {Qt::Key_M, Shift}},
         "1 Galleons, 0 Sickles, 7 Knuts",
         {"1", "0", "7"}},
        {"backslash divides and reports the remainder",
         {{Qt::Key_1},
          {Qt::Key_0},
          {Qt::Key_0},
          {Qt::Key_Plus, Shift | Keypad},
          {Qt::Key_Backslash},
          {Qt::Key_7},
          {Qt::Key_Equal}},
         "0 Galleons, 0 Sickles, 14 Knuts",
         {"0", "0", "14"}},
    };
    for (const auto& c : cases) {
        type({{Qt::Key_Backspace, Shift}});
        for (const Key& key : c.keys)
            type({key});
        EXPECT_EQ(text("TextResults"), c.result) << c.what;
        EXPECT_EQ(text("TextGalleons"), c.coins[0]) << c.what;
        EXPECT_EQ(text("TextSickles"), c.coins[1]) << c.what;
        EXPECT_EQ(text("TextKnuts"), c.coins[2]) << c.what;
    }
}

TEST_F(ZentabCalcWindow, TheStatusBarFollowsTheKeys) {
    typeText("100K/7=");
    EXPECT_EQ(panel(2), "=");
    EXPECT_EQ(panel(4), "2 knuts left over");
    EXPECT_EQ(panel(1), "$0.21");
    type({{Qt::Key_M, Ctrl}, {Qt::Key_P}});
    EXPECT_EQ(panel(3), "MP");
    EXPECT_FALSE(control("cmdKeyOP_0")->isEnabled());
    type({{Qt::Key_M, Ctrl | Alt}});
    EXPECT_EQ(panel(3), "");
    EXPECT_TRUE(tape().endsWith("###Start Parenthesis\n"));
}

TEST_F(ZentabCalcWindow, TheEqualsKeyWorksWhileTheButtonIsDisabled) {
    typeText("1G+(2K");
    EXPECT_FALSE(control("cmdKeyOP_0")->isEnabled());
    type({{Qt::Key_Equal}, {Qt::Key_ParenRight}, {Qt::Key_Equal}});
    EXPECT_EQ(text("TextResults"), "1 Galleons, 0 Sickles, 2 Knuts");
    EXPECT_TRUE(control("cmdKeyOP_0")->isEnabled());
}

TEST_F(ZentabCalcWindow, DuringTimesOnlyTheKnutsKeysAssign) {
    typeText("5G*3");
    EXPECT_FALSE(control("CommandGalleons")->isEnabled());
    typeText("GS");
    expectCoins("0", "0", "3");
    typeText("N");
    EXPECT_EQ(text("TextKnuts"), "3");
    typeText("=");
    EXPECT_EQ(text("TextResults"), "15 Galleons, 0 Sickles, 0 Knuts");
}

TEST_F(ZentabCalcWindow, KeysOutsideTheMapReachTheFocusedBox) {
    auto* knuts = control<QLineEdit>("TextKnuts");
    knuts->setFocus();
    type({{Qt::Key_K, Shift}, {Qt::Key_ParenRight}});
    EXPECT_EQ(knuts->text().toUpper(), "0K)");
    EXPECT_EQ(text("TextResults"), "0 Galleons, 0 Sickles, 0 Knuts");
}

TEST_F(ZentabCalcWindow, TheResultLineTakesOnlyItsOwnCtrlCommands) {
    auto* results = control<QLineEdit>("TextResults");
    results->setFocus();
    typeText("5G");
    type({{Qt::Key_X}, {Qt::Key_Z}});
    EXPECT_EQ(results->text(), "5 Galleons, 0 Sickles, 0 Knuts");

    results->selectAll();
    type({{Qt::Key_C, Ctrl}});
    EXPECT_EQ(QApplication::clipboard()->text(), "5 Galleons, 0 Sickles, 0 Knuts");

    QApplication::clipboard()->setText("3 sickles 5 knuts");
    results->selectAll();
    type({{Qt::Key_V, Ctrl}});
    EXPECT_EQ(results->text(), "0 Galleons, 3  Sickles, 0 Knuts");
    EXPECT_EQ(panel(1), "$1.29");
    expectCoins("5", "0", "0");
}

TEST_F(ZentabCalcWindow, AClickInTheResultLineSelectsAllOfIt) {
    auto* results = control<QLineEdit>("TextResults");
    QTest::mouseClick(results, Qt::LeftButton, {}, QPoint(40, results->height() / 2));
    EXPECT_EQ(results->selectedText(), results->text());
}

TEST_F(ZentabCalcWindow, ButtonsWorkLikeTheirKeys) {
    for (const char* name : {"cmdNumericKey_4", "CommandGalleons", "cmdKeyOP_2", "cmdNumericKey_2",
                             "CommandKnuts", "cmdKeyOP_0"})
        click(name);
    EXPECT_EQ(text("TextResults"), "5 Galleons, 0 Sickles, 3 Knuts");
    EXPECT_EQ(tape(), "Galleon\tSickle\tKnut\n--------------------\n  5\t0\t0\n+ 0\t0\t3\n"
                      "+=5\t0\t3\n--------------------\n");
    click("cmdNumericKeySign");
    expectCoins("-5", "0", "-3");
    click("cmdMemoryStore");
    click("CommandClear");
    click("cmdMemoryRecal");
    EXPECT_EQ(text("TextResults"), "-5 Galleons, 0 Sickles, -3 Knuts");
    click("cmdMemoryAdd");
    EXPECT_EQ(panel(3), "M");
    click("CommandClearE");
    EXPECT_EQ(text("TextResults"), "0 Galleons, 0 Sickles, 0 Knuts");
}

// The tape is redrawn from its first changed line only; whatever the keys, it
// must show the engine's tape, with the caret at the end after an operator.
TEST_F(ZentabCalcWindow, TheTapeShownIsTheEnginesTapeAfterEveryKey) {
    auto* box = control<QPlainTextEdit>("TextOperands");
    const auto showsEnginesTape = [&]() -> testing::AssertionResult {
        const QString engineTape = QString::fromStdString(calc->engine().tape()).remove('\r');
        if (tape() != engineTape)
            return testing::AssertionFailure() << "shown:\n"
                                               << tape().toStdString() << "\nengine's:\n"
                                               << engineTape.toStdString();
        const QTextCursor caret = box->textCursor();
        if (calc->engine().tapeCaretAtEnd() && (!caret.atEnd() || caret.hasSelection()))
            return testing::AssertionFailure() << "the caret is not at the end";
        return testing::AssertionSuccess();
    };
    const char* const sequences[] = {
        "5G+3K=",             // a block: heading, marked operands, result
        "5G+3K=4K-2K=1G*3=",  // more blocks after a result
        "5G+3K=C7K+",         // Clear empties the tape
        "2G*(3K+2K)=",        // the close restores the tape saved at the open
        "1G+(2K(3K-1K)+4K)=", // nested levels
        "1G+(2KC3K+1K)=",     // a Clear inside: the close joins both tapes
        "9K/0=/0=3=",         // division by zero twice, then a divisor
        "12E3K+EE4K-7K=E",    // Clear Entry on numbers and on amounts
        "4000000G*2=+1K=",    // a refused result leaves its note on the tape
    };
    for (const char* keys : sequences) {
        pressKeys("C");
        std::string typed;
        for (char key : std::string_view(keys)) {
            typed += key;
            pressKeys({&key, 1});
            ASSERT_TRUE(showsEnginesTape()) << typed;
        }
    }
    // Its columns line up only in a font of fixed pitch.
    EXPECT_TRUE(QFontInfo(box->font()).fixedPitch());

    constexpr std::string_view Keys = "0123456789GSK=-+*/()CE";
    std::mt19937 random(7);
    std::uniform_int_distribution<std::size_t> pick(0, Keys.size() - 1);
    std::string typed;
    for (int i = 0; i < 1500; ++i) {
        typed += Keys[pick(random)];
        pressKeys(std::string_view(typed).substr(typed.size() - 1));
        ASSERT_TRUE(showsEnginesTape()) << typed;
    }
}

TEST_F(ZentabCalcWindow, OverflowShowsInTheStatusBarWithoutAMessageBox) {
    typeText("5000000G");
    EXPECT_EQ(panel(4), "Overflow");
    EXPECT_EQ(text("TextGalleons"), "0");
    type({{Qt::Key_Backspace, Shift}});
    typeText("4000000G*2=");
    EXPECT_EQ(panel(4), "Overflow");
    EXPECT_EQ(calc->engine().CurrentValue, 1972000000);
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(ZentabCalcWindow, DoubleClickOnTheMemoryPanelClearsTheMemory) {
    typeText("3K");
    type({{Qt::Key_M, Ctrl}, {Qt::Key_P}});
    auto* bar = control<StatusBar>("StatusBar1");
    QTest::mouseDClick(bar, Qt::LeftButton, {}, bar->panelGeometry(3).center());
    EXPECT_EQ(panel(3), "P");
    EXPECT_EQ(calc->engine().memoryValue(), 0);
}

TEST_F(ZentabCalcWindow, DoubleClickOnTheDollarPanelChangesTheRate) {
    typeText("5G");
    EXPECT_EQ(panel(1), "$36.65");
    ModalWatchdog expected("ZentabCalcExchangeRate");
    dialogs.answer(platform::vbYes);
    QTimer::singleShot(0, [] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QLineEdit*>("Text1")->setText("8");
        QTest::mouseClick(dialog->findChild<QPushButton*>("Command1"), Qt::LeftButton);
    });
    auto* bar = control<StatusBar>("StatusBar1");
    QTest::mouseDClick(bar, Qt::LeftButton, {}, bar->panelGeometry(1).center());
    EXPECT_EQ(calc->engine().ExchngeRate, 8);
    EXPECT_EQ(panel(1), "$40.00");
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].text, "Set exhange rate to $8.00");
    EXPECT_EQ(dialogs.shown()[0].title, "Confirm Rate");
}

TEST(ZentabCalcExchangeRateDialog, SetFollowsTheRateRules) {
    const struct {
        const char* typed;
        int answer; // 0: no question expected
        const char* message;
        double rate;
        bool closes;
        const char* box;
    } cases[] = {
        {"0", platform::vbOK, "Invalid Exchange Rate. Please try again", 7.33, false, "7.33"},
        {"7.331", 0, nullptr, 7.33, true, "7.331"},
        {"7.336", platform::vbNo, "Set exhange rate to $7.34", 7.33, false, "7.33"},
        {"7.336", platform::vbYes, "Set exhange rate to $7.34", 7.34, true, "7.336"},
        {"-2", platform::vbYes, "Set exhange rate to $-2.00", -2, true, "-2"},
    };
    ModalWatchdog expected("ZentabCalcExchangeRate");
    for (const auto& c : cases) {
        ScriptedDialogs dialogs;
        if (c.answer)
            dialogs.answer(c.answer);
        double rate = 7.33;
        ZentabCalcExchangeRate dialog(rate, nullptr);
        dialog.show();
        EXPECT_EQ(dialog.findChild<QLineEdit*>("Text1")->text(), "7.33");
        dialog.findChild<QLineEdit*>("Text1")->setText(c.typed);
        QTest::mouseClick(dialog.findChild<QPushButton*>("Command1"), Qt::LeftButton);
        EXPECT_EQ(rate, c.rate) << c.typed;
        EXPECT_EQ(dialog.isVisible(), !c.closes) << c.typed;
        EXPECT_EQ(dialog.findChild<QLineEdit*>("Text1")->text(), c.box) << c.typed;
        if (c.message) {
            ASSERT_EQ(dialogs.shown().size(), 1u) << c.typed;
            EXPECT_EQ(dialogs.shown()[0].text, c.message);
        }
    }
}

TEST_F(ZentabCalcWindow, ShowDebugLogTogglesTheLogWindow) {
    auto* item = calc->findChild<QAction*>("mnuOptionsDebug");
    Log("first line");
    ASSERT_TRUE(frmLog::exists());
    EXPECT_FALSE(frmLog::isShown());
    item->trigger();
    EXPECT_TRUE(frmLog::isShown());
    EXPECT_TRUE(item->isChecked());
    EXPECT_EQ(frmLog::instance().text(), "first line\r\n");
    item->trigger();
    EXPECT_FALSE(frmLog::isShown());
    EXPECT_FALSE(item->isChecked());
}

TEST_F(ZentabCalcWindow, ClosingTheMainWindowClosesEveryOtherWindow) {
    calc->findChild<QAction*>("mnuHelpHistory")->trigger();
    calc->findChild<QAction*>("mnuOptionsDebug")->trigger();
    QPointer<QWidget> revision = platform::findOpenWindow("ZentabCalcRevision");
    ASSERT_TRUE(revision && revision->isVisible());
    ASSERT_TRUE(frmLog::isShown());
    calc->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(revision.isNull());
    EXPECT_FALSE(frmLog::exists());
}

TEST_F(ZentabCalcWindow, KeepWindowOnTopTogglesTheStaysOnTopFlag) {
    auto* item = calc->findChild<QAction*>("mnuOptionsOnTop");
    EXPECT_FALSE(item->isChecked());
    item->trigger();
    EXPECT_TRUE(item->isChecked());
    EXPECT_TRUE(calc->windowHandle()->flags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(calc->isVisible());
    item->trigger();
    EXPECT_FALSE(calc->windowHandle()->flags() & Qt::WindowStaysOnTopHint);
}

} // namespace

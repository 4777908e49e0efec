#include "ZentabCalc.h"

#include "ModalWatchdog.h"
#include "OsServices.h"
#include "ScriptedDialogs.h"
#include "StatusBar.h"
#include "ZentabCalcExchangeRate.h"
#include "frmLog.h"

#include <QApplication>
#include <QClipboard>
#include <QKeySequence>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <string_view>

namespace {

class ZentabCalcWindow : public testing::Test {
protected:
    void SetUp() override { open(); }
    void open() {
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

    // Types into the focused control: each character as itself, C for Shift+Backspace
    // (clear), E for Backspace (clear entry) and [Ctrl+M] for a key with modifiers.
    void type(std::string_view keys) const {
        for (std::size_t i = 0; i < keys.size(); ++i) {
            QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : calc.get();
            if (keys[i] == '[') {
                const std::size_t end = keys.find(']', i + 2);
                const QKeyCombination key =
                    QKeySequence(QString::fromLatin1(keys.substr(i + 1, end - i - 1)))[0];
                QTest::keyClick(focus, key.key(), key.keyboardModifiers());
                i = end;
            } else if (keys[i] == 'C' || keys[i] == 'E') {
                QTest::keyClick(focus, Qt::Key_Backspace,
                                keys[i] == 'C' ? Qt::ShiftModifier : Qt::NoModifier);
            } else {
                QTest::keyClick(focus, keys[i]);
            }
        }
    }

    QString text(const char* name) const { return control<QLineEdit>(name)->text(); }
    QString panel(int position) const { return control<StatusBar>("StatusBar1")->text(position); }
    QString tape() const { return control<QPlainTextEdit>("TextOperands")->toPlainText(); }
    void click(const char* name) const { QTest::mouseClick(control(name), Qt::LeftButton); }
    void doubleClickPanel(int position) const {
        auto* bar = control<StatusBar>("StatusBar1");
        QTest::mouseDClick(bar, Qt::LeftButton, {}, bar->panelGeometry(position).center());
    }

    // What the user sees: result line | coin boxes | status panels | disabled controls.
    std::string shown() const {
        QStringList disabled;
        for (const QWidget* widget : calc->findChildren<QWidget*>())
            if (!widget->isEnabled() && (qobject_cast<const QPushButton*>(widget) ||
                                         qobject_cast<const QLineEdit*>(widget)))
                disabled.append(widget->objectName());
        disabled.sort();
        return QStringList{
            text("TextResults"),
            text("TextGalleons") + " " + text("TextSickles") + " " + text("TextKnuts"),
            QStringList{panel(1), panel(2), panel(3), panel(4)}.join(" "), disabled.join(" ")}
            .join(" | ")
            .toStdString();
    }

    ScriptedDialogs dialogs; // and no message box unless a test scripts one
    std::unique_ptr<ZentabCalc> calc;
};

// Shift+8 multiplies, keypad 8 types; P, N and Ctrl+P open and close parentheses, as do
// ( and ); Backspace clears the entry, Shift+Backspace everything; N assigns knuts.
TEST_F(ZentabCalcWindow, KeysTypedAsAUserWouldDriveTheCalculator) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "0 Galleons, 0 Sickles, 0 Knuts | 0 0 0 |     | "},
        {"5000000G", "0 Galleons, 0 Sickles, 0 Knuts | 0 0 0 | $0.00   Overflow | "},
        {"[Num+1][Num+2][Num+5]G", "125 Galleons, 0 Sickles, 0 Knuts | 125 0 0 | $916.25    | "},
        {"5G[Shift+8][Num+8]=", "40 Galleons, 0 Sickles, 0 Knuts | 40 0 0 | $293.20 =   | "},
        {"5G[Num+*]P3K[Num++]2N[Ctrl+P]=",
         "25 Galleons, 0 Sickles, 0 Knuts | 25 0 0 | $183.25 =   | "},
        {"2S-(1[Shift+W]/2)[Num+Enter]=",
         "0 Galleons, -6 Sickles, -14 Knuts | 0 -6 -14 | -$2.80 =   | "},
        {"7K+12E[Shift+F4]C3", "3 | 0 0 0 | $0.00    | "},
        {"1G[Ctrl+M]C7[Shift+Num+.][Alt+M]C[Shift+M]",
         "1 Galleons, 0 Sickles, 7 Knuts | 1 0 7 | $7.43  M  | "},
        {"100[Shift+Num++]\\7=",
         "0 Galleons, 0 Sickles, 14 Knuts | 0 0 14 | $0.21 =  2 knuts left over | "},
        {"100K/7=[Ctrl+M]P", "0 Galleons, 0 Sickles, 0 Knuts | 0 0 0 | $0.00 + MP  | cmdKeyOP_0"},
        {"100K/7=[Ctrl+M]P[Ctrl+Alt+M]",
         "0 Galleons, 0 Sickles, 0 Knuts | 0 0 0 | $0.00 +   | cmdKeyOP_0"},
        // The equals key works while its button is disabled.
        {"1G+(2K=)=", "1 Galleons, 0 Sickles, 2 Knuts | 1 0 2 | $7.36 =   | "},
        {"5G*3GSN", "0 Galleons, 0 Sickles, 3 Knuts | 0 0 3 | $0.04 *   | CommandGalleons "
                    "CommandKnuts CommandSickles"},
    };
    for (const auto& [keys, expected] : cases) {
        open();
        type(keys);
        EXPECT_EQ(shown(), expected) << keys;
    }
}

TEST_F(ZentabCalcWindow, KeysOutsideTheMapReachTheFocusedBox) {
    auto* knuts = control<QLineEdit>("TextKnuts");
    knuts->setFocus();
    type("[Shift+K])");
    EXPECT_EQ(knuts->text().toUpper(), "0K)");
    EXPECT_EQ(text("TextResults"), "0 Galleons, 0 Sickles, 0 Knuts");
}

TEST_F(ZentabCalcWindow, TheResultLineSelectsAllOnAClickAndTakesOnlyItsOwnCtrlCommands) {
    auto* results = control<QLineEdit>("TextResults");
    QTest::mouseClick(results, Qt::LeftButton, {}, QPoint(40, results->height() / 2));
    EXPECT_EQ(results->selectedText(), results->text());
    results->deselect();
    results->setFocus();
    type("5GXZ");
    EXPECT_EQ(results->text(), "5 Galleons, 0 Sickles, 0 Knuts");
    results->selectAll();
    type("[Ctrl+C]");
    EXPECT_EQ(QApplication::clipboard()->text(), "5 Galleons, 0 Sickles, 0 Knuts");
    QApplication::clipboard()->setText("3 sickles 5 knuts");
    results->selectAll();
    type("[Ctrl+V]");
    EXPECT_EQ(shown(), "0 Galleons, 3  Sickles, 0 Knuts | 5 0 0 | $1.29    | ");
}

TEST_F(ZentabCalcWindow, ButtonsWorkLikeTheirKeys) {
    for (const char* name : {"cmdNumericKey_4", "CommandGalleons", "cmdKeyOP_2", "cmdNumericKey_2",
                             "CommandKnuts", "cmdKeyOP_0"})
        click(name);
    EXPECT_EQ(tape(), "Galleon\tSickle\tKnut\n--------------------\n  5\t0\t0\n+ 0\t0\t3\n"
                      "+=5\t0\t3\n--------------------\n");
    const std::pair<const char*, const char*> steps[] = {
        {"cmdNumericKeySign", "-5 Galleons, 0 Sickles, -3 Knuts | -5 0 -3 | -$36.69 =   | "},
        {"cmdMemoryStore", "-5 Galleons, 0 Sickles, -3 Knuts | -5 0 -3 | -$36.69 = M  | "},
        {"CommandClear", "0 Galleons, 0 Sickles, 0 Knuts | 0 0 0 | $0.00  M  | "},
        {"cmdMemoryRecal", "-5 Galleons, 0 Sickles, -3 Knuts | -5 0 -3 | -$36.69  M  | "},
        {"cmdMemoryAdd", "-5 Galleons, 0 Sickles, -3 Knuts | -5 0 -3 | -$36.69  M  | "},
        {"CommandClearE", "0 Galleons, 0 Sickles, 0 Knuts | 0 0 0 | $0.00  M  | "},
    };
    for (const auto& [name, expected] : steps) {
        click(name);
        EXPECT_EQ(shown(), expected) << name;
    }
}

// The tape is redrawn from its first changed line only; whatever the keys, it
// must show the engine's tape, with the caret at the end after an operator and the
// tape selected whole after any other key.
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
        if (!calc->engine().tapeCaretAtEnd() && caret.selectedText().size() != engineTape.size())
            return testing::AssertionFailure() << "the tape is not selected whole";
        return testing::AssertionSuccess();
    };
    // Long random runs below; first what they seldom reach.
    const char* const sequences[] = {
        "1G+(2K(3K-1K)+4K)=", // nested levels
        "1G+(2KC3K+1K)=",     // a Clear inside: the close joins both tapes
        "4000000G*2=+1K=",    // a refused result leaves its note on the tape
    };
    for (const char* keys : sequences) {
        type("C");
        for (std::size_t typed = 1; typed <= std::strlen(keys); ++typed) {
            type({keys + typed - 1, 1});
            ASSERT_TRUE(showsEnginesTape()) << std::string_view(keys, typed);
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
        type(std::string_view(typed).substr(typed.size() - 1));
        ASSERT_TRUE(showsEnginesTape()) << typed;
    }
}

TEST_F(ZentabCalcWindow, DoubleClicksOnTheStatusBarClearTheMemoryAndChangeTheRate) {
    type("3K[Ctrl+M]P");
    doubleClickPanel(3);
    EXPECT_EQ(shown(), "0 Galleons, 0 Sickles, 0 Knuts | 0 0 0 | $0.00 + P  | cmdKeyOP_0");
    EXPECT_EQ(calc->engine().memoryValue(), 0);

    type("C5G");
    ModalWatchdog expected("ZentabCalcExchangeRate");
    dialogs.answer(platform::vbYes);
    QTimer::singleShot(0, [] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QLineEdit*>("Text1")->setText("8");
        QTest::mouseClick(dialog->findChild<QPushButton*>("Command1"), Qt::LeftButton);
    });
    doubleClickPanel(1);
    EXPECT_EQ(calc->engine().ExchngeRate, 8);
    EXPECT_EQ(panel(1), "$40.00");
    EXPECT_EQ(dialogs.shown().size(), 1u); // the question, whose text the dialog's table checks
}

// A rate that rounds to no cents is refused, one within a cent of the rate is taken
// as it stands, any other is asked for, in whole cents.
TEST(ZentabCalcExchangeRateDialog, SetFollowsTheRateRules) {
    // Typed, the answer to its question (0: none expected), and then the rate, the dialog,
    // its box and what it said.
    const std::tuple<const char*, int, const char*> cases[] = {
        {"0", platform::vbOK, "7.33 open 7.33 Invalid Exchange Rate. Please try again"},
        {"abc", platform::vbOK, "7.33 open 7.33 Invalid Exchange Rate. Please try again"},
        {"0.004", platform::vbOK, "7.33 open 7.33 Invalid Exchange Rate. Please try again"},
        {"-2", platform::vbYes, "-2 closed -2 Set exhange rate to $-2.00"},
        {"7.331", 0, "7.33 closed 7.331 "},
        {"7.336", platform::vbNo, "7.33 open 7.33 Set exhange rate to $7.34"},
        {"7.336", platform::vbYes, "7.34 closed 7.336 Set exhange rate to $7.34"},
    };
    ModalWatchdog expected("ZentabCalcExchangeRate");
    for (const auto& [typed, answer, outcome] : cases) {
        ScriptedDialogs dialogs;
        if (answer)
            dialogs.answer(answer);
        double rate = 7.33;
        ZentabCalcExchangeRate dialog(rate, nullptr);
        dialog.show();
        auto* box = dialog.findChild<QLineEdit*>("Text1");
        EXPECT_EQ(box->text(), "7.33");
        box->setText(typed);
        QTest::mouseClick(dialog.findChild<QPushButton*>("Command1"), Qt::LeftButton);
        QStringList said;
        for (const auto& shown : dialogs.shown())
            said.append(shown.text);
        EXPECT_EQ(QString("%1 %2 %3 %4")
                      .arg(rate)
                      .arg(dialog.isVisible() ? "open" : "closed", box->text(), said.join('/'))
                      .toStdString(),
                  outcome)
            << typed;
    }
}

TEST_F(ZentabCalcWindow, TheOptionsMenuTogglesTheLogAndStayingOnTop) {
    auto* debug = calc->findChild<QAction*>("mnuOptionsDebug");
    Log("first line");
    ASSERT_TRUE(frmLog::exists() && !frmLog::isShown());
    debug->trigger();
    EXPECT_TRUE(frmLog::isShown() && debug->isChecked());
    EXPECT_EQ(frmLog::instance().text(), "first line\r\n");
    debug->trigger();
    EXPECT_FALSE(frmLog::isShown() || debug->isChecked());

    auto* onTop = calc->findChild<QAction*>("mnuOptionsOnTop");
    for (const bool on : {true, false}) {
        onTop->trigger();
        EXPECT_EQ(onTop->isChecked(), on);
        EXPECT_EQ(bool(calc->windowHandle()->flags() & Qt::WindowStaysOnTopHint), on);
        EXPECT_TRUE(calc->isVisible());
    }
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

} // namespace

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
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>
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
        return (text("TextResults") + " | " + text("TextGalleons") + " " + text("TextSickles") +
                " " + text("TextKnuts") + " | " + panel(1) + " " + panel(2) + " " + panel(3) + " " +
                panel(4) + " | " + disabled.join(" "))
            .toStdString();
    }

    ScriptedDialogs dialogs; // and no message box unless a test scripts one
    std::unique_ptr<ZentabCalc> calc;
};

// Shift+8 multiplies, keypad 8 types; P, N and Ctrl+P open and close parentheses, as do
// ( and ); Backspace clears the entry, Shift+Backspace everything; N assigns knuts.
TEST_F(ZentabCalcWindow, KeysTypedAsAUserWouldDriveTheCalculator) {
    const std::pair<const char*, const char*> cases[] = {
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

TEST_F(ZentabCalcWindow, FocusedBoxesTakeKeysOutsideTheMapAndTheResultLineItsOwnCtrlCommands) {
    auto* results = control<QLineEdit>("TextResults");
    results->setFocus();
    type("5GXZ");
    results->selectAll();
    type("[Ctrl+C]");
    EXPECT_EQ(QApplication::clipboard()->text(), "5 Galleons, 0 Sickles, 0 Knuts");
    QApplication::clipboard()->setText("3 sickles 5 knuts");
    type("[Ctrl+V]");
    EXPECT_EQ(shown(), "0 Galleons, 3  Sickles, 0 Knuts | 5 0 0 | $1.29    | ");

    open();
    control<QLineEdit>("TextKnuts")->setFocus();
    type("[Shift+K])");
    EXPECT_EQ((text("TextKnuts").toUpper() + " " + text("TextResults")).toStdString(),
              "0K) 0 Galleons, 0 Sickles, 0 Knuts");
}

TEST_F(ZentabCalcWindow, ButtonsWorkLikeTheirKeysAndStatusBarDoubleClicksClearMemoryAndSetTheRate) {
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

    doubleClickPanel(3);
    EXPECT_EQ(shown(), "0 Galleons, 0 Sickles, 0 Knuts | 0 0 0 | $0.00    | ");
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
    EXPECT_EQ(panel(1), "$40.00");         // 5 galleons at the new rate
    EXPECT_EQ(dialogs.shown().size(), 1u); // the question, whose text the dialog's table checks
}

// The tape is redrawn from its first changed line only; whatever the keys, it must show the
// engine's tape, with the caret at the end after an operator, else the tape selected whole.
TEST_F(ZentabCalcWindow, TheTapeShownIsTheEnginesTapeAfterEveryKey) {
    auto* box = control<QPlainTextEdit>("TextOperands");
    const auto shownTape = [&] {
        const QTextCursor caret = box->textCursor();
        const char* where = caret.atEnd() && !caret.hasSelection()         ? "|end"
                            : caret.selectedText().size() == tape().size() ? "|whole"
                                                                           : "|elsewhere";
        return (tape() + (tape().isEmpty() ? "" : where)).toStdString();
    };
    const auto enginesTape = [&] {
        const QString shown = QString::fromStdString(calc->engine().tape()).remove('\r');
        const char* where = calc->engine().tapeCaretAtEnd() ? "|end" : "|whole";
        return (shown + (shown.isEmpty() ? "" : where)).toStdString();
    };
    // The view repaints only what a key changed: what the window holds of it must still be
    // what painting it afresh gives, with the caret, at the newest line, in sight.
    QWidget* view = box->viewport();
    const auto onScreenAsPaintedAfresh = [&] {
        QApplication::processEvents();
        const QPoint at = view->mapTo(calc.get(), QPoint());
        return view->rect().contains(box->cursorRect()) &&
               QGuiApplication::primaryScreen()
                       ->grabWindow(calc->winId(), at.x(), at.y(), view->width(), view->height())
                       .toImage() == view->grab().toImage();
    };
    // First what random keys seldom reach: nested levels, a Clear inside a level (the close
    // joins both tapes), a refused result (its note stays on the tape); then random keys.
    std::string keys = "C1G+(2K(3K-1K)+4K)=C1G+(2KC3K+1K)=C4000000G*2=+1K=";
    constexpr std::string_view Keys = "0123456789GSK=-+*/()CE";
    std::mt19937 random(7);
    std::uniform_int_distribution<std::size_t> pick(0, Keys.size() - 1);
    for (int i = 0; i < 1500; ++i)
        keys += Keys[pick(random)];
    for (std::size_t typed = 0; typed < keys.size(); ++typed) {
        type(std::string_view(keys).substr(typed, 1));
        ASSERT_EQ(shownTape(), enginesTape()) << keys.substr(0, typed + 1);
        ASSERT_TRUE(onScreenAsPaintedAfresh()) << keys.substr(0, typed + 1);
    }
    EXPECT_TRUE(QFontInfo(box->font()).fixedPitch()); // its columns line up
}

// A screen reader names every control but the title. (Where each lies, every test that shows
// the window checks.)
TEST_F(ZentabCalcWindow, EveryControlButTheTitleIsNamed) {
    for (const QWidget* widget :
         calc->centralWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        EXPECT_TRUE(widget == control("Label1") || !widget->accessibleName().isEmpty())
            << widget->objectName().toStdString();
}

// A rate that rounds to no cents is refused, one within a cent of the rate is taken as it
// stands, any other is asked for, in whole cents.
TEST(ZentabCalcExchangeRateDialog, SetFollowsTheRateRules) {
    // Typed, the answer to its question (0: none), then rate, dialog, box and what it said.
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
        const QString said = dialogs.shown().empty() ? QString() : dialogs.shown()[0].text;
        const QString seen = QString::number(rate) + (dialog.isVisible() ? " open " : " closed ") +
                             box->text() + " " + said;
        EXPECT_EQ(seen.toStdString(), outcome) << typed;
    }
}

TEST_F(ZentabCalcWindow, TheMenusToggleTheLogAndStayingOnTopAndClosingClosesEveryWindow) {
    auto* debug = calc->findChild<QAction*>("mnuOptionsDebug");
    debug->trigger();
    EXPECT_TRUE(frmLog::isShown() && debug->isChecked());
    debug->trigger();
    EXPECT_FALSE(frmLog::isShown() || debug->isChecked());

    auto* onTop = calc->findChild<QAction*>("mnuOptionsOnTop");
    for (const bool on : {true, false}) {
        onTop->trigger();
        const bool onTopNow = calc->windowHandle()->flags() & Qt::WindowStaysOnTopHint;
        EXPECT_TRUE(onTop->isChecked() == on && onTopNow == on && calc->isVisible()) << on;
    }

    // Closing the main window closes every other window.
    calc->findChild<QAction*>("mnuHelpHistory")->trigger();
    debug->trigger();
    QPointer<QWidget> revision = platform::findOpenWindow("ZentabCalcRevision");
    ASSERT_TRUE(revision && revision->isVisible() && frmLog::isShown());
    calc->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(revision.isNull() && !frmLog::exists());
}

} // namespace

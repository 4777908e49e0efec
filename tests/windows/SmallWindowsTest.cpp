#include "ZentabCalcRevision.h"
#include "frmLog.h"

#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>

namespace {

void discardLog() {
    if (frmLog::exists()) {
        QPointer<frmLog> log = &frmLog::instance();
        log->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_TRUE(log.isNull());
    }
}

TEST(frmLogWindow, KeepsEveryLineWhetherShownOrNotUntilItIsClosed) {
    discardLog();
    Log("a");
    Log("b");
    Log();
    ASSERT_TRUE(frmLog::exists());
    EXPECT_FALSE(frmLog::isShown());
    EXPECT_EQ(frmLog::instance().text(), "a\r\nb\r\n\r\n");
    frmLog::instance().show();
    EXPECT_EQ(frmLog::instance().text(), "a\r\nb\r\n\r\n");
    // Logging leaves the reader's place.
    auto* box = frmLog::instance().findChild<QPlainTextEdit*>("Text1");
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(2);
    box->setTextCursor(cursor);
    Log("c");
    EXPECT_EQ(box->textCursor().position(), 2);

    discardLog();
    EXPECT_FALSE(frmLog::exists());
    Log("new");
    EXPECT_EQ(frmLog::instance().text(), "new\r\n");
    EXPECT_FALSE(frmLog::isShown());
}

TEST(frmLogWindow, KeepsItsNewestLinesAndSaysAtItsTopHowManyWereDropped) {
    const struct {
        int written;
        const char* top; // the first line shown
        int lines;       // lines shown, the note included
    } cases[] = {
        {10000, "line 1", 10000},
        {10001, "[older lines dropped: 1]", 10001},
        {10002, "[older lines dropped: 2]", 10001},
        {25000, "[older lines dropped: 15000]", 10001},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.written);
        discardLog();
        for (int i = 1; i <= c.written; ++i)
            Log(QStringLiteral("line %1").arg(i));
        QStringList lines = frmLog::instance().text().split("\r\n");
        ASSERT_EQ(lines.takeLast(), "");
        EXPECT_EQ(lines.size(), c.lines);
        EXPECT_EQ(lines.first(), c.top);
        EXPECT_EQ(lines.last(), QStringLiteral("line %1").arg(c.written));
        if (c.lines > frmLog::MaxLines) {
            EXPECT_EQ(lines.at(1), QStringLiteral("line %1").arg(c.written - frmLog::MaxLines + 1));
        }
    }
    // A line that holds a line break is two lines of the box.
    Log("two\r\nlines");
    const QStringList lines = frmLog::instance().text().split("\r\n");
    EXPECT_EQ(lines.first(), "[older lines dropped: 15002]");
    EXPECT_EQ(lines.at(1), "line 15003");
    discardLog();
}

// The text box follows the window's size, and never gets a negative one.
TEST(SmallWindows, TheTextGrowsWithTheWindow) {
    frmLog& log = frmLog::instance();
    ZentabCalcRevision revision;
    for (QWidget* window : {static_cast<QWidget*>(&log), static_cast<QWidget*>(&revision)}) {
        SCOPED_TRACE(window->metaObject()->className());
        window->show();
        auto* text = window->findChild<QPlainTextEdit*>("Text1");
        const QSize size = text->size();
        window->resize(window->width() + 100, window->height() + 40);
        EXPECT_EQ(text->size(), size + QSize(100, 40));
    }
    log.resize(1, 1);
    EXPECT_EQ(log.findChild<QPlainTextEdit*>("Text1")->size(), QSize(0, 0));
    discardLog();
}

} // namespace

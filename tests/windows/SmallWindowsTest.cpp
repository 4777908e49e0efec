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

TEST(frmLogWindow, KeepsEveryLineWhetherShownOrNot) {
    discardLog();
    Log("a");
    Log("b");
    Log();
    ASSERT_TRUE(frmLog::exists());
    EXPECT_FALSE(frmLog::isShown());
    EXPECT_EQ(frmLog::instance().text(), "a\r\nb\r\n\r\n");
    EXPECT_EQ(frmLog::instance().windowTitle(), "Log");
    frmLog::instance().show();
    EXPECT_EQ(frmLog::instance().text(), "a\r\nb\r\n\r\n");
}

TEST(frmLogWindow, ClosingItDiscardsTheLog) {
    Log("old");
    discardLog();
    EXPECT_FALSE(frmLog::exists());
    Log("new");
    EXPECT_EQ(frmLog::instance().text(), "new\r\n");
    EXPECT_FALSE(frmLog::isShown());
}

TEST(frmLogWindow, LoggingLeavesTheReadersPlace) {
    discardLog();
    Log("first");
    auto* box = frmLog::instance().findChild<QPlainTextEdit*>("Text1");
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(2);
    box->setTextCursor(cursor);
    Log("second");
    EXPECT_EQ(box->textCursor().position(), 2);
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
        discardLog();
        for (int i = 1; i <= c.written; ++i)
            Log(QStringLiteral("line %1").arg(i));
        QStringList lines = frmLog::instance().text().split("\r\n");
        ASSERT_EQ(lines.takeLast(), "") << c.written;
        EXPECT_EQ(lines.size(), c.lines) << c.written;
        EXPECT_EQ(lines.first(), c.top) << c.written;
        EXPECT_EQ(lines.last(), QStringLiteral("line %1").arg(c.written)) << c.written;
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

TEST(frmLogWindow, TheTextBoxFollowsTheWindowAndNeverGoesNegative) {
    frmLog& log = frmLog::instance();
    log.show();
    auto* box = log.findChild<QPlainTextEdit*>("Text1");
    log.resize(400, 300);
    const qreal pixelsPerTwip = log.logicalDpiX() / 1440.0;
    EXPECT_EQ(box->width(), log.frameGeometry().width() - qRound(100 * pixelsPerTwip));
    EXPECT_EQ(box->height(), log.frameGeometry().height() - qRound(500 * pixelsPerTwip));
    log.resize(200, 20);
    EXPECT_EQ(box->height(), 0);
    discardLog();
}

TEST(ZentabCalcRevisionWindow, WideningTheWindowWidensTheText) {
    ZentabCalcRevision revision;
    revision.show();
    auto* text = revision.findChild<QPlainTextEdit*>("Text1");
    EXPECT_EQ(revision.windowTitle(), "Revision History");
    EXPECT_TRUE(text->toPlainText().contains("Version 1.01"));
    EXPECT_TRUE(text->toPlainText().contains("Version 1.04"));
    const int width = text->width();
    const int height = text->height();
    revision.resize(revision.width() + 100, revision.height() + 40);
    EXPECT_EQ(text->width(), width + 100);
    EXPECT_EQ(text->height(), height + 40);
}

} // namespace

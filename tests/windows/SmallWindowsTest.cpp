#include "AboutTexts.h"
#include "ScriptedDialogs.h"
#include "WebBrowser.h"
#include "frmAbout.h"
#include "frmLog.h"

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
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
    // Lines written, the first line shown, and how many are shown, the note included.
    const std::tuple<int, const char*, int> cases[] = {
        {10000, "line 1", 10000},
        {10001, "[older lines dropped: 1]", 10001},
        {10002, "[older lines dropped: 2]", 10001},
    };
    for (const auto& [written, top, shownLines] : cases) {
        SCOPED_TRACE(written);
        discardLog();
        for (int i = 1; i <= written; ++i)
            Log(QStringLiteral("line %1").arg(i));
        QStringList lines = frmLog::instance().text().split("\r\n");
        ASSERT_EQ(lines.takeLast(), "");
        EXPECT_EQ(lines.size(), shownLines);
        EXPECT_EQ(lines.first(), top);
        EXPECT_EQ(lines.last(), QStringLiteral("line %1").arg(written));
        if (shownLines > frmLog::MaxLines) {
            EXPECT_EQ(lines.at(1), QStringLiteral("line %1").arg(written - frmLog::MaxLines + 1));
        }
    }
    // A line that holds a line break is two lines of the box.
    Log("two\r\nlines");
    const QStringList lines = frmLog::instance().text().split("\r\n");
    EXPECT_EQ(lines.first(), "[older lines dropped: 4]");
    EXPECT_EQ(lines.at(1), "line 5");
    discardLog();
}

class frmAboutBox : public testing::Test {
protected:
    void TearDown() override {
        if (box)
            box->close();
        discardLog();
    }

    void open() {
        box = new frmAbout;
        QSignalSpy loaded(&box->browser(), &WebBrowser::DocumentComplete);
        box->Form_Load();
        box->show();
        ASSERT_TRUE(loaded.count() > 0 || loaded.wait(5000));
    }

    QPushButton* button(const char* name) const { return box->findChild<QPushButton*>(name); }

    ScriptedDialogs dialogs;
    QPointer<frmAbout> box;
};

TEST_F(frmAboutBox, ShowsTheVersionAndTheDonationFormInTheWindowsColour) {
    discardLog();
    open();
    EXPECT_TRUE(box->findChild<QLabel*>("lblVersion")->text().startsWith("Version 1.0."));
    EXPECT_FALSE(button("cmdLog")->isVisible()); // no log yet
    const HtmlDocument page = box->browser().Document();
    ASSERT_EQ(page.getElementsByTagName("form").size(), 1);
    EXPECT_EQ(page.bgColor().toUpper().remove('#'),
              about::ColorToRGB(box->palette().color(QPalette::Window)));
}

TEST_F(frmAboutBox, TheLogButtonAppearsOnceTheLogExistsAndTogglesIt) {
    Log("a line");
    open();
    ASSERT_TRUE(button("cmdLog")->isVisible());
    QTest::mouseClick(button("cmdLog"), Qt::LeftButton);
    EXPECT_TRUE(frmLog::isShown());
    QTest::mouseClick(button("cmdLog"), Qt::LeftButton);
    EXPECT_FALSE(frmLog::isShown());
}

TEST_F(frmAboutBox, SystemInfoStartsTheDesktopToolOrSaysItIsUnavailable) {
    QTemporaryDir bin;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.path().toLocal8Bit());
    open();

    dialogs.answer(platform::vbOK);
    QTest::mouseClick(button("cmdSysInfo"), Qt::LeftButton);
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].text, "System Information Is Unavailable At This Time");
    EXPECT_EQ(dialogs.shown()[0].style, platform::vbOKOnly);
    EXPECT_TRUE(box->isVisible());

    const QString started = QDir(bin.path()).filePath("started");
    QFile tool(QDir(bin.path()).filePath("hardinfo"));
    ASSERT_TRUE(tool.open(QIODevice::WriteOnly));
    tool.write(QStringLiteral("#!/bin/sh\n: > '%1'\n").arg(started).toUtf8());
    tool.close();
    tool.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QTest::mouseClick(button("cmdSysInfo"), Qt::LeftButton);
    EXPECT_EQ(dialogs.shown().size(), 1u);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(started); }, 5000));
    qputenv("PATH", path);
}

} // namespace

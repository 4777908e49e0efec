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
#include <QToolButton>
#include <fstream>
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

TEST(frmLogWindow, KeepsEveryLineShownOrNotUntilClosedThenTheNewestWithANoteOfTheDropped) {
    discardLog();
    Log("a");
    Log("b");
    Log();
    ASSERT_TRUE(frmLog::exists() && !frmLog::isShown());
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
    // The log is for reading: typing into it changes nothing.
    QTest::keyClicks(box, "typed");
    EXPECT_EQ(frmLog::instance().text(), "a\r\nb\r\n\r\nc\r\n");
    discardLog();
    Log("new");
    EXPECT_TRUE(frmLog::instance().text() == "new\r\n" && !frmLog::isShown());

    // How many lines the box shows, its first, second and last line.
    const auto summary = [] {
        QStringList lines = frmLog::instance().text().split("\r\n");
        EXPECT_EQ(lines.takeLast(), "");
        return QStringLiteral("%1: %2 / %3 / %4")
            .arg(lines.size())
            .arg(lines.first(), lines.at(1), lines.last());
    };
    const std::pair<int, const char*> cases[] = {
        {10000, "10000: line 1 / line 2 / line 10000"},
        {10001, "10001: [older lines dropped: 1] / line 2 / line 10001"},
        {10002, "10001: [older lines dropped: 2] / line 3 / line 10002"},
    };
    for (const auto& [written, expected] : cases) {
        discardLog();
        for (int i = 1; i <= written; ++i)
            Log(QStringLiteral("line %1").arg(i));
        EXPECT_EQ(summary(), expected);
    }
    // A line that holds a line break is two lines of the box.
    Log("two\r\nlines");
    EXPECT_EQ(summary(), "10001: [older lines dropped: 4] / line 5 / lines");
    discardLog();
}

TEST(frmAboutBox, ShowsTheDonationFormInTheWindowsColourSystemInfoAndALogButtonOnceALogExists) {
    ScriptedDialogs dialogs;
    QTemporaryDir bin;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.path().toLocal8Bit());
    discardLog();
    QPointer<frmAbout> box;
    const auto open = [&] {
        if (box)
            box->close();
        box = new frmAbout;
        QSignalSpy loaded(&box->browser(), &WebBrowser::DocumentComplete);
        box->Form_Load();
        box->show();
        ASSERT_TRUE(loaded.count() > 0 || loaded.wait(5000));
    };
    const auto button = [&](const char* name) {
        return box->findChild<QPushButton*>(name);
    };
    open();
    EXPECT_FALSE(button("cmdLog")->isVisible());
    const auto* donate = box->findChild<QToolButton*>("WebBrowser1View");
    EXPECT_TRUE(donate->isEnabled());
    EXPECT_EQ(donate->text(), "Donate");
    const HtmlDocument page = box->browser().Document();
    ASSERT_EQ(page.getElementsByTagName("form").size(), 1);
    EXPECT_EQ(page.bgColor().toUpper().remove('#'),
              about::ColorToRGB(box->palette().color(QPalette::Window)));

    dialogs.answer(platform::vbOK);
    QTest::mouseClick(button("cmdSysInfo"), Qt::LeftButton);
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].text, "System Information Is Unavailable At This Time");
    const QString started = QDir(bin.path()).filePath("started");
    const QString tool = QDir(bin.path()).filePath("hardinfo");
    std::ofstream(tool.toStdString()) << "#!/bin/sh\n: > '" << started.toStdString() << "'\n";
    QFile::setPermissions(tool, QFile::ReadOwner | QFile::ExeOwner);
    QTest::mouseClick(button("cmdSysInfo"), Qt::LeftButton);
    EXPECT_EQ(dialogs.shown().size(), 1u);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(started); }, 5000));
    qputenv("PATH", path);

    Log("a line");
    open();
    ASSERT_TRUE(button("cmdLog")->isVisible());
    QTest::mouseClick(button("cmdLog"), Qt::LeftButton);
    EXPECT_TRUE(frmLog::isShown());
    QTest::mouseClick(button("cmdLog"), Qt::LeftButton);
    EXPECT_FALSE(frmLog::isShown());
    box->close();
    discardLog();
}

} // namespace

#include "frmAbout.h"

#include "AboutTexts.h"
#include "ScriptedDialogs.h"
#include "WebBrowser.h"
#include "frmLog.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(AboutTexts, ColoursAsSixHexDigitsAndVersionsInPlainDecimal) {
    EXPECT_EQ(about::ColorToRGB(QColor(236, 233, 216)), "ECE9D8");
    EXPECT_EQ(about::ColorToRGB(QColor(255, 255, 10)), "FFFF0A");
    EXPECT_EQ(about::ColorToRGB(QColor(1, 2, 3)), "010203");
    EXPECT_EQ(about::versionText(2, 10, 0), "Version 2.10.0");
}

void discardLog() {
    if (frmLog::exists())
        frmLog::instance().close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
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
    const QList<HtmlElement> inputs = page.getElementsByTagName("input");
    ASSERT_EQ(inputs.size(), 3);
    EXPECT_TRUE(inputs[2].getAttribute("value").startsWith("-----BEGIN PKCS7-----"));
    EXPECT_TRUE(inputs[2].getAttribute("value").endsWith("-----END PKCS7-----"));
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

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

TEST(ColorToRGB, WritesRedGreenBlueAsSixDigits) {
    EXPECT_EQ(about::ColorToRGB(QColor(236, 233, 216)), "ECE9D8");
    EXPECT_EQ(about::ColorToRGB(QColor(255, 255, 10)), "FFFF0A");
    EXPECT_EQ(about::ColorToRGB(QColor(0, 0, 0)), "000000");
    EXPECT_EQ(about::ColorToRGB(QColor(1, 2, 3)), "010203");
}

TEST(AboutVersion, WritesEachNumberInPlainDecimal) {
    EXPECT_EQ(about::versionText(1, 0, 7), "Version 1.0.7");
    EXPECT_EQ(about::versionText(2, 10, 0), "Version 2.10.0");
}

class frmAboutBox : public testing::Test {
protected:
    void TearDown() override {
        if (box)
            box->close();
        if (frmLog::exists())
            frmLog::instance().close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
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

TEST_F(frmAboutBox, ShowsTitleVersionAndTheDonationPage) {
    if (frmLog::exists())
        frmLog::instance().close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    open();
    EXPECT_EQ(box->windowTitle(), "About Zentab Calculator SE");
    EXPECT_EQ(box->findChild<QLabel*>("lblTitle")->text(), "Zentab Calculator SE");
    EXPECT_TRUE(box->findChild<QLabel*>("lblVersion")->text().startsWith("Version 1.0."));
    EXPECT_FALSE(button("cmdLog")->isVisible());

    const HtmlDocument page = box->browser().Document();
    const QList<HtmlElement> inputs = page.getElementsByTagName("input");
    ASSERT_EQ(inputs.size(), 3);
    EXPECT_EQ(inputs[0].getAttribute("name"), "cmd");
    EXPECT_EQ(inputs[0].getAttribute("value"), "_s-xclick");
    EXPECT_EQ(inputs[1].getAttribute("type"), "image");
    EXPECT_EQ(inputs[1].getAttribute("name"), "submit");
    const QString encrypted = inputs[2].getAttribute("value");
    EXPECT_EQ(encrypted.size(), 2520);
    EXPECT_TRUE(encrypted.startsWith("-----BEGIN PKCS7-----"));
    EXPECT_TRUE(encrypted.endsWith("-----END PKCS7-----"));
    const QList<HtmlElement> forms = page.getElementsByTagName("form");
    ASSERT_EQ(forms.size(), 1);
    EXPECT_EQ(forms[0].getAttribute("method"), "post");
    EXPECT_EQ(forms[0].getAttribute("style"), "float:left;");
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

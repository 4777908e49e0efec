#include "SettingsStore.h"

#include "ProgramLog.h"
#include "QtPrinting.h"
#include "ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace platform;

namespace {

// The store finds its folder once per process: one folder for all these
// tests, emptied before each.
class SettingsStore : public testing::Test {
protected:
    static void SetUpTestSuite() {
        home = new QTemporaryDir;
        qputenv("XDG_CONFIG_HOME", home->path().toUtf8());
    }
    static void TearDownTestSuite() { delete home; }
    void SetUp() override {
        QFile::remove(settingsFilePath());
        setProgramLog([this](const QString& line) { log.append(line); });
    }
    void TearDown() override { setProgramLog(nullptr); }

    static QByteArray contents(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static void write(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    static inline QTemporaryDir* home = nullptr;
    QStringList log;
};

TEST_F(SettingsStore, BoardAddressesAreKeysThatStayWholeValuesAreOverwrittenInTheUsersOwnFile) {
    const QString keys[] = {"http://x.proboards.com/index.cgi?board=bank",
                            "http://x.proboards.com//index.cgi?board=a%2Fb",
                            "back\\slash and 100%"};
    for (const QString& key : keys)
        SaveSetting("Boards", key, "value of " + key);
    const auto all = GetAllSettings("Boards");
    ASSERT_EQ(all.size(), 3);
    for (const auto& [key, value] : all)
        EXPECT_EQ(value + "|" + GetSetting("Boards", key), "value of " + key + "|value of " + key);
    EXPECT_TRUE(GetAllSettings("Nothing here").isEmpty());
    // Values are overwritten, and defaults stand for missing ones only.
    EXPECT_EQ(GetSetting("Metrics\\Manager", "Height", "4000"), "4000");
    SaveSetting("Metrics\\Manager", "Height", "5000");
    SaveSetting("Metrics\\Manager", "Height", "5100");
    EXPECT_EQ(GetSetting("Metrics\\Manager", "Height", "4000"), "5100");
    SaveSetting("Boards", "http://x.proboards.com/index.cgi?board=bank", "");
    EXPECT_EQ(GetSetting("Boards", "http://x.proboards.com/index.cgi?board=bank", "default"), "");
    // The file is the user's alone.
    EXPECT_EQ(QFile::permissions(settingsFilePath()),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    EXPECT_TRUE(settingsFilePath().startsWith(home->path()));
}

TEST_F(SettingsStore, ALinkInPlaceOfTheFileIsNeverFollowed) {
    QTemporaryDir elsewhere;
    const QString target = elsewhere.filePath(QStringLiteral("other.ini"));
    const QByteArray original = "[Boards]\nkey=theirs\n";
    write(target, original);
    const QFile::Permissions mode = QFile::permissions(target);
    ASSERT_TRUE(QFile::link(target, settingsFilePath()));

    SaveSetting("Boards", "other", "mine"); // the first save after the link is kept
    EXPECT_EQ(GetSetting("Boards", "key", "default"), "default");
    EXPECT_EQ(GetSetting("Boards", "other", "default"), "mine");
    EXPECT_EQ(contents(target), original);
    EXPECT_EQ(QFile::permissions(target), mode);
    EXPECT_FALSE(QFileInfo(settingsFilePath()).isSymLink());
    ASSERT_EQ(log.size(), 1);
    EXPECT_TRUE(log.front().contains(target)) << log.front().toStdString();
}

TEST_F(SettingsStore, AnUnreadableFileIsKeptAsideAndTheUserToldOnce) {
    const QByteArray damaged = "[Boards\nkey=1\n\x01\x02\xff\n";
    write(settingsFilePath(), damaged);
    ScriptedDialogs boxes;
    boxes.answer(platform::vbOK);
    EXPECT_EQ(GetSetting("Boards", "key", "default"), "default");
    SaveSetting("Boards", "key", "2");
    EXPECT_EQ(GetSetting("Boards", "key", "default"), "2");

    const QFileInfo file(settingsFilePath());
    const QStringList kept = file.dir().entryList({file.fileName() + ".corrupt-*"}, QDir::Files);
    const auto tidy = qScopeGuard([&] {
        for (const QString& name : kept)
            file.dir().remove(name);
    });
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(contents(file.dir().filePath(kept.front())), damaged);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_TRUE(boxes.shown()[0].text.contains(kept.front()))
        << boxes.shown()[0].text.toStdString();
}

} // namespace

#include "SettingsStore.h"

#include "QtPrinting.h"

#include <QFile>
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
    void SetUp() override { QFile::remove(settingsFilePath()); }

    static inline QTemporaryDir* home = nullptr;
};

TEST_F(SettingsStore, BoardAddressesAreKeysThatStayWhole) {
    const QString keys[] = {
        "http://x.proboards.com/index.cgi?board=bank",
        "http://x.proboards.com//index.cgi?board=a%2Fb",
        "back\\slash and 100%",
    };
    for (const QString& key : keys)
        SaveSetting("Boards", key, "value of " + key);
    for (const QString& key : keys)
        EXPECT_EQ(GetSetting("Boards", key), "value of " + key);

    const auto all = GetAllSettings("Boards");
    ASSERT_EQ(all.size(), 3);
    for (const auto& [key, value] : all)
        EXPECT_EQ(value, "value of " + key);
    EXPECT_TRUE(GetAllSettings("Nothing here").isEmpty());
}

TEST_F(SettingsStore, ValuesAreOverwrittenAndDefaultsStandForMissingOnes) {
    EXPECT_EQ(GetSetting("Metrics\\Manager", "Height", "4000"), "4000");
    SaveSetting("Metrics\\Manager", "Height", "5000");
    SaveSetting("Metrics\\Manager", "Height", "5100");
    EXPECT_EQ(GetSetting("Metrics\\Manager", "Height", "4000"), "5100");
    SaveSetting("Boards", "http://x.proboards.com/index.cgi?board=bank", "");
    EXPECT_EQ(GetSetting("Boards", "http://x.proboards.com/index.cgi?board=bank", "default"), "");
}

TEST_F(SettingsStore, TheFileIsTheUsersAlone) {
    SaveSetting("Boards", "http://x.proboards.com/index.cgi?board=bank", "scrambled");
    ASSERT_TRUE(QFile::exists(settingsFilePath()));
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                      QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    EXPECT_EQ(QFile::permissions(settingsFilePath()) & others, QFile::Permissions());
    EXPECT_TRUE(QFile::permissions(settingsFilePath()) & QFile::WriteOwner);
    EXPECT_TRUE(settingsFilePath().startsWith(home->path()));
}

} // namespace

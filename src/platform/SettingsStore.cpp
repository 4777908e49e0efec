#include "SettingsStore.h"

#include "Dialogs.h"
#include "PrivateFile.h"
#include "ProgramLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <memory>

namespace platform {
namespace {

constexpr QFileDevice::Permissions OwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

// QSettings reads "/" and "\" in a key as group separators and collapses "//";
// escaping them with "%" keeps a key such as a board address whole.
QString encodeKey(const QString& key) {
    QString encoded = key;
    encoded.replace('%', QLatin1String("%25"));
    encoded.replace('/', QLatin1String("%2F"));
    encoded.replace('\\', QLatin1String("%5C"));
    return encoded;
}

QString decodeKey(const QString& encoded) {
    QString key = encoded;
    key.replace(QLatin1String("%2F"), QLatin1String("/"));
    key.replace(QLatin1String("%5C"), QLatin1String("\\"));
    key.replace(QLatin1String("%25"), QLatin1String("%"));
    return key;
}

QString groupOf(const QString& section) {
    return QString(section).replace('\\', '/');
}

std::unique_ptr<QSettings> openFile(const QString& path) {
    return std::make_unique<QSettings>(path, QSettings::IniFormat);
}

// The store as it stands on disk: never through a link, and a file that cannot
// be read is kept aside for the user rather than overwritten.
std::unique_ptr<QSettings> store() {
    const QString path = settingsFilePath();
    if (!removeLinkInPlaceOf(path))
        return openFile(QString()); // remembers nothing rather than write through the link
    std::unique_ptr<QSettings> settings = openFile(path);
    if (settings->status() != QSettings::FormatError)
        return settings;
    settings.reset();
    const QString aside = moveAside(path);
    if (aside.isEmpty()) {
        logProblem(QStringLiteral("The settings file %1 can be neither read nor moved aside; "
                                  "nothing is saved to it")
                       .arg(path));
        return openFile(QString());
    }
    MsgBox(QStringLiteral("The settings file %1 could not be read. It was kept as %2, and the "
                          "program goes on with its default settings.")
               .arg(path, aside),
           vbExclamation);
    return openFile(path);
}

// A store saved over an existing file keeps that file's permissions, so the
// file is made private before anything is written into it.
void makePrivate(const QString& path) {
    if (!QFileInfo::exists(path)) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.setPermissions(OwnerOnly);
    }
    QFile::setPermissions(path, OwnerOnly);
}

} // namespace

QString settingsFilePath() {
    // Where the INI file of the application lives by the desktop's rules.
    static const QString path =
        QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("ZentabCalculator"))
            .fileName();
    return path;
}

QString GetSetting(const QString& section, const QString& key, const QString& defaultValue) {
    const std::unique_ptr<QSettings> settings = store();
    settings->beginGroup(groupOf(section));
    return settings->value(encodeKey(key), defaultValue).toString();
}

QList<QPair<QString, QString>> GetAllSettings(const QString& section) {
    const std::unique_ptr<QSettings> settings = store();
    settings->beginGroup(groupOf(section));
    QList<QPair<QString, QString>> entries;
    for (const QString& key : settings->childKeys())
        entries.append({decodeKey(key), settings->value(key).toString()});
    return entries;
}

void SaveSetting(const QString& section, const QString& key, const QString& value) {
    const std::unique_ptr<QSettings> settings = store();
    if (!settings->fileName().isEmpty())
        makePrivate(settings->fileName());
    settings->beginGroup(groupOf(section));
    settings->setValue(encodeKey(key), value);
    settings->endGroup();
    settings->sync();
}

} // namespace platform

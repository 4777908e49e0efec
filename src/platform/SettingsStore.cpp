#include "SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

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

QSettings store() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope,
                     QStringLiteral("ZentabCalculator"));
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
    return store().fileName();
}

QString GetSetting(const QString& section, const QString& key, const QString& defaultValue) {
    QSettings settings = store();
    settings.beginGroup(groupOf(section));
    return settings.value(encodeKey(key), defaultValue).toString();
}

QList<QPair<QString, QString>> GetAllSettings(const QString& section) {
    QSettings settings = store();
    settings.beginGroup(groupOf(section));
    QList<QPair<QString, QString>> entries;
    for (const QString& key : settings.childKeys())
        entries.append({decodeKey(key), settings.value(key).toString()});
    return entries;
}

void SaveSetting(const QString& section, const QString& key, const QString& value) {
    makePrivate(settingsFilePath());
    QSettings settings = store();
    settings.beginGroup(groupOf(section));
    settings.setValue(encodeKey(key), value);
    settings.endGroup();
    settings.sync();
}

} // namespace platform

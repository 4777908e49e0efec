#pragma once

#include <QList>
#include <QPair>
#include <QString>

// The per-user settings store: an INI file of the application "ZentabCalculator"
// in the user's configuration folder, readable by the user alone, since it may
// hold remembered credentials. Sections may nest with "\" ("Metrics\Manager");
// keys may be any text, board addresses included. A link in place of the file
// is removed, never followed; a file that cannot be read is moved aside and the
// user told.
namespace platform {

QString GetSetting(const QString& section, const QString& key, const QString& defaultValue = {});

// Every key and value of a section, in the store's order.
QList<QPair<QString, QString>> GetAllSettings(const QString& section);

void SaveSetting(const QString& section, const QString& key, const QString& value);

QString settingsFilePath();

} // namespace platform

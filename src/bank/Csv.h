#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace bank {

// Comma-separated values as spreadsheets read them: the first row is the
// header, a field with a comma, a quote or a line break is quoted with its
// quotes doubled, and every row ends in CR LF.
QString csvText(const QList<QStringList>& rows);

// Writes the text as UTF-8, replacing the file only once it is whole; false
// when it could not be written.
bool saveCsv(const QString& path, const QList<QStringList>& rows);

} // namespace bank

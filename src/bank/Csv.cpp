#include "Csv.h"

#include <QSaveFile>

namespace bank {
namespace {

QString field(QString text) {
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\r') &&
        !text.contains(u'\n'))
        return text;
    return u'"' + text.replace(QLatin1String("\""), QLatin1String("\"\"")) + u'"';
}

} // namespace

QString csvText(const QList<QStringList>& rows) {
    QString text;
    for (const QStringList& row : rows) {
        QStringList fields;
        for (const QString& value : row)
            fields.append(field(value));
        text += fields.join(u',') + QLatin1String("\r\n");
    }
    return text;
}

bool saveCsv(const QString& path, const QList<QStringList>& rows) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(csvText(rows).toUtf8()) >= 0 &&
           file.commit();
}

} // namespace bank

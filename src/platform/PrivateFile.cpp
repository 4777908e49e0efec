#include "PrivateFile.h"

#include "ProgramLog.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

namespace platform {

bool removeLinkInPlaceOf(const QString& path) {
    const QFileInfo info(path);
    if (!info.isSymLink())
        return true;
    const QString target = info.symLinkTarget();
    if (!QFile::remove(path)) {
        logProblem(QStringLiteral("%1 is a link to %2 that cannot be removed; nothing is read or "
                                  "written through it")
                       .arg(path, target));
        return false;
    }
    logProblem(
        QStringLiteral("%1 was a link to %2; the link was removed and nothing was read or written "
                       "through it")
            .arg(path, target));
    return true;
}

QString moveAside(const QString& path) {
    const QString stem = path + QStringLiteral(".corrupt-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = stem;
    for (int copy = 2; QFileInfo::exists(aside); ++copy)
        aside = stem + QLatin1Char('-') + QString::number(copy);
    return QFile::rename(path, aside) ? aside : QString();
}

} // namespace platform

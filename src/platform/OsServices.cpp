#include "OsServices.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTimeZone>
#include <QUrlQuery>
#include <QWindow>

namespace platform {

void setKeepOnTop(QWidget& window, bool onTop) {
    // QWidget::setWindowFlag would hide and re-create the window.
    window.winId(); // makes sure the native window exists
    if (QWindow* handle = window.windowHandle())
        handle->setFlag(Qt::WindowStaysOnTopHint, onTop);
}

void showInFront(QWidget& window) {
    window.show();
    window.raise();
    window.activateWindow();
}

QWidget* findOpenWindow(const QString& objectName) {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == objectName)
            return widget;
    return nullptr;
}

QString findProgramOnPath(const QStringList& names) {
    for (const QString& name : names) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

bool startProgram(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}

bool openPostInDefaultBrowser(const QUrl& action, const QByteArray& urlEncodedBody) {
    QString page =
        QStringLiteral("<!DOCTYPE html><html><body onload=\"document.forms[0].submit()\">"
                       "<form method=\"post\" action=\"%1\">")
            .arg(action.toString(QUrl::FullyEncoded).toHtmlEscaped());
    // Form encoding writes blanks as "+", which a query does not read back.
    const QUrlQuery fields(QString::fromLatin1(QByteArray(urlEncodedBody).replace('+', "%20")));
    for (const auto& [name, value] : fields.queryItems(QUrl::FullyDecoded))
        page += QStringLiteral("<input type=\"hidden\" name=\"%1\" value=\"%2\">")
                    .arg(name.toHtmlEscaped(), value.toHtmlEscaped());
    page += QStringLiteral("</form></body></html>");

    const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (!QDir().mkpath(folder))
        return false;
    QFile file(QDir(folder).filePath(QStringLiteral("post.html")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    file.write(page.toUtf8());
    file.close();
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file.fileName()));
}

std::optional<QString> currentTimeZoneName() {
    const QTimeZone zone = QTimeZone::systemTimeZone();
    if (!zone.isValid())
        return std::nullopt;
    const QDateTime now = QDateTime::currentDateTime();
    const auto kind = zone.isDaylightTime(now) ? QTimeZone::DaylightTime : QTimeZone::StandardTime;
    const QString name = zone.displayName(kind, QTimeZone::LongName);
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

} // namespace platform

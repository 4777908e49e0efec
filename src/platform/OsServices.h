#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QWidget>
#include <optional>

// Operating-system services the windows use.
namespace platform {

// Keeps a top-level window above other programs' windows, or returns it to
// the normal order.
void setKeepOnTop(QWidget& window, bool onTop);

// Shows a window without blocking, in front of the others, with the focus.
void showInFront(QWidget& window);

// The open top-level window with this object name, if any.
QWidget* findOpenWindow(const QString& objectName);

// The first of these programs found on the PATH; empty when there is none.
QString findProgramOnPath(const QStringList& names);

// Starts a program with its arguments, never through a shell; false when it
// could not be started.
bool startProgram(const QString& program, const QStringList& arguments = {});

// Sends a form's POST to the user's default web browser, by way of a small
// page that submits it at once.
bool openPostInDefaultBrowser(const QUrl& action, const QByteArray& urlEncodedBody);

// The name of the system's time zone: its daylight-saving name while daylight
// saving is in force, else its standard name; nothing when it is not known.
std::optional<QString> currentTimeZoneName();

} // namespace platform

#pragma once

#include <QStringList>
#include <QUrl>

namespace browser {

// The address as the log may show it: the values of the named fields and any
// password in the address read "***".
QString loggableAddress(QUrl url, const QStringList& secretFields);

} // namespace browser

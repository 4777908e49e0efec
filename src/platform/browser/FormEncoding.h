#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <utility>

namespace browser {

using FormDataSet = QList<std::pair<QString, QString>>;

// application/x-www-form-urlencoded in `charset`; characters the charset
// cannot hold are sent as numeric character references, as browsers do.
QByteArray urlEncodeFormData(const FormDataSet& data, const QString& charset);

} // namespace browser

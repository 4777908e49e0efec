#pragma once

#include <QList>
#include <QString>
#include <utility>

namespace browser {

// The top-level `var name = "literal"` declarations of one script, in source
// order, with the literals' escapes decoded. Other initialisers are skipped:
// nothing is evaluated.
QList<std::pair<QString, QString>> scriptStringVariables(const QString& script);

} // namespace browser

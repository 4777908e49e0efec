#include "MemberList.h"

namespace bank {

QString memberListLetter(const QString& userName, NameOrder order) {
    QString name;
    if (order == NameOrder::FirstName)
        name = userName.section(',', 1, 1).trimmed();
    else if (order == NameOrder::LastName)
        name = userName.trimmed();
    // A name with nothing to go by lists everyone from the start.
    return name.isEmpty() ? QStringLiteral("A") : name.left(1).toUpper();
}

QString memberListAddress(const QString& boardUrl, const QString& letter) {
    return boardUrl.section('?', 0, 0) + "?action=members&view=letter&letter=" + letter;
}

} // namespace bank

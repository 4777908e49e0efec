#pragma once

#include <QString>

// Looking up a forum member by the first letter of a name.
namespace bank {

enum class NameOrder { FirstName, LastName, All };

// The letter of the member list to open for a user name; "Last, First" names
// may be listed by either part.
QString memberListLetter(const QString& userName, NameOrder order);

// The board's member list for one letter.
QString memberListAddress(const QString& boardUrl, const QString& letter);

} // namespace bank

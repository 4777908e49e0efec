#pragma once

#include <QString>

// Files that hold the user's secrets (settings, cookies) are only ever read
// and written where they stand, never through a link that points elsewhere.
namespace platform {

// Removes a symbolic link standing where the private file belongs, and says so
// in the program's log, so that the file is written anew in its place; false
// when a link is left that must not be used.
bool removeLinkInPlaceOf(const QString& path);

// Moves a file that cannot be read aside, to path.corrupt-<date and time>, and
// returns where it went; empty when it could not be moved.
QString moveAside(const QString& path);

} // namespace platform

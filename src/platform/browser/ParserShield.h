#pragma once

#include <QString>

namespace browser {

// The HTML parser turns control characters and noncharacters into U+FFFD, where browsers keep
// them: a post read back would then differ from the one saved, and saving it again would
// destroy what it held (hidden names are written with such characters). They cross the parser
// as private-use characters of plane 16, which it keeps, and come back in every text and value.

// The markup with each such character, and each private-use character of the range used for
// them, replaced by private-use characters.
QString shieldFromParser(const QString& markup);

// A text or attribute value of the parsed tree with the shielded characters put back.
QString unshield(const QString& parsed);

} // namespace browser

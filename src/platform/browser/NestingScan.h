#pragma once

#include <QByteArrayView>

namespace browser {

// How deep the HTML parser may nest the elements of the markup (UTF-8), at
// least; the scan stops once the depth passes `limit`. The parser's work grows
// with the depth for every tag, so a deep page costs the square of its size.
// The scan follows the tags as the HTML tokenizer does and closes elements as
// the tree builder would, erring towards more depth where it simplifies: it
// counts formatting elements the parser may open again and the rows a table
// implies, and keeps elements the parser might keep.
int nestingDepth(QByteArrayView utf8, int limit);

} // namespace browser

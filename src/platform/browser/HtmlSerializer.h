#pragma once

#include "NodeTree.h"

namespace browser {

// Whether the element never has content nor an end tag.
bool isVoid(const Node& node);
// The start tag of an element, its attribute values escaped.
void appendStartTag(QString& out, const QString& name, const QList<Attribute>& attributes);
// Text escaped for the content of an element other than script and style.
void appendEscapedText(QString& out, const QString& text);

// The HTML fragment serialisation of the children of node `index`.
QString serializeChildren(const NodeTree& tree, int index);

} // namespace browser

#pragma once

#include "NodeTree.h"

namespace browser {

// The HTML fragment serialisation of the children of node `index`.
QString serializeChildren(const NodeTree& tree, int index);

} // namespace browser

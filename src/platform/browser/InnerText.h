#pragma once

#include "NodeTree.h"

namespace browser {

// innerText of element `index` as a browser without style sheets renders it.
QString innerText(const NodeTree& tree, int index);

} // namespace browser

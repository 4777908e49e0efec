#pragma once

#include "NodeTree.h"

namespace browser {

// What a viewer window shows of a page, made so that Qt's rich-text renderer
// lays it out in bounded time: the page as markup whose tables and other
// elements nest no deeper than the viewer bounds, with cell spans cut; or,
// for a page with more elements or text than the renderer can take, its text.
struct ViewerContent {
    QString text;
    bool rich = false; // markup for the renderer; otherwise plain text
};

ViewerContent viewerContent(const NodeTree& tree);

} // namespace browser

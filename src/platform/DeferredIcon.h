#pragma once

#include <QIcon>
#include <functional>

namespace platform {

// An icon read from its file only when something first draws it or asks its
// sizes. A QIcon made from a file decodes the image at once, which costs every
// start-up even where the icon theme provides the icon or nothing shows it.
QIcon deferredIcon(const QString& fileName);
// The icon `make` returns, made when something first draws it or asks its sizes.
QIcon deferredIcon(std::function<QIcon()> make);

} // namespace platform

#pragma once

#include <QProxyStyle>

namespace platform {

// The desktop's own style, but for the menu bar's overflow arrow, which is read
// only when the bar first shows it. Qt reads that image, and loads every image
// plugin to learn its format, as soon as a menu bar is made: a good part of the
// calculator's start-up for an arrow a window of its width never shows.
class StartupStyle : public QProxyStyle {
public:
    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};

} // namespace platform

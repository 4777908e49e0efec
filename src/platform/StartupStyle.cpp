#include "StartupStyle.h"

#include "DeferredIcon.h"

#include <QPointer>

namespace platform {

QIcon StartupStyle::standardIcon(StandardPixmap icon, const QStyleOption* option,
                                 const QWidget* widget) const {
    if (icon != SP_ToolBarHorizontalExtensionButton && icon != SP_ToolBarVerticalExtensionButton)
        return QProxyStyle::standardIcon(icon, option, widget);
    // The arrow may outlive the style when the application changes styles.
    return deferredIcon([style = QPointer<QStyle>(baseStyle()), icon] {
        return style ? style->standardIcon(icon) : QIcon();
    });
}

} // namespace platform

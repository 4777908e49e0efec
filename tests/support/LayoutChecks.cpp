#include "LayoutChecks.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QMainWindow>
#include <QRadioButton>
#include <QStyle>
#include <gtest/gtest.h>
#include <optional>

namespace {

QString caption(const QString& text) {
    QString shown = text;
    return shown.replace("&&", "\x01").remove('&').replace('\x01', '&');
}

QString name(const QWidget& control) {
    return control.objectName().isEmpty() ? control.metaObject()->className()
                                          : control.objectName();
}

// How much room the control's text needs, against how much it has; nothing to say when
// the control shows no text of its own.
std::optional<std::pair<int, int>> textRoom(const QWidget& control) {
    if (const auto* label = qobject_cast<const QLabel*>(&control)) {
        if (label->text().isEmpty() || label->textFormat() == Qt::RichText)
            return std::nullopt;
        if (label->wordWrap())
            return std::pair(label->heightForWidth(label->width()), label->height());
        return std::pair(label->fontMetrics().horizontalAdvance(caption(label->text())),
                         label->contentsRect().width());
    }
    if (qobject_cast<const QCheckBox*>(&control) || qobject_cast<const QRadioButton*>(&control))
        return std::pair(control.sizeHint().width(), control.width());
    if (const auto* button = qobject_cast<const QAbstractButton*>(&control)) {
        if (button->text().isEmpty())
            return std::nullopt;
        // The style draws a caption within the button's frame and cuts off what is wider.
        const int frame =
            2 * button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
        return std::pair(button->fontMetrics().horizontalAdvance(caption(button->text())) + frame,
                         button->width());
    }
    return std::nullopt;
}

} // namespace

QStringList layoutFaults(const QWidget& window) {
    const auto* main = qobject_cast<const QMainWindow*>(&window);
    const QWidget& area = main && main->centralWidget() ? *main->centralWidget() : window;
    QList<const QWidget*> controls;
    for (const QWidget* control : area.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (control->isVisible() && !control->isWindow())
            controls.append(control);
    QStringList faults;
    for (qsizetype i = 0; i < controls.size(); ++i) {
        const QWidget& a = *controls[i];
        if (!area.rect().contains(a.geometry()))
            faults.append(name(a) + " lies outside the window");
        for (qsizetype j = i + 1; j < controls.size(); ++j)
            // Designs in twips may round two neighbours onto one shared row of pixels.
            if (const QRect both = a.geometry() & controls[j]->geometry();
                both.width() > 1 && both.height() > 1)
                faults.append(name(a) + " and " + name(*controls[j]) + " overlap");
        if (const auto room = textRoom(a); room && room->first > room->second)
            faults.append(QStringLiteral("%1 needs %2 pixels for its text and has %3")
                              .arg(name(a))
                              .arg(room->first)
                              .arg(room->second));
    }
    return faults;
}

bool LayoutWatch::eventFilter(QObject* watched, QEvent* event) {
    // A window gets its show event once its controls are shown and laid out.
    if (event->type() == QEvent::Show && watched->isWidgetType())
        if (const auto* window = static_cast<const QWidget*>(watched); window->isWindow())
            for (const QString& fault : layoutFaults(*window))
                ADD_FAILURE() << name(*window).toStdString() << ": " << fault.toStdString();
    return false;
}

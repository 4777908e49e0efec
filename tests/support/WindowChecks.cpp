#include "WindowChecks.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QRadioButton>
#include <QStyle>
#include <gtest/gtest.h>
#include <optional>

namespace {

// A caption as shown: "&&" is an ampersand, any other "&" marks the next letter as a key.
QString caption(QString text) {
    return text.replace("&&", "\x01").remove('&').replace('\x01', '&');
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

namespace {

// The controls the window shows, without the parts of a control: a combo box's own line
// edit, a scroll area's viewport and bars.
QList<const QWidget*> shownControls(const QWidget& window) {
    QList<const QWidget*> controls;
    for (const QWidget* control : window.findChildren<QWidget*>()) {
        const QWidget* parent = control->parentWidget();
        if (control->isVisible() && control->window() == &window &&
            !qobject_cast<const QComboBox*>(parent) &&
            !qobject_cast<const QAbstractScrollArea*>(parent))
            controls.append(control);
    }
    return controls;
}

// Boxes, lists, text areas and buttons: what a user reads or works with.
bool isInput(const QWidget& control) {
    return qobject_cast<const QLineEdit*>(&control) || qobject_cast<const QComboBox*>(&control) ||
           qobject_cast<const QAbstractScrollArea*>(&control) ||
           qobject_cast<const QAbstractSpinBox*>(&control) ||
           qobject_cast<const QAbstractButton*>(&control);
}

} // namespace

QStringList unnamedControls(const QWidget& window) {
    QStringList unnamed;
    for (const QWidget* control : shownControls(window)) {
        const auto* button = qobject_cast<const QAbstractButton*>(control);
        if (isInput(*control) && control->accessibleName().isEmpty() &&
            (!button || caption(button->text()).isEmpty()))
            unnamed.append(name(*control));
    }
    return unnamed;
}

QStringList controlsWithoutObjectName(const QWidget& window) {
    QStringList anonymous;
    for (const QWidget* control : shownControls(window))
        if ((isInput(*control) || qobject_cast<const QLabel*>(control) ||
             qobject_cast<const QGroupBox*>(control)) &&
            control->objectName().isEmpty())
            anonymous.append(name(*control) + " \"" + control->accessibleName() + "\"");
    return anonymous;
}

bool WindowWatch::eventFilter(QObject* watched, QEvent* event) {
    // A window gets its show event once its controls are shown and laid out.
    if (event->type() == QEvent::Show && watched->isWidgetType())
        if (const auto* window = static_cast<const QWidget*>(watched); window->isWindow()) {
            for (const QString& fault : layoutFaults(*window))
                ADD_FAILURE() << name(*window).toStdString() << ": " << fault.toStdString();
            for (const QString& control : unnamedControls(*window))
                ADD_FAILURE() << name(*window).toStdString() << ": " << control.toStdString()
                              << " has no name a screen reader could speak";
            for (const QString& control : controlsWithoutObjectName(*window))
                ADD_FAILURE() << name(*window).toStdString() << ": " << control.toStdString()
                              << " has no object name to be found by";
            // The title is what the task bar and a screen reader call the window by.
            const Qt::WindowType type = window->windowType();
            if ((type == Qt::Window || type == Qt::Dialog) && window->windowTitle().isEmpty())
                ADD_FAILURE() << name(*window).toStdString() << " has no title";
        }
    return false;
}

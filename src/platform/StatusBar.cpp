#include "StatusBar.h"

#include <QHBoxLayout>
#include <QMouseEvent>

StatusBar::StatusBar(QWidget* parent) : QFrame(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
}

void StatusBar::addPanel(const QString& key, int width, int minimumWidth, bool stretch) {
    auto* label = new QLabel(this);
    label->setObjectName(QStringLiteral("StatusBar1_Panel%1").arg(panels_.size() + 1));
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setIndent(2);
    label->setMinimumWidth(minimumWidth);
    label->setAccessibleName(key.isEmpty()
                                 ? QStringLiteral("Status panel %1").arg(panels_.size() + 1)
                                 : QStringLiteral("Status panel %1").arg(key));
    if (stretch) {
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        static_cast<QHBoxLayout*>(layout())->addWidget(label, 1);
    } else {
        label->setFixedWidth(width);
        static_cast<QHBoxLayout*>(layout())->addWidget(label);
    }
    panels_.append({key, label, QString()});
}

int StatusBar::position(const QString& key) const {
    for (int i = 0; i < panels_.size(); ++i)
        if (panels_[i].key == key)
            return i + 1;
    return 0;
}

QString StatusBar::text(int position) const {
    return panels_.at(position - 1).label->text();
}

void StatusBar::setText(int position, const QString& text) {
    QLabel* label = panels_[position - 1].label;
    if (label->text() == text)
        return;
    label->setText(text);
    label->setToolTip(text); // a long message may not fit its panel
}

QString StatusBar::tag(int position) const {
    return panels_.at(position - 1).tag;
}

void StatusBar::setTag(int position, const QString& tag) {
    panels_[position - 1].tag = tag;
}

QRect StatusBar::panelGeometry(int position) const {
    return panels_.at(position - 1).label->geometry();
}

void StatusBar::mouseDoubleClickEvent(QMouseEvent* event) {
    for (int i = 0; i < panels_.size(); ++i) {
        if (panels_[i].label->geometry().contains(event->position().toPoint())) {
            emit PanelDblClick(i + 1);
            return;
        }
    }
    QFrame::mouseDoubleClickEvent(event);
}

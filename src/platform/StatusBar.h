#pragma once

#include <QFrame>
#include <QLabel>
#include <QList>
#include <QString>

// A status bar of sunken panels, addressed by position (from 1) or by key,
// each with a text and a free tag, that reports double-clicks by position.
class StatusBar : public QFrame {
    Q_OBJECT
public:
    explicit StatusBar(QWidget* parent = nullptr);

    // The last panel added with stretch takes the width the others leave.
    void addPanel(const QString& key, int width, int minimumWidth, bool stretch = false);

    int panelCount() const { return static_cast<int>(panels_.size()); }
    int position(const QString& key) const; // 0 when there is no such panel
    QString text(int position) const;
    void setText(int position, const QString& text);
    QString tag(int position) const;
    void setTag(int position, const QString& tag);
    QRect panelGeometry(int position) const;

signals:
    void PanelDblClick(int position);

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    struct Panel {
        QString key;
        QLabel* label;
        QString tag;
    };
    QList<Panel> panels_;
};

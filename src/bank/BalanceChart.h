#pragma once

#include <QList>
#include <QPointF>
#include <QString>
#include <functional>
#include <memory>

class QWidget;

namespace bank {

// The chart of a balance over time. It is drawn by Qt Charts from a module of
// its own, loaded when the first chart is made: linked into the program, that
// library's loading would slow every start-up for a window few users open.
class BalanceChart {
public:
    virtual ~BalanceChart() = default;
    virtual QWidget* widget() = 0;
    // Each point is (milliseconds since the epoch, Galleons), oldest first.
    virtual void setPoints(const QList<QPointF>& points) = 0;
    // Told the time of a point the mouse comes to rest on, and when it leaves.
    virtual void onHovered(std::function<void(double msecs, bool over)> handler) = 0;
};

// The chart as a child of parent; nothing, with the reason in error, when its
// module cannot be loaded.
std::unique_ptr<BalanceChart> makeBalanceChart(QWidget* parent, QString& error);

} // namespace bank

// The module's one entry point, zentab_make_balance_chart.
using MakeBalanceChart = bank::BalanceChart*(QWidget* parent);

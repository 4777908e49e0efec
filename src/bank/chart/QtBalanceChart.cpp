// The balance chart module: all of the program that uses Qt Charts.
#include "BalanceChart.h"

#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QValueAxis>
#include <algorithm>

namespace {

constexpr double MsecsPerDay = 24 * 60 * 60 * 1000.0;

class QtBalanceChart : public bank::BalanceChart {
public:
    explicit QtBalanceChart(QWidget* parent) : view_(new QChartView(parent)) {
        view_->setRenderHint(QPainter::Antialiasing);
        series_->setName("Balance in Galleons");
        series_->setPointsVisible(true);
        view_->chart()->addSeries(series_);
        view_->chart()->legend()->hide();
    }

    QWidget* widget() override { return view_; }

    void setPoints(const QList<QPointF>& points) override {
        series_->replace(points);
        QChart* chart = view_->chart();
        auto* time = new QDateTimeAxis;
        time->setFormat(QStringLiteral("MMM dd yyyy"));
        auto* galleons = new QValueAxis;
        galleons->setTitleText("Galleons");
        chart->addAxis(time, Qt::AlignBottom);
        chart->addAxis(galleons, Qt::AlignLeft);
        series_->attachAxis(time);
        series_->attachAxis(galleons);
        if (points.isEmpty())
            return;
        // A single point still needs a span to be drawn in.
        time->setRange(QDateTime::fromMSecsSinceEpoch(qint64(points.front().x() - MsecsPerDay)),
                       QDateTime::fromMSecsSinceEpoch(qint64(points.back().x() + MsecsPerDay)));
        const auto [low, high] =
            std::minmax_element(points.begin(), points.end(),
                                [](const auto& a, const auto& b) { return a.y() < b.y(); });
        galleons->setRange(std::min(0.0, low->y()), high->y() * 1.1 + 1);
    }

    void onHovered(std::function<void(double msecs, bool over)> handler) override {
        QObject::connect(series_, &QLineSeries::hovered, view_,
                         [handler](const QPointF& point, bool over) { handler(point.x(), over); });
    }

private:
    QChartView* view_;
    QLineSeries* series_ = new QLineSeries; // owned by the chart once added
};

} // namespace

extern "C" Q_DECL_EXPORT bank::BalanceChart* zentab_make_balance_chart(QWidget* parent) {
    return new QtBalanceChart(parent);
}

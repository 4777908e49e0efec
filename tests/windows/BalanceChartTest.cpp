#include "BalanceChart.h"

#include <QChartView>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QValueAxis>
#include <gtest/gtest.h>

namespace {

constexpr double Day = 24 * 60 * 60 * 1000.0;
const double Dec1 =
    double(QDateTime(QDate(2026, 12, 1), QTime(12, 0), Qt::UTC).toMSecsSinceEpoch());

QChart& chartOf(bank::BalanceChart& chart) {
    auto* view = qobject_cast<QChartView*>(chart.widget());
    EXPECT_NE(view, nullptr);
    return *view->chart();
}

QLineSeries& seriesOf(bank::BalanceChart& chart) {
    auto* series = qobject_cast<QLineSeries*>(chartOf(chart).series().value(0));
    EXPECT_NE(series, nullptr);
    return *series;
}

} // namespace

// The dates run a day beyond the first and last balance, so that a lone balance has a span
// to be drawn in; the Galleons start at nought unless a balance lies below it, and end a
// little above the highest.
TEST(BalanceChart, ItsScalesSpanEveryBalance) {
    struct Case {
        const char* name;
        QList<QPointF> points;
        double firstDate, lastDate, lowest, highest;
    };
    const Case cases[] = {
        {"two balances", {{Dec1, 5}, {Dec1 + 3 * Day, 12}}, Dec1 - Day, Dec1 + 4 * Day, 0, 14.2},
        {"one balance", {{Dec1, 3}}, Dec1 - Day, Dec1 + Day, 0, 4.3},
        {"below nought", {{Dec1, -4}, {Dec1 + Day, 2}}, Dec1 - Day, Dec1 + 2 * Day, -4, 3.2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QWidget parent;
        QString error;
        const auto chart = bank::makeBalanceChart(&parent, error);
        ASSERT_TRUE(chart) << error.toStdString();
        chart->setPoints(c.points);

        const QList<QAbstractAxis*> dates = chartOf(*chart).axes(Qt::Horizontal);
        const QList<QAbstractAxis*> galleons = chartOf(*chart).axes(Qt::Vertical);
        ASSERT_EQ(dates.size(), 1);
        ASSERT_EQ(galleons.size(), 1);
        const auto* dateAxis = qobject_cast<QDateTimeAxis*>(dates[0]);
        const auto* galleonAxis = qobject_cast<QValueAxis*>(galleons[0]);
        ASSERT_NE(dateAxis, nullptr);
        ASSERT_NE(galleonAxis, nullptr);
        EXPECT_EQ(chartOf(*chart).axes(Qt::Horizontal, &seriesOf(*chart)), dates);
        EXPECT_EQ(chartOf(*chart).axes(Qt::Vertical, &seriesOf(*chart)), galleons);
        EXPECT_EQ(dateAxis->format(), "MMM dd yyyy");
        EXPECT_EQ(double(dateAxis->min().toMSecsSinceEpoch()), c.firstDate);
        EXPECT_EQ(double(dateAxis->max().toMSecsSinceEpoch()), c.lastDate);
        EXPECT_EQ(galleonAxis->titleText(), "Galleons");
        EXPECT_DOUBLE_EQ(galleonAxis->min(), c.lowest);
        EXPECT_DOUBLE_EQ(galleonAxis->max(), c.highest);
        EXPECT_EQ(seriesOf(*chart).points(), c.points);
    }
}

// The history window learns which balance the mouse rests on by its time.
TEST(BalanceChart, TellsTheTimeOfTheBalanceUnderTheMouse) {
    QWidget parent;
    QString error;
    const auto chart = bank::makeBalanceChart(&parent, error);
    ASSERT_TRUE(chart) << error.toStdString();
    chart->setPoints({{Dec1, 5}, {Dec1 + Day, 7}});
    QList<std::pair<double, bool>> told;
    chart->onHovered([&told](double msecs, bool over) { told.append({msecs, over}); });
    emit seriesOf(*chart).hovered(QPointF(Dec1 + Day, 7), true);
    emit seriesOf(*chart).hovered(QPointF(Dec1 + Day, 7), false);
    EXPECT_EQ(told, (QList<std::pair<double, bool>>{{Dec1 + Day, true}, {Dec1 + Day, false}}));
}

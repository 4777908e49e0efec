#include "frmHistory.h"

#include "Twips.h"

#include <QChart>
#include <QChartView>
#include <QCloseEvent>
#include <QCursor>
#include <QDateTimeAxis>
#include <QHeaderView>
#include <QLineSeries>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>

namespace {

constexpr double KnutsPerGalleon = 493.0;

QString pointText(const bank::HistoryPoint& point) {
    return point.made.toString(QStringLiteral("MMM dd, yyyy h:mm ap")) + "\n" + point.amount +
           "\nOther party: " + point.party + "\nBalance: " + bank::coinsText(point.balanceKnuts);
}

} // namespace

frmHistory::frmHistory(const bank::BooksReader::Account& account, const QString& boardUrl,
                       const bank::BooksReader::EditAddress& editAddress)
    : lblStatus(new QLabel("Reading the account...", this)), chtBalance(new QChartView(this)),
      lstItems(new QTreeWidget(this)), series_(new QLineSeries), account_(account),
      reader_(std::make_unique<bank::BooksReader>(
          bank::ForumWait([this] { return !closeWhenDone_; }, 100), boardUrl, editAddress)) {
    setObjectName("frmHistory");
    setWindowTitle("History of " + account.name);
    setAttribute(Qt::WA_DeleteOnClose);
    lblStatus->setObjectName("lblStatus");
    chtBalance->setObjectName("chtBalance");
    chtBalance->setAccessibleName("Balance over time");
    chtBalance->setRenderHint(QPainter::Antialiasing);
    lstItems->setObjectName("lstItems");
    lstItems->setAccessibleName("Transactions");
    lstItems->setRootIsDecorated(false);
    lstItems->setHeaderLabels({"Date", "Amount", "Other party", "Balance"});
    lstItems->header()->setSectionResizeMode(QHeaderView::ResizeToContents);

    series_->setName("Balance in Galleons");
    series_->setPointsVisible(true);
    connect(series_, &QLineSeries::hovered, this, &frmHistory::Series_Hovered);
    chtBalance->chart()->addSeries(series_);
    chtBalance->chart()->legend()->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblStatus);
    layout->addWidget(chtBalance, 3);
    layout->addWidget(lstItems, 1);
    const platform::Twips twips(*this);
    resize(twips.px(9000), twips.px(6500));
    QTimer::singleShot(0, this, &frmHistory::readAccount);
}

frmHistory::~frmHistory() = default;

void frmHistory::readAccount() {
    reading_ = true;
    const auto record = reader_->read(account_);
    reading_ = false;
    if (closeWhenDone_) {
        close();
        return;
    }
    if (!record) {
        lblStatus->setText("The thread of " + account_.name + " could not be read.");
        return;
    }
    showHistory(bank::balanceHistory(*record));
}

void frmHistory::showHistory(const QList<bank::HistoryPoint>& points) {
    points_ = points;
    lblStatus->setText(points.isEmpty() ? "The account has no dated transactions yet."
                                        : QStringLiteral("%1 transactions").arg(points.size()));
    for (const bank::HistoryPoint& point : points) {
        series_->append(double(point.made.toMSecsSinceEpoch()),
                        point.balanceKnuts / KnutsPerGalleon);
        new QTreeWidgetItem(lstItems,
                            {point.made.toString(QStringLiteral("MMM dd, yyyy h:mm ap")),
                             point.amount, point.party, bank::coinsText(point.balanceKnuts)});
    }
    QChart* chart = chtBalance->chart();
    auto* time = new QDateTimeAxis;
    time->setFormat(QStringLiteral("MMM dd yyyy"));
    auto* galleons = new QValueAxis;
    galleons->setTitleText("Galleons");
    chart->addAxis(time, Qt::AlignBottom);
    chart->addAxis(galleons, Qt::AlignLeft);
    series_->attachAxis(time);
    series_->attachAxis(galleons);
    if (!points.isEmpty()) {
        // A single point still needs a span to be drawn in.
        time->setRange(points.front().made.addDays(-1), points.back().made.addDays(1));
        const auto [low, high] =
            std::minmax_element(points.begin(), points.end(), [](const auto& a, const auto& b) {
                return a.balanceKnuts < b.balanceKnuts;
            });
        galleons->setRange(std::min(0.0, low->balanceKnuts / KnutsPerGalleon),
                           high->balanceKnuts / KnutsPerGalleon * 1.1 + 1);
    }
    lstItems->setFocus();
}

void frmHistory::Series_Hovered(const QPointF& point, bool state) {
    if (!state || points_.isEmpty()) {
        QToolTip::hideText();
        return;
    }
    const auto nearest = std::min_element(points_.begin(), points_.end(), [&](auto& a, auto& b) {
        return std::abs(a.made.toMSecsSinceEpoch() - point.x()) <
               std::abs(b.made.toMSecsSinceEpoch() - point.x());
    });
    QToolTip::showText(QCursor::pos(), pointText(*nearest), chtBalance);
}

void frmHistory::closeEvent(QCloseEvent* event) {
    // The reading ends first; the window can go once it has.
    if (reading_) {
        closeWhenDone_ = true;
        event->ignore();
        return;
    }
    event->accept();
}

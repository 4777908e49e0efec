#include "frmHistory.h"

#include "Twips.h"

#include <QCloseEvent>
#include <QCursor>
#include <QHeaderView>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>

namespace {

constexpr double KnutsPerGalleon = 493.0;

QString pointText(const bank::HistoryPoint& point) {
    return point.made.toString(QStringLiteral("MMM dd, yyyy h:mm ap")) + "\n" + point.amount +
           "\nOther party: " + point.party + "\nBalance: " + bank::coinsText(point.balanceKnuts);
}

} // namespace

frmHistory::frmHistory(const bank::BooksReader::Account& account, const QString& boardUrl,
                       const bank::BooksReader::EditAddress& editAddress)
    : lblStatus(new QLabel("Reading the account...", this)), lstItems(new QTreeWidget(this)),
      account_(account),
      reader_(std::make_unique<bank::BooksReader>(
          bank::ForumWait([this] { return !closeWhenDone_; }, 100), boardUrl, editAddress)) {
    setObjectName("frmHistory");
    setWindowTitle("History of " + account.name);
    setAttribute(Qt::WA_DeleteOnClose);
    lblStatus->setObjectName("lblStatus");
    QString chartError;
    chart_ = bank::makeBalanceChart(this, chartError);
    if (chart_) {
        chtBalance = chart_->widget();
        chart_->onHovered([this](double msecs, bool over) { Series_Hovered(msecs, over); });
    } else {
        chtBalance = new QLabel("The chart could not be loaded: " + chartError, this);
    }
    chtBalance->setObjectName("chtBalance");
    chtBalance->setAccessibleName("Balance over time");
    lstItems->setObjectName("lstItems");
    lstItems->setAccessibleName("Transactions");
    lstItems->setRootIsDecorated(false);
    lstItems->setHeaderLabels({"Date", "Amount", "Other party", "Balance"});
    lstItems->header()->setSectionResizeMode(QHeaderView::ResizeToContents);

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
    QList<QPointF> balances;
    for (const bank::HistoryPoint& point : points) {
        balances.append(
            {double(point.made.toMSecsSinceEpoch()), point.balanceKnuts / KnutsPerGalleon});
        new QTreeWidgetItem(lstItems,
                            {point.made.toString(QStringLiteral("MMM dd, yyyy h:mm ap")),
                             point.amount, point.party, bank::coinsText(point.balanceKnuts)});
    }
    if (chart_)
        chart_->setPoints(balances);
    lstItems->setFocus();
}

void frmHistory::Series_Hovered(double msecs, bool state) {
    if (!state || points_.isEmpty()) {
        QToolTip::hideText();
        return;
    }
    const auto nearest = std::min_element(points_.begin(), points_.end(), [&](auto& a, auto& b) {
        return std::abs(a.made.toMSecsSinceEpoch() - msecs) <
               std::abs(b.made.toMSecsSinceEpoch() - msecs);
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

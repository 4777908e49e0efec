#pragma once

#include "BalanceChart.h"
#include "BooksReader.h"

#include <QLabel>
#include <QTreeWidget>
#include <QWidget>
#include <memory>

// The balance of one account over time, drawn from its transaction items,
// archives included; each point names its transaction when the mouse rests
// on it, and the list below the chart holds the same for the keyboard.
class frmHistory : public QWidget {
    Q_OBJECT
public:
    frmHistory(const bank::BooksReader::Account& account, const QString& boardUrl,
               const bank::BooksReader::EditAddress& editAddress);
    ~frmHistory() override;

    void Series_Hovered(double msecs, bool state);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void readAccount();
    void showHistory(const QList<bank::HistoryPoint>& points);

    QLabel* lblStatus;
    std::unique_ptr<bank::BalanceChart> chart_; // none when its module is missing
    QWidget* chtBalance;                        // the chart, or why there is none
    QTreeWidget* lstItems;
    bank::BooksReader::Account account_;
    std::unique_ptr<bank::BooksReader> reader_;
    QList<bank::HistoryPoint> points_;
    bool reading_ = false;
    bool closeWhenDone_ = false;
};

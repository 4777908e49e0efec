#pragma once

#include "BooksReader.h"
#include "SingleWindow.h"

#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QWidget>
#include <memory>

class WebBrowser;

// Check Books: reads every account of the board and lists what no longer
// balances: items without their other half, coin blocks that differ from
// the newest item, posts that cannot be read. It writes nothing to the forum.
class frmBooks : public QWidget, public platform::SingleWindow<frmBooks> {
    Q_OBJECT
public:
    enum Column { Finding, Account, Date, Amount, Details };

    // Starts reading the accounts once the window shows.
    void Form_Open(const QList<bank::BooksReader::Account>& accounts, const QString& boardUrl,
                   const bank::BooksReader::EditAddress& editAddress);

    bool checking() const { return checking_; }

    void cmdCancel_Click();
    void cmdExport_Click();
    void lstFindings_DblClick(QTreeWidgetItem* item);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    friend class platform::SingleWindow<frmBooks>;
    frmBooks();
    void checkBooks();
    void showReport(const bank::BooksReport& report);

    QLabel* lblProgress;
    QTreeWidget* lstFindings;
    QLabel* lblTotals;
    QPushButton* cmdExport;
    QPushButton* cmdCancel;
    WebBrowser* WebBrowser1; // opens a finding's thread in the viewer

    QList<bank::BooksReader::Account> accounts_;
    std::unique_ptr<bank::BooksReader> reader_;
    bool checking_ = false;
    bool cancelled_ = false;
    bool closeWhenDone_ = false;
};

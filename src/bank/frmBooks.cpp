#include "frmBooks.h"

#include "Csv.h"
#include "Dialogs.h"
#include "Twips.h"
#include "WebBrowser.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int ThreadRole = Qt::UserRole;
const QStringList Headings = {"Finding", "Account", "Date", "Amount", "Details"};

} // namespace

frmBooks::frmBooks()
    : lblProgress(new QLabel(this)), lstFindings(new QTreeWidget(this)),
      lblTotals(new QLabel(this)), cmdExport(new QPushButton("&Export...", this)),
      cmdCancel(new QPushButton("Cancel", this)), WebBrowser1(new WebBrowser(this)) {
    setObjectName("frmBooks");
    setWindowTitle("Check Books");
    setAttribute(Qt::WA_DeleteOnClose);
    lblProgress->setObjectName("lblProgress");
    lstFindings->setObjectName("lstFindings");
    lstFindings->setAccessibleName("Findings");
    lstFindings->setRootIsDecorated(false);
    lstFindings->setHeaderLabels(Headings);
    lstFindings->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    lblTotals->setObjectName("lblTotals");
    lblTotals->setWordWrap(true);
    cmdExport->setObjectName("cmdExport");
    cmdExport->setEnabled(false);
    cmdCancel->setObjectName("cmdCancel");
    WebBrowser1->setObjectName("WebBrowser1");

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdExport);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblProgress);
    layout->addWidget(lstFindings, 1);
    layout->addWidget(lblTotals);
    layout->addLayout(buttons);
    const platform::Twips twips(*this);
    resize(twips.px(9000), twips.px(5000));

    connect(cmdCancel, &QPushButton::clicked, this, &frmBooks::cmdCancel_Click);
    connect(cmdExport, &QPushButton::clicked, this, &frmBooks::cmdExport_Click);
    connect(lstFindings, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { lstFindings_DblClick(item); });
}

void frmBooks::Form_Open(const QList<bank::BooksReader::Account>& accounts, const QString& boardUrl,
                         const bank::BooksReader::EditAddress& editAddress) {
    if (checking_)
        return;
    accounts_ = accounts;
    reader_ = std::make_unique<bank::BooksReader>(
        bank::ForumWait([this] { return !cancelled_; }, 100), boardUrl, editAddress);
    checking_ = true;
    cancelled_ = false;
    cmdExport->setEnabled(false);
    cmdCancel->setText("Cancel");
    lstFindings->clear();
    lblTotals->clear();
    // Read once the window shows, so that its progress can be seen.
    QTimer::singleShot(0, this, &frmBooks::checkBooks);
}

void frmBooks::checkBooks() {
    QList<bank::AccountRecord> records;
    QStringList unread;
    for (const bank::BooksReader::Account& account : accounts_) {
        lblProgress->setText(QStringLiteral("%1 of %2 accounts read")
                                 .arg(records.size() + unread.size())
                                 .arg(accounts_.size()));
        const auto record = reader_->read(account);
        if (cancelled_)
            break;
        if (record)
            records.append(*record);
        else
            unread.append(account.threadNumber);
    }
    checking_ = false;
    cmdCancel->setText("Close");
    if (closeWhenDone_) {
        close();
        return;
    }
    if (cancelled_) {
        // Half the books would show every transaction with an unread account as unmirrored.
        lblProgress->setText(
            QStringLiteral("Cancelled after %1 of %2 accounts: nothing was checked")
                .arg(records.size() + unread.size())
                .arg(accounts_.size()));
        return;
    }
    lblProgress->setText(QStringLiteral("%1 of %1 accounts read").arg(accounts_.size()));
    bank::BooksReport report = bank::checkBooks(records);
    for (const bank::BooksReader::Account& account : accounts_)
        if (unread.contains(account.threadNumber))
            report.findings.append({bank::BooksFinding::Unreadable,
                                    account.threadNumber,
                                    account.name,
                                    {},
                                    {},
                                    "Its thread page could not be read"});
    showReport(report);
}

void frmBooks::showReport(const bank::BooksReport& report) {
    for (const bank::BooksFinding& finding : report.findings) {
        auto* row =
            new QTreeWidgetItem(lstFindings, {bank::kindText(finding.kind), finding.account,
                                              finding.date, finding.amount, finding.detail});
        row->setData(Finding, ThreadRole, finding.threadNumber);
        row->setToolTip(Details, finding.detail);
    }
    lblTotals->setText("All balances together: " + bank::coinsText(report.totalKnuts) +
                       ". Items without their other half account for " +
                       bank::coinsText(report.unmirroredKnuts) + " of it." +
                       (report.findings.isEmpty() ? " The books balance." : QString()));
    cmdExport->setEnabled(true);
    lstFindings->setFocus();
}

void frmBooks::cmdCancel_Click() {
    if (checking_)
        cancelled_ = true;
    else
        close();
}

void frmBooks::closeEvent(QCloseEvent* event) {
    // The reading ends first; the window can go once it has.
    if (checking_) {
        cancelled_ = closeWhenDone_ = true;
        event->ignore();
        return;
    }
    if (current() == this)
        current().clear();
    event->accept();
}

void frmBooks::cmdExport_Click() {
    QList<QStringList> rows{Headings};
    for (int i = 0; i < lstFindings->topLevelItemCount(); ++i) {
        QStringList row;
        for (int column = 0; column < Headings.size(); ++column)
            row.append(lstFindings->topLevelItem(i)->text(column));
        rows.append(row);
    }
    const QString path = platform::SaveCsvFileName("Export the findings", "findings.csv");
    if (!path.isEmpty() && !bank::saveCsv(path, rows))
        platform::MsgBox("The findings could not be saved to " + path, platform::vbExclamation);
}

void frmBooks::lstFindings_DblClick(QTreeWidgetItem* item) {
    if (item && reader_)
        WebBrowser1->Navigate(reader_->threadAddress(item->data(Finding, ThreadRole).toString()),
                              WebBrowser::navOpenInNewWindow);
}

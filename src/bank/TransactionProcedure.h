#pragma once

#include "TransactionRecord.h"

#include <QPointer>
#include <QString>
#include <functional>

class FrmVaultmeres;
class HtmlDocument;
class QTreeWidgetItem;
class frmModify;
namespace bank {
class TransactionCalculator;
}

// What OK in the transaction dialog runs: the checks, the amount typed on the
// calculator, the funds check, then the account's post and the counterpart's
// post rewritten through the forum's edit form one after the other, each
// verified, a long list archived into a reply first. Every wait lets the
// windows work; it ends when the dialog, the manager or the calculator goes
// away or the program quits.
class TransactionProcedure {
public:
    static constexpr int PollMs = 500;
    // How the wait for the calculator's equals ended.
    enum AmountWait { AmountTyped = 1, DialogGone = 2 };

    explicit TransactionProcedure(frmModify& dialog);
    ~TransactionProcedure();
    TransactionProcedure(const TransactionProcedure&) = delete;
    TransactionProcedure& operator=(const TransactionProcedure&) = delete;

    void run();

    // Posts a list block as an archive reply in the thread of the dialog's edit address.
    bool PostReply(const QString& text, bool NoReorder = false);

private:
    struct Side {
        QString rowKey;
        QString name;
        bank::CoinTexts before;
        bank::CoinTexts after;
        QString balanceDollarText;
    };

    enum class Next { Continue, Finish, Stop };

    bool present() const;
    bool waitWhile(const std::function<bool()>& condition);
    bool checkEntries();
    bool resolveCounterpart();
    void describeTransaction();
    void loadIntoCalculator(const bank::CoinTexts& balance);
    bool waitForAmount();
    bool takeAmount();
    void decline();
    bool saveAccount();
    bool saveCounterpart();
    Next readCounterpartPage();
    bool computeCounterpart();
    bool writePost(const Side& side, const QString& item, bool setSubject);
    bool saveForm(const QString& logBefore, const QString& logAfter);
    bool savedAs(const QString& name);
    QString archived(const QString& tail, const QString& name);
    bool postArchiveReply(const QString& text, bool noReorder);
    void finish();
    QTreeWidgetItem* row(const QString& key) const;
    void writeRow(const QString& key, const bank::CoinTexts& balance);
    void setStatus(const QString& text);
    void setManagerLoading(bool loading);

    QPointer<frmModify> dialog_;
    QPointer<FrmVaultmeres> manager_;
    QPointer<QWidget> calculatorWindow_;
    bank::TransactionCalculator* calculator_ = nullptr;

    bank::Transaction record_;
    Side account_;
    Side counterpart_;
    bank::AmountFields fields_;
    qint32 amount_ = 0;
    bool aborted_ = false;
    // Set once the account's post holds the item, cleared when the
    // counterpart's does: a transaction that stops between them says so in the log.
    QString outOfStep_;
};

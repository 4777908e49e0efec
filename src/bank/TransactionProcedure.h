#pragma once

#include "AccountManager.h"
#include "PostSaver.h"
#include "TransactionDialog.h"
#include "TransactionRecord.h"

#include <QPointer>
#include <QString>
#include <functional>

class WebBrowser;
namespace bank {
class TransactionCalculator;
}

// What OK in the transaction dialog runs: the checks, the amount typed on the
// calculator, both accounts read and both new balances known, then the
// account's post and the counterpart's post rewritten through the forum's edit
// form one after the other, each read back, a long list archived into a reply
// first. Every wait lets the windows work; it ends when the dialog, the
// manager or the calculator goes away or the program quits.
class TransactionProcedure {
public:
    static constexpr int PollMs = 500;

    explicit TransactionProcedure(bank::TransactionDialog& dialog);
    ~TransactionProcedure();
    TransactionProcedure(const TransactionProcedure&) = delete;
    TransactionProcedure& operator=(const TransactionProcedure&) = delete;

    void run();

    // Posts a list block as an archive reply in the thread of the dialog's edit address.
    bool PostReply(const QString& text, bool NoReorder = false);

private:
    struct Side {
        bank::AccountRow row;
        QString editAddress;
        bank::CoinTexts before;
        bank::CoinTexts after;
        QString balanceDollarText;
    };

    // The steps of OK, in their order; each false when the transaction ends there.
    bool answerWaitingError();
    bool checkEntries();
    bool checkFreeTexts();
    bool editPageHoldsTheAccount();
    void describeTransaction();
    bool typeAmount();
    bool takeAmount();
    bool readCounterpart();
    bool checkFunds();
    bool confirm();
    bool saveAccount();
    void saveCounterpart();
    void finish();

    // Their parts.
    bool readEditPageAgain();
    bool openCounterpartPage();
    void reportCounterpartNotSaved(const QString& reason) const;
    bool computeCounterpart();
    bank::PostSaver::Result savePost(const Side& side, const bank::PostFields& old,
                                     const QString& item, const QString& logBefore,
                                     const QString& logAfter);
    QString archived(const QString& tail, const QString& name);
    bool postArchiveReply(const QString& text, bool noReorder);
    void loadIntoCalculator(const bank::CoinTexts& balance);
    void decline();
    void refuse(const QString& text, const QString& title = {});
    QString outOfStepLine(const QString& saved) const;
    void forgetBusyAnswer();

    bool present() const;
    bool waitWhile(const std::function<bool()>& condition) const;
    bool pause(int ms) const;
    bank::AccountManager& manager() const { return dialog_.manager(); }

    bank::TransactionDialog& dialog_;
    QPointer<QWidget> dialogWindow_;
    QPointer<QWidget> managerWindow_;
    QPointer<QWidget> calculatorWindow_;
    bank::TransactionCalculator* calculator_ = nullptr;
    bank::PostSaver saver_;

    bank::TransactionInputs inputs_;
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

#include "TransactionProcedure.h"

#include "AccountListView.h"
#include "AccountLoader.h"
#include "Dialogs.h"
#include "FrmVaultmeres.h"
#include "Module1.h"
#include "OsServices.h"
#include "TransactionCalculator.h"
#include "WebBrowser.h"
#include "frmLog.h"
#include "frmModify.h"

#include <QDateTime>
#include <QEventLoop>

using bank::CrLf;
using bank::TransactionType;

namespace {

const QString WithWho = QStringLiteral("With Who?");
const QString DescriptionDesign = QStringLiteral("Comment") + CrLf;
const QString ChooseAnAccount = QStringLiteral("Choose an account");
constexpr int EqualsKey = 0;
constexpr int MinusKey = 1;
constexpr int PlusKey = 2;

// The entry a combo box's text names: the current one, else the first with
// that text; -1 when the text is no entry of the list.
int chosenIndex(const QComboBox& box) {
    const QString text = box.currentText();
    if (box.currentIndex() >= 0 && box.itemText(box.currentIndex()) == text)
        return box.currentIndex();
    return box.findText(text);
}

// A text box gives its lines with line feeds; posts and items use CR LF.
QString withCrLf(QString text) {
    text.replace(CrLf, QStringLiteral("\n"));
    return text.replace('\n', CrLf);
}

QString threadInAddress(const QString& address) {
    const qsizetype at = address.indexOf(QLatin1String("thread="), 0, Qt::CaseInsensitive);
    return at < 0 ? QString() : address.mid(at + 7).section('&', 0, 0);
}

bank::CoinTexts rowBalance(const QTreeWidgetItem& row) {
    return {row.text(AccountListView::Galleons), row.text(AccountListView::Sickles),
            row.text(AccountListView::Knuts)};
}

// The forum's post form as a page in a browser holds it.
struct EditForm {
    HtmlForm form;
    HtmlElement subject;
    HtmlElement message;
    HtmlElement nextaction;

    explicit EditForm(const WebBrowser& browser) {
        const HtmlDocument page = browser.Document();
        form = page.forms(QStringLiteral("postForm"));
        subject = page.getElementById(QStringLiteral("subject"));
        message = page.getElementById(QStringLiteral("message"));
        nextaction = page.getElementById(QStringLiteral("nextaction"));
    }
    bool complete() const {
        return !form.isNull() && !subject.isNull() && !message.isNull() && !nextaction.isNull();
    }
};

} // namespace

TransactionProcedure::TransactionProcedure(frmModify& dialog) : dialog_(&dialog) {
    if (FrmVaultmeres::exists())
        manager_ = &FrmVaultmeres::instance();
    QWidget* window = platform::findOpenWindow(QStringLiteral("ZentabCalc"));
    calculator_ = dynamic_cast<bank::TransactionCalculator*>(window);
    if (calculator_)
        calculatorWindow_ = window;
}

TransactionProcedure::~TransactionProcedure() {
    if (!outOfStep_.isEmpty())
        Log(outOfStep_);
    if (calculatorWindow_)
        calculator_->setClearAndSignEnabled(true);
    if (dialog_)
        dialog_->running_ = false;
}

bool TransactionProcedure::present() const {
    return dialog_ && manager_ && calculatorWindow_;
}

bool TransactionProcedure::waitWhile(const std::function<bool()>& condition) {
    while (present() && condition())
        if (!Module1::Delay(PollMs))
            return false;
    return present();
}

QTreeWidgetItem* TransactionProcedure::row(const QString& key) const {
    return manager_ ? manager_->ListView1().findRow(key) : nullptr;
}

void TransactionProcedure::writeRow(const QString& key, const bank::CoinTexts& balance) {
    setManagerLoading(true);
    if (QTreeWidgetItem* item = row(key)) {
        item->setText(AccountListView::Galleons, balance.galleons);
        item->setText(AccountListView::Sickles, balance.sickles);
        item->setText(AccountListView::Knuts, balance.knuts);
    }
    setManagerLoading(false);
}

void TransactionProcedure::setStatus(const QString& text) {
    if (manager_)
        manager_->setStatusText(text);
}

void TransactionProcedure::setManagerLoading(bool loading) {
    if (manager_)
        manager_->loader().loading = loading;
}

// ---- OK ----

void TransactionProcedure::run() {
    frmModify& d = *dialog_;
    if (d.showWaitingError() || !present() || !checkEntries())
        return;
    if (withCrLf(d.TextComment->toPlainText()) == DescriptionDesign)
        d.TextComment->clear();
    const QString title = d.WBModify().LocationName();
    if (title.contains(QLatin1String("Error"))) {
        platform::MsgBox(title, platform::vbInformation, "Failed: " + d.TextName->text());
        return;
    }
    if (!EditForm(d.WBModify()).complete()) {
        platform::MsgBox("The forum's edit form for this account has not loaded, so nothing "
                         "was posted",
                         platform::vbInformation, "Failed: " + d.TextName->text());
        return;
    }
    describeTransaction();
    d.running_ = true;
    d.holdsManagerLoading_ = true;
    setManagerLoading(true);

    account_.before = d.balanceBoxes();
    loadIntoCalculator(account_.before);
    account_.balanceDollarText = bank::moneyText(calculator_->dollarPanel());
    calculator_->cmdKeyOP_Click(record_.type == TransactionType::Expense ? MinusKey : PlusKey);
    calculator_->setClearAndSignEnabled(false);
    platform::MsgBox("Enter the amount for this transaction then hit the equal key when done");
    if (!waitForAmount() || !takeAmount() || !saveAccount())
        return;
    if (saveCounterpart())
        finish();
}

bool TransactionProcedure::checkEntries() {
    frmModify& d = *dialog_;
    if (d.TextName->text().isEmpty()) {
        platform::MsgBox("Enter a name for the account", platform::vbInformation);
        return false;
    }
    const QString other = d.cmbOtherAccount->currentText();
    // A typed name that is no entry of the list has no account to post to.
    if (other.isEmpty() || other == WithWho || !resolveCounterpart()) {
        platform::MsgBox("Choose the name of the person this transaction is with");
        return false;
    }
    const bool expense = d.cmbTType->currentIndex() == 1;
    if (chosenIndex(expense ? *d.cmbReasonOut : *d.cmbReasonIn) < 0) {
        platform::MsgBox("Choose a reason for the transaction");
        return false;
    }
    account_.rowKey = d.workingRowKey_;
    account_.name = d.TextName->text();
    return true;
}

bool TransactionProcedure::resolveCounterpart() {
    const QComboBox& box = *dialog_->cmbOtherAccount;
    const int entry = chosenIndex(box);
    if (entry < 0)
        return false;
    const int rowNumber = box.itemData(entry).toInt();
    const QTreeWidgetItem* item = manager_->ListView1().topLevelItem(rowNumber - 1);
    // The list may have changed under a load since the dialog was filled.
    if (!item || item->text(AccountListView::Account) != box.itemText(entry))
        return false;
    counterpart_.rowKey = AccountListView::key(*item);
    counterpart_.name = item->text(AccountListView::Account);
    return true;
}

void TransactionProcedure::describeTransaction() {
    const frmModify& d = *dialog_;
    const bool expense = d.cmbTType->currentIndex() == 1;
    const QComboBox& reasons = expense ? *d.cmbReasonOut : *d.cmbReasonIn;
    const QComboBox& mirrored = expense ? *d.cmbReasonIn : *d.cmbReasonOut;
    record_.type = expense ? TransactionType::Expense : TransactionType::Income;
    record_.accountName = account_.name;
    record_.accountEditAddress = d.editAddress;
    record_.counterpartName = counterpart_.name;
    record_.counterpartThread = counterpart_.rowKey.mid(1);
    record_.otherAccountText = d.cmbOtherAccount->currentText();
    record_.reason = reasons.currentText();
    record_.counterpartReason = mirrored.itemText(chosenIndex(reasons));
    record_.otherName = d.otherReasonName;
    record_.isPrivate = d.Check2->isChecked();
    record_.anonymous = d.Check1->isChecked();
    record_.description = withCrLf(d.TextComment->toPlainText());
    record_.boardUrl = Module1::BoardUrl;
    record_.timeZoneText = Module1::TimeZoneText;
}

void TransactionProcedure::loadIntoCalculator(const bank::CoinTexts& balance) {
    calculator_->CommandClear_Click();
    calculator_->loadEntry(balance);
}

bool TransactionProcedure::waitForAmount() {
    if (!present()) // closed while the message was up
        return false;
    frmModify& d = *dialog_;
    d.hide();
    manager_->setEnabled(false);
    manager_->hide();
    calculator_->takeFocus();
    // No polling: the calculator's equals ends this wait.
    QEventLoop loop;
    d.amountWait_ = &loop;
    const int ended = loop.exec();
    if (manager_) {
        manager_->show();
        manager_->setEnabled(true);
    }
    if (!dialog_)
        return false;
    dialog_->amountWait_ = nullptr;
    dialog_->hide();
    return ended == AmountTyped && present();
}

// The amount from the tape, the funds check, the new balance and the
// question; false when nothing is to be posted.
bool TransactionProcedure::takeAmount() {
    frmModify& d = *dialog_;
    const auto fields = bank::amountFieldsFromTape(calculator_->operandTape(), record_.type);
    const auto amount = fields ? bank::amountKnuts(*fields) : std::nullopt;
    const QTreeWidgetItem* accountRow = row(account_.rowKey);
    const QTreeWidgetItem* counterpartRow = row(counterpart_.rowKey);
    if (!accountRow || !counterpartRow || !amount) {
        platform::MsgBox(!amount ? "No amount for this transaction was found on the "
                                   "calculator's tape, so nothing was posted"
                                 : "An account of this transaction is no longer in the "
                                   "manager's list, so nothing was posted",
                         platform::vbExclamation);
        decline();
        return false;
    }
    fields_ = *fields;
    amount_ = *amount;
    aborted_ = bank::lacksFunds(record_.type, rowBalance(*accountRow), rowBalance(*counterpartRow),
                                amount_);
    const qint64 change = record_.type == TransactionType::Income ? amount_ : -qint64{amount_};
    // Keys pressed besides the amount (Clear, another operator) would give a
    // balance that the item's amount does not explain.
    if (!aborted_ && !bank::balanceFollows(account_.before, calculator_->entry(), change)) {
        platform::MsgBox("The calculator's result is not the balance " +
                             QString(record_.type == TransactionType::Income ? "plus" : "minus") +
                             " the amount on its tape, so nothing was posted. Press OK and type "
                             "only the amount, then the equal key",
                         platform::vbExclamation);
        decline();
        return false;
    }
    setStatus(QStringLiteral("Attempting to Modifying Accounts..."));
    if (!aborted_) {
        d.setBalanceBoxes(calculator_->entry(), false);
        account_.balanceDollarText = bank::moneyText(calculator_->dollarPanel());
    }
    calculator_->setClearAndSignEnabled(true);
    if (!d.Check4->isChecked())
        return true;

    const bool income = record_.type == TransactionType::Income;
    QString shownAmount = bank::amountText(fields_);
    shownAmount.remove('+').remove('-');
    const QString question =
        QString(income ? "Add [" : "Subtract [") + shownAmount + "] " + (income ? "to " : "from ") +
        '"' + account_.name + '"' + " account and " + (income ? "subtract " : "add ") + " amount " +
        (income ? "from " : "to ") + '"' + record_.otherAccountText + '"' + " account?";
    const int answer =
        platform::MsgBox(question, platform::vbYesNo | platform::vbQuestion, "Confirm");
    if (!present())
        return false;
    if (answer == platform::vbNo) {
        decline();
        return false;
    }
    return true;
}

void TransactionProcedure::decline() {
    if (!dialog_)
        return;
    frmModify& d = *dialog_;
    d.restoreBalanceBoxes();
    d.show();
    d.cmdOK->setEnabled(false);
    d.pageAction = frmModify::ReadPost;
    d.WBModify().Navigate(d.editAddress);
}

// ---- the two saves ----

bool TransactionProcedure::saveAccount() {
    frmModify& d = *dialog_;
    account_.after = d.balanceBoxes();
    const bank::ItemFacts facts{fields_,        d.amountDollarText,
                                account_.after, account_.balanceDollarText,
                                aborted_,       QDateTime::currentDateTime()};
    if (!writePost(account_, bank::accountItem(record_, facts), true) ||
        !saveForm("Readystate before first post in frmModify_cmdOK:",
                  "Readystate after first post in frmModify_cmdOK:"))
        return false;
    if (!savedAs(account_.name)) {
        platform::MsgBox(d.WBModify().LocationName(), platform::vbCritical, account_.name);
        setStatus(ChooseAnAccount);
        return false;
    }
    setStatus("Modifying " + account_.name);
    writeRow(account_.rowKey, account_.after);
    outOfStep_ = "Out of step: " + account_.name + " was saved with " + bank::amountText(fields_) +
                 (record_.type == TransactionType::Income ? " from " : " to ") + counterpart_.name +
                 ", but " + counterpart_.name + " was not";
    return true;
}

// False when the procedure stops at once; otherwise it goes on to its end,
// whether the counterpart's post was saved or not.
bool TransactionProcedure::saveCounterpart() {
    frmModify& d = *dialog_;
    const bank::AmountFields fields = bank::counterpartFields(fields_, record_.type);
    d.pageAction = frmModify::ReadPost;
    d.cmdOK->setEnabled(false);
    if (QTreeWidgetItem* item = row(counterpart_.rowKey))
        manager_->ListView1().setCurrentItem(item);
    d.workingRowKey_ = counterpart_.rowKey;
    if (!waitWhile([&] { return d.WBModify().ReadyState() < WebBrowser::ReadyStateInteractive; }))
        return false;
    // Found again after the wait: a load may have replaced the rows meanwhile.
    if (const QTreeWidgetItem* item = row(counterpart_.rowKey);
        item && !AccountListView::mayModify(*item))
        platform::MsgBox("You may not have the proper permissions needed to modify the " +
                             item->text(AccountListView::Account) + " account",
                         platform::vbInformation, "Warning");
    if (!present())
        return false;
    setStatus("Modifying " + record_.otherAccountText);
    d.editAddress = manager_->modifyAddress(counterpart_.rowKey.mid(1));
    d.WBModify().Navigate(d.editAddress);
    if (const Next next = readCounterpartPage(); next != Next::Continue)
        return next == Next::Finish;
    if (!computeCounterpart())
        return present();

    const bank::ItemFacts facts{
        fields,   d.amountDollarText,          counterpart_.after, counterpart_.balanceDollarText,
        aborted_, QDateTime::currentDateTime()};
    if (!writePost(counterpart_, bank::counterpartItem(record_, facts), false) ||
        !saveForm("Readystate before post:", "Readystate after post:"))
        return present();
    if (!savedAs(counterpart_.name)) {
        platform::MsgBox(d.WBModify().LocationName(), platform::vbCritical, counterpart_.name);
        return present();
    }
    writeRow(counterpart_.rowKey, counterpart_.after);
    outOfStep_.clear();
    setStatus(ChooseAnAccount);
    platform::MsgBox("Suceessfully modified " + account_.name + " and " + record_.otherAccountText,
                     platform::vbInformation, "Success");
    return present();
}

TransactionProcedure::Next TransactionProcedure::readCounterpartPage() {
    frmModify& d = *dialog_;
    // The page handler reads the balances into the dialog and the counterpart's row.
    if (!waitWhile([&] {
            return !d.cmdOK->isEnabled() &&
                   d.WBModify().ReadyState() < WebBrowser::ReadyStateComplete;
        }) ||
        d.showWaitingError())
        return Next::Stop;
    const QString title = d.WBModify().LocationName();
    const QTreeWidgetItem* item = row(counterpart_.rowKey);
    if (title.contains(QLatin1String("Error")) || !item || !EditForm(d.WBModify()).complete()) {
        platform::MsgBox(title, platform::vbInformation, "Failed: " + record_.otherAccountText);
        return present() ? Next::Finish : Next::Stop;
    }
    counterpart_.before = rowBalance(*item);
    return Next::Continue;
}

// The counterpart's new balance, made on the calculator; false when the
// calculator does not give what the amount says.
bool TransactionProcedure::computeCounterpart() {
    loadIntoCalculator(counterpart_.before);
    counterpart_.balanceDollarText = bank::moneyText(calculator_->dollarPanel());
    if (aborted_) {
        counterpart_.after = calculator_->entry();
        return true;
    }
    const bool income = record_.type == TransactionType::Income;
    calculator_->cmdKeyOP_Click(income ? MinusKey : PlusKey);
    calculator_->loadEntry(bank::entryOfFields(bank::counterpartFields(fields_, record_.type)));
    calculator_->cmdKeyOP_Click(EqualsKey);
    counterpart_.after = calculator_->entry();
    counterpart_.balanceDollarText = bank::moneyText(calculator_->dollarPanel());
    const qint64 change = income ? -qint64{amount_} : amount_;
    if (bank::balanceFollows(counterpart_.before, counterpart_.after, change))
        return true;
    platform::MsgBox("The calculator could not compute the new balance of " +
                         record_.otherAccountText + ", so its post was not changed",
                     platform::vbCritical, "Failed: " + record_.otherAccountText);
    return false;
}

// Fills the edit form in WBModify: the side's new coin block and the item on
// top of its list, a full list archived into a reply first.
bool TransactionProcedure::writePost(const Side& side, const QString& item, bool setSubject) {
    frmModify& d = *dialog_;
    EditForm form(d.WBModify());
    if (!form.complete())
        return false;
    if (setSubject)
        form.subject.setValue(side.name);
    const bank::PostParts parts = bank::cutAccountPost(withCrLf(form.message.value()),
                                                       threadInAddress(d.WBModify().LocationURL()));
    const QString archiveName = setSubject ? side.name : record_.otherAccountText;
    const QString tail = archived(parts.tail, archiveName);
    if (!present())
        return false;
    form.message.setValue(parts.header + bank::coinBlock(side.after) +
                          bank::withNewItem(tail, item));
    form.nextaction.setValue(QStringLiteral("post"));
    return true;
}

QString TransactionProcedure::archived(const QString& tail, const QString& name) {
    const auto block = bank::archiveBlock(tail);
    if (!block)
        return tail;
    if (PostReply(*block, true))
        return QString(tail).replace(*block, QStringLiteral("[list][/list]"));
    platform::MsgBox("Failed to archive " + name + " account", platform::vbInformation, "Warning");
    return tail;
}

// Submits the edit form and waits for the forum's answer; false when the
// procedure stops.
bool TransactionProcedure::saveForm(const QString& logBefore, const QString& logAfter) {
    frmModify& d = *dialog_;
    WebBrowser& browser = d.WBModify();
    d.pageAction = d.Check3->isChecked() ? frmModify::ShowChanges : frmModify::NoAction;
    d.cmdOK->setEnabled(false);
    Log(logBefore + QString::number(browser.ReadyState()));
    auto below = [&](int state) {
        return [&browser, state] {
            return browser.ReadyState() < state;
        };
    };
    if (!waitWhile(below(WebBrowser::ReadyStateInteractive)))
        return false;
    // A form that could not be sent leaves the edit page, which the check of
    // the title then reports.
    if (browser.Document().forms(QStringLiteral("postForm")).submit() &&
        (!waitWhile(below(WebBrowser::ReadyStateInteractive)) || !waitWhile([&] {
            return browser.LocationName().contains(QLatin1String("Modify Post")) &&
                   browser.ReadyState() < WebBrowser::ReadyStateComplete;
        })))
        return false;
    if (d.showWaitingError())
        return false;
    Log(logAfter + QString::number(browser.ReadyState()));
    if (!waitWhile([&] {
            return !d.cmdOK->isEnabled() && browser.ReadyState() < WebBrowser::ReadyStateComplete;
        }))
        return false;
    d.cmdOK->setEnabled(true);
    return true;
}

// The forum shows the account's thread, whose title holds its name, once a post is saved.
bool TransactionProcedure::savedAs(const QString& name) {
    return dialog_->WBModify().LocationName().contains(name, Qt::CaseInsensitive);
}

void TransactionProcedure::finish() {
    if (!dialog_)
        return;
    frmModify& d = *dialog_;
    d.pageAction = frmModify::CloseDialog;
    d.WBModify().Navigate(QStringLiteral("about:home"));
    setManagerLoading(false);
    d.holdsManagerLoading_ = false;
    setStatus(ChooseAnAccount);
}

// ---- archive replies ----

bool TransactionProcedure::PostReply(const QString& text, bool NoReorder) {
    if (!present())
        return false;
    const bool wasLoading = manager_->loader().loading;
    setManagerLoading(true);
    const bool posted = postArchiveReply(text, NoReorder);
    setManagerLoading(wasLoading);
    return posted;
}

bool TransactionProcedure::postArchiveReply(const QString& text, bool noReorder) {
    WebBrowser& browser = manager_->WebBrowser3();
    QPointer<WebBrowser> alive(&browser);
    auto loading = [&] {
        return alive && browser.ReadyState() != WebBrowser::ReadyStateComplete;
    };
    browser.Navigate(QString(dialog_->editAddress).replace("modifypost", "post"));
    if (!waitWhile(loading) || !alive)
        return false;
    EditForm form(browser);
    if (!form.complete())
        return false;
    QString thread = form.subject.value();
    thread.remove(QStringLiteral("Re: "), Qt::CaseInsensitive);
    const auto reply = bank::archiveReply(text, form.subject.value(), noReorder);
    if (!reply)
        return false;
    form.subject.setValue(reply->subject);
    form.message.setValue(reply->message);
    form.nextaction.setValue(QStringLiteral("post"));
    if (!form.form.submit() || !waitWhile(loading) || !alive)
        return false;
    // Only the thread itself shows that the reply is in: on an error or a busy
    // forum the list must stay in the post.
    const QString title = browser.LocationName();
    return !title.contains(QLatin1String("Error")) &&
           title.contains(thread.trimmed(), Qt::CaseInsensitive);
}

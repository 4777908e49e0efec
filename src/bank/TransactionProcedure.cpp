#include "TransactionProcedure.h"

#include "Dialogs.h"
#include "Module1.h"
#include "OsServices.h"
#include "TransactionCalculator.h"
#include "WebBrowser.h"
#include "frmLog.h"

#include <QDateTime>

using bank::CrLf;
using bank::PostFields;
using bank::PostSaver;
using bank::TransactionDialog;
using bank::TransactionType;
using bank::WaitingError;

namespace {

const QString WithWho = QStringLiteral("With Who?");
const QString ChooseAnAccount = QStringLiteral("Choose an account");
const QString TooManyConnections = QStringLiteral("Too Many Connections");
constexpr int EqualsKey = 0;
constexpr int MinusKey = 1;
constexpr int PlusKey = 2;
constexpr int SaveAttempts = 3; // a busy forum's answer is a pause, not the end
constexpr int BusyPauseMs = 2000;

} // namespace

TransactionProcedure::TransactionProcedure(TransactionDialog& dialog)
    : dialog_(dialog), dialogWindow_(&dialog.widget()), managerWindow_(&dialog.manager().window()),
      saver_(bank::ForumWait([this] { return present(); }, 100)) {
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
}

bool TransactionProcedure::present() const {
    return dialogWindow_ && managerWindow_ && calculatorWindow_;
}

bool TransactionProcedure::waitWhile(const std::function<bool()>& condition) const {
    return bank::ForumWait([this] { return present(); }, PollMs).whileTrue(condition);
}

bool TransactionProcedure::pause(int ms) const {
    return bank::ForumWait([this] { return present(); }, PollMs).pause(ms);
}

// ---- OK ----

void TransactionProcedure::run() {
    if (!present() || !answerWaitingError() || !checkEntries() || !checkFreeTexts())
        return;
    dialog_.clearDesignDescription();
    if (!editPageHoldsTheAccount())
        return;
    describeTransaction();
    dialog_.holdManagerReloads();
    if (!typeAmount() || !takeAmount() || !readCounterpart() || !checkFunds() || !confirm() ||
        !saveAccount())
        return;
    saveCounterpart();
    finish();
}

// An error the page handler left: a warning or a critical error ends here; a
// busy forum's page is asked for again and the transaction goes on once it is read.
bool TransactionProcedure::answerWaitingError() {
    switch (dialog_.showWaitingError()) {
    case WaitingError::None:
        return true;
    case WaitingError::Busy:
        return readEditPageAgain();
    default:
        return false;
    }
}

bool TransactionProcedure::readEditPageAgain() {
    dialog_.setPageAction(TransactionDialog::ReadPost);
    dialog_.setOkEnabled(false);
    dialog_.WBModify().Navigate(dialog_.editAddress());
    if (!waitWhile([this] {
            return !dialog_.okEnabled() ||
                   dialog_.WBModify().ReadyState() < WebBrowser::ReadyStateComplete;
        }))
        return false;
    if (dialog_.pageAction() == TransactionDialog::NoAction)
        return true;
    // Busy again: the page handler has said so, and the next OK asks once more.
    if (manager().waitingError().kind != WaitingError::Busy)
        dialog_.showWaitingError();
    return false;
}

bool TransactionProcedure::checkEntries() {
    inputs_ = dialog_.inputs();
    if (inputs_.accountName.isEmpty()) {
        platform::MsgBox("Enter a name for the account", platform::vbInformation);
        return false;
    }
    const QString other = inputs_.otherAccountText;
    const auto counterpart = manager().rowAt(inputs_.otherRowNumber);
    // A typed name that is no entry of the list has no account to post to, and
    // the list may have changed under a load since the dialog was filled.
    if (other.isEmpty() || other == WithWho || !counterpart || counterpart->name != other) {
        platform::MsgBox("Choose the name of the person this transaction is with");
        return false;
    }
    if (!inputs_.reasonChosen) {
        platform::MsgBox("Choose a reason for the transaction");
        return false;
    }
    const auto account = manager().row(inputs_.accountRowKey);
    if (!account) {
        refuse("The account is no longer in the manager's list, so nothing was posted");
        return false;
    }
    account_.row = *account;
    account_.editAddress = dialog_.editAddress();
    counterpart_.row = *counterpart;
    counterpart_.editAddress =
        manager().modifyAddress(counterpart->threadNumber(), counterpart->threadNumber());
    return true;
}

// A text that goes into both posts must not end or begin their transaction lists.
bool TransactionProcedure::checkFreeTexts() {
    const auto refusal = bank::listMarkerRefusal({
        {QStringLiteral("The description"), inputs_.description},
        {QStringLiteral("The name for the reason Other"), inputs_.otherName},
        {QStringLiteral("The account name"), account_.row.name},
        {QStringLiteral("The account name"), counterpart_.row.name},
    });
    if (refusal)
        refuse(*refusal);
    return !refusal;
}

bool TransactionProcedure::editPageHoldsTheAccount() {
    const QString title = dialog_.WBModify().LocationName();
    if (title.contains(QLatin1String("Error"))) {
        platform::MsgBox(title, platform::vbInformation, "Failed: " + inputs_.accountName);
        return false;
    }
    if (!bank::PostForm(dialog_.WBModify()).complete()) {
        platform::MsgBox("The forum's edit form for this account has not loaded, so nothing "
                         "was posted",
                         platform::vbInformation, "Failed: " + inputs_.accountName);
        return false;
    }
    return true;
}

void TransactionProcedure::describeTransaction() {
    record_.type = inputs_.type;
    record_.accountName = account_.row.name;
    record_.accountEditAddress = account_.editAddress;
    record_.counterpartName = counterpart_.row.name;
    record_.counterpartThread = counterpart_.row.threadNumber();
    record_.otherAccountText = inputs_.otherAccountText;
    record_.reason = inputs_.reason;
    record_.counterpartReason = inputs_.counterpartReason;
    record_.otherName = inputs_.otherName;
    record_.isPrivate = inputs_.isPrivate;
    record_.anonymous = inputs_.anonymous;
    record_.description = inputs_.description;
    record_.boardUrl = Module1::BoardUrl;
    record_.timeZoneText = Module1::TimeZoneText;
}

// The calculator holds the balance and the operator; the user types the
// amount and presses equals, which brings the dialog back.
bool TransactionProcedure::typeAmount() {
    account_.before = dialog_.balanceAsRead();
    loadIntoCalculator(account_.before);
    account_.balanceDollarText = bank::moneyText(calculator_->dollarPanel());
    calculator_->cmdKeyOP_Click(inputs_.type == TransactionType::Expense ? MinusKey : PlusKey);
    calculator_->setClearAndSignEnabled(false);
    platform::MsgBox("Enter the amount for this transaction then hit the equal key when done");
    if (!present()) // closed while the message was up
        return false;
    QWidget& managerWindow = manager().window();
    managerWindow.setEnabled(false);
    managerWindow.hide();
    calculator_->takeFocus();
    const bool typed = dialog_.waitForAmount();
    if (managerWindow_) {
        managerWindow_->show();
        managerWindow_->setEnabled(true);
    }
    if (!present())
        return false;
    dialog_.hideDialog();
    return typed;
}

// The amount from the tape; false when there is none to post.
bool TransactionProcedure::takeAmount() {
    const auto fields = bank::amountFieldsFromTape(calculator_->operandTape(), record_.type);
    const auto amount = fields ? bank::amountKnuts(*fields) : std::nullopt;
    if (!amount) {
        refuse("No amount for this transaction was found on the calculator's tape, so nothing "
               "was posted");
        decline();
        return false;
    }
    fields_ = *fields;
    amount_ = *amount;
    return true;
}

// The counterpart's post as the forum holds it now: its balance decides the
// funds of an income and its new balance must be known before anything is saved.
bool TransactionProcedure::readCounterpart() {
    if (!counterpart_.row.mayModify)
        platform::MsgBox("You may not have the proper permissions needed to modify the " +
                             counterpart_.row.name + " account",
                         platform::vbInformation, "Warning");
    const auto post = present() ? saver_.read(counterpart_.editAddress) : std::nullopt;
    const auto balance = post ? bank::readEditFormBalances(post->message) : std::nullopt;
    if (!present())
        return false;
    if (!balance) {
        platform::MsgBox((post ? "The post of " + counterpart_.row.name +
                                     " holds no Galleons, Sickles and Knuts lines"
                               : "The forum did not show the post of " + counterpart_.row.name +
                                     " for editing") +
                             ", so nothing was posted",
                         platform::vbInformation, "Failed: " + inputs_.otherAccountText);
        decline();
        return false;
    }
    counterpart_.before = *balance;
    manager().setBalance(counterpart_.row.key, *balance);
    return true;
}

bool TransactionProcedure::checkFunds() {
    aborted_ = bank::lacksFunds(record_.type, account_.before, counterpart_.before, amount_);
    const qint64 change = record_.type == TransactionType::Income ? amount_ : -qint64{amount_};
    if (!aborted_) {
        const std::pair<const Side&, qint64> sides[] = {{account_, change},
                                                        {counterpart_, -change}};
        for (const auto& [side, moved] : sides)
            if (!bank::movedBalance(side.before, moved)) {
                refuse("The new balance of " + side.row.name +
                       " would be beyond what the calculator can hold, so nothing was posted");
                decline();
                return false;
            }
        // Keys pressed besides the amount (Clear, another operator) would give a
        // balance that the item's amount does not explain.
        if (!bank::balanceFollows(account_.before, calculator_->entry(), change)) {
            refuse("The calculator's result is not the balance " +
                   QString(change >= 0 ? "plus" : "minus") +
                   " the amount on its tape, so nothing was posted. Press OK and type only the "
                   "amount, then the equal key");
            decline();
            return false;
        }
    }
    manager().setStatusText(QStringLiteral("Attempting to Modifying Accounts..."));
    account_.after = aborted_ ? account_.before : calculator_->entry();
    dialog_.setBalanceBoxes(account_.after);
    if (!aborted_)
        account_.balanceDollarText = bank::moneyText(calculator_->dollarPanel());
    calculator_->setClearAndSignEnabled(true);
    return true;
}

bool TransactionProcedure::confirm() {
    if (!inputs_.confirm)
        return true;
    const bool income = record_.type == TransactionType::Income;
    QString shownAmount = bank::amountText(fields_);
    shownAmount.remove('+').remove('-');
    const QString question = QString(income ? "Add [" : "Subtract [") + shownAmount + "] " +
                             (income ? "to " : "from ") + '"' + account_.row.name + '"' +
                             " account and " + (income ? "subtract " : "add ") + " amount " +
                             (income ? "from " : "to ") + '"' + record_.otherAccountText + '"' +
                             " account?";
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

// ---- the two saves ----

bool TransactionProcedure::saveAccount() {
    const bank::PostForm form(dialog_.WBModify());
    const PostFields old = form.fields();
    // Another teller may have changed the post since the dialog read it; a
    // rewrite of the old text would take that change out again.
    const auto current = saver_.read(account_.editAddress);
    if (!present())
        return false;
    if (!form.complete() || !current || !bank::holdsAsSent(old, *current)) {
        refuse("The post of " + account_.row.name +
                   " is not as the dialog read it any more, so nothing was posted. Its balance "
                   "is read again; press OK once it shows",
               "Failed: " + account_.row.name);
        decline();
        return false;
    }
    const bank::ItemFacts facts{fields_,        dialog_.amountDollarText(),
                                account_.after, account_.balanceDollarText,
                                aborted_,       QDateTime::currentDateTime()};
    const PostSaver::Result saved = savePost(account_, old, bank::accountItem(record_, facts),
                                             "Readystate before first post in frmModify_cmdOK:",
                                             "Readystate after first post in frmModify_cmdOK:");
    if (!present())
        return false;
    switch (saved.outcome) {
    case PostSaver::Outcome::Saved:
        manager().setStatusText("Modifying " + account_.row.name);
        manager().setBalance(account_.row.key, account_.after);
        manager().accountWritten(account_.row.key);
        outOfStep_ = outOfStepLine(" was saved with ");
        return true;
    case PostSaver::Outcome::Unchanged:
        platform::MsgBox(saved.answerTitle + CrLf + CrLf + "The forum did not save the post of " +
                             account_.row.name + ", so nothing was changed",
                         platform::vbCritical, account_.row.name);
        manager().setStatusText(ChooseAnAccount);
        decline();
        return false;
    case PostSaver::Outcome::Unknown:
        break;
    }
    outOfStep_ = outOfStepLine(" may have been saved with ");
    manager().accountWritten(account_.row.key);
    platform::MsgBox(saved.answerTitle + CrLf + CrLf + "The post of " + account_.row.name +
                         " could not be read back, so " + record_.otherAccountText +
                         " was not changed. The debug log names the transaction",
                     platform::vbCritical, account_.row.name);
    finish();
    return false;
}

void TransactionProcedure::saveCounterpart() {
    const bank::AmountFields fields = bank::counterpartFields(fields_, record_.type);
    manager().selectRow(counterpart_.row.key);
    dialog_.setWorkingRow(counterpart_.row.key);
    manager().setStatusText("Modifying " + record_.otherAccountText);
    dialog_.setEditAddress(counterpart_.editAddress);
    PostSaver::Result saved;
    for (int attempt = 1; attempt <= SaveAttempts; ++attempt) {
        if (!openCounterpartPage() || !computeCounterpart())
            return;
        const bank::ItemFacts facts{fields,
                                    dialog_.amountDollarText(),
                                    counterpart_.after,
                                    counterpart_.balanceDollarText,
                                    aborted_,
                                    QDateTime::currentDateTime()};
        saved = savePost(counterpart_, bank::PostForm(dialog_.WBModify()).fields(),
                         bank::counterpartItem(record_, facts),
                         "Readystate before post:", "Readystate after post:");
        if (!present())
            return;
        const bool busy = saved.answerTitle == TooManyConnections;
        if (saved.outcome != PostSaver::Outcome::Unchanged || !busy || attempt == SaveAttempts ||
            !pause(BusyPauseMs * attempt))
            break;
    }
    if (!present())
        return;
    if (saved.outcome != PostSaver::Outcome::Saved) {
        reportCounterpartNotSaved(saved.answerTitle);
        return;
    }
    manager().setBalance(counterpart_.row.key, counterpart_.after);
    manager().accountWritten(counterpart_.row.key);
    outOfStep_.clear();
    manager().setStatusText(ChooseAnAccount);
    platform::MsgBox("Suceessfully modified " + account_.row.name + " and " +
                         record_.otherAccountText,
                     platform::vbInformation, "Success");
}

// The counterpart's edit page in the dialog, whose page handler reads its
// balance into the dialog and its row; false when the transaction cannot go on.
bool TransactionProcedure::openCounterpartPage() {
    for (int attempt = 1;; ++attempt) {
        dialog_.setPageAction(TransactionDialog::ReadPost);
        dialog_.setOkEnabled(false);
        dialog_.WBModify().Navigate(counterpart_.editAddress);
        if (!waitWhile([this] {
                return !dialog_.okEnabled() ||
                       dialog_.WBModify().ReadyState() < WebBrowser::ReadyStateComplete;
            }))
            return false;
        const QString answer = dialog_.WBModify().LocationName();
        const WaitingError::Kind waiting = dialog_.showWaitingError();
        if (waiting == WaitingError::None)
            break;
        if (waiting != WaitingError::Busy || attempt == SaveAttempts ||
            !pause(BusyPauseMs * attempt)) {
            reportCounterpartNotSaved(answer);
            return false;
        }
    }
    const QString title = dialog_.WBModify().LocationName();
    const auto row = manager().row(counterpart_.row.key);
    if (title.contains(QLatin1String("Error")) || !row ||
        !bank::PostForm(dialog_.WBModify()).complete()) {
        platform::MsgBox(title, platform::vbInformation, "Failed: " + record_.otherAccountText);
        return false;
    }
    counterpart_.before = row->balance;
    return true;
}

// The account's post stands changed, so a user who took the booking for failed
// and made it again would book the account twice.
void TransactionProcedure::reportCounterpartNotSaved(const QString& reason) const {
    platform::MsgBox(reason + CrLf + CrLf + "The post of " + record_.otherAccountText +
                         " was not saved, though the post of " + account_.row.name +
                         " was. The debug log names the transaction",
                     platform::vbCritical, record_.otherAccountText);
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

// One side's post rewritten in the edit form that WBModify shows: its new coin
// block and the item on top of its list, a full list archived into a reply
// first; then saved and read back. The thread keeps its subject.
PostSaver::Result TransactionProcedure::savePost(const Side& side, const PostFields& old,
                                                 const QString& item, const QString& logBefore,
                                                 const QString& logAfter) {
    WebBrowser& browser = dialog_.WBModify();
    const bank::PostParts parts = bank::cutAccountPost(bank::withCrLf(old.message),
                                                       bank::threadNumberIn(browser.LocationURL()));
    const QString tail = archived(parts.tail, side.row.name);
    if (!present())
        return {};
    const PostFields post{old.subject, parts.header + bank::coinBlock(side.after) +
                                           bank::withNewItem(tail, item)};
    dialog_.setPageAction(inputs_.showChanges ? TransactionDialog::ShowChanges
                                              : TransactionDialog::NoAction);
    dialog_.setOkEnabled(false);
    Log(logBefore + QString::number(browser.ReadyState()));
    const PostSaver::Result saved = saver_.save(
        browser, post, [&side](const WebBrowser&) { return side.editAddress; }, old);
    if (!present())
        return saved;
    Log(logAfter + QString::number(browser.ReadyState()));
    forgetBusyAnswer();
    dialog_.setOkEnabled(true);
    return saved;
}

// The save has told whether a busy answer lost it; the next OK need not ask again.
void TransactionProcedure::forgetBusyAnswer() {
    WaitingError& waiting = manager().waitingError();
    if (waiting.kind == WaitingError::Busy)
        waiting = {};
}

QString TransactionProcedure::archived(const QString& tail, const QString& name) {
    const auto block = bank::archiveBlock(tail);
    if (!block)
        return tail;
    if (PostReply(*block, true))
        return QString(tail).replace(*block, QStringLiteral("[list][/list]"));
    if (present())
        platform::MsgBox("Failed to archive " + name + " account", platform::vbInformation,
                         "Warning");
    return tail;
}

void TransactionProcedure::finish() {
    dialog_.setPageAction(TransactionDialog::CloseDialog);
    dialog_.WBModify().Navigate(QStringLiteral("about:home"));
    manager().holdReloads(false);
    manager().setStatusText(ChooseAnAccount);
}

// ---- helpers ----

void TransactionProcedure::loadIntoCalculator(const bank::CoinTexts& balance) {
    calculator_->CommandClear_Click();
    calculator_->loadEntry(balance);
}

// Nothing was posted: the dialog comes back with the balance as read and
// reads the account's page again.
void TransactionProcedure::decline() {
    if (!dialogWindow_)
        return;
    if (calculatorWindow_)
        calculator_->setClearAndSignEnabled(true);
    dialog_.setEditAddress(account_.editAddress);
    dialog_.setWorkingRow(account_.row.key);
    dialog_.restoreBalanceBoxes();
    dialog_.showDialog();
    dialog_.setOkEnabled(false);
    dialog_.setPageAction(TransactionDialog::ReadPost);
    dialog_.WBModify().Navigate(account_.editAddress);
}

void TransactionProcedure::refuse(const QString& text, const QString& title) {
    platform::MsgBox(text, platform::vbExclamation, title);
}

QString TransactionProcedure::outOfStepLine(const QString& saved) const {
    return "Out of step: " + account_.row.name + saved + bank::amountText(fields_) +
           (record_.type == TransactionType::Income ? " from " : " to ") + counterpart_.row.name +
           ", but " + counterpart_.row.name + " was not";
}

// ---- archive replies ----

bool TransactionProcedure::PostReply(const QString& text, bool NoReorder) {
    if (!present())
        return false;
    const bool wasHeld = manager().reloadsHeld();
    manager().holdReloads(true);
    const bool posted = postArchiveReply(text, NoReorder);
    if (managerWindow_)
        manager().holdReloads(wasHeld);
    return posted;
}

bool TransactionProcedure::postArchiveReply(const QString& text, bool noReorder) {
    WebBrowser& browser = manager().WebBrowser3();
    const QPointer<WebBrowser> alive(&browser);
    browser.Navigate(QString(dialog_.editAddress()).replace("modifypost", "post"));
    if (!waitWhile(
            [&] { return alive && browser.ReadyState() != WebBrowser::ReadyStateComplete; }) ||
        !alive)
        return false;
    const bank::PostForm form(browser);
    const auto reply =
        form.complete() ? bank::archiveReply(text, form.subject.value(), noReorder) : std::nullopt;
    if (!reply)
        return false;
    const QString thread = bank::threadNumberIn(dialog_.editAddress());
    const auto replyEditAddress = [this, &thread](const WebBrowser& answer) {
        const auto post = bank::newestPostNumber(bank::linksOf(answer), thread);
        return post ? manager().modifyAddress(thread, *post) : QString();
    };
    return saver_.save(browser, {reply->subject, reply->message}, replyEditAddress, std::nullopt)
               .outcome == PostSaver::Outcome::Saved;
}

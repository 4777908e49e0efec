#include "frmModify.h"

#include "BuddyLabel.h"
#include "DialogControls.h"
#include "Dialogs.h"
#include "KeyCodes.h"
#include "Module1.h"
#include "OsServices.h"
#include "PostText.h"
#include "TransactionCalculator.h"
#include "TransactionProcedure.h"
#include "Twips.h"
#include "WebBrowser.h"
#include "frmLog.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QGridLayout>

using bank::CrLf;
using bank::WaitingError;

namespace {

const QString WithWho = QStringLiteral("With Who?");
const QString TooManyConnections = QStringLiteral("Too Many Connections");
const QString DescriptionDesign = QStringLiteral("Comment") + CrLf;
enum AmountWaitEnd { AmountTyped = 1, DialogGone = 2 };

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& caption, bool checked) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->setChecked(checked);
    return box;
}

bank::TransactionCalculator* openCalculator(QWidget*& window) {
    window = platform::findOpenWindow(QStringLiteral("ZentabCalc"));
    return dynamic_cast<bank::TransactionCalculator*>(window);
}

// The entry a combo box's text names: the current one, else the first with
// that text; -1 when the text is no entry of the list.
int chosenIndex(const QComboBox& box) {
    const QString text = box.currentText();
    if (box.currentIndex() >= 0 && box.itemText(box.currentIndex()) == text)
        return box.currentIndex();
    return box.findText(text);
}

} // namespace

frmModify::frmModify() : WBModify_(new WebBrowser(this)) {
    setObjectName("frmModify");
    setWindowTitle("Modify Account");
    setAttribute(Qt::WA_DeleteOnClose);
    createControls();
    layOutControls();

    connect(cmbTType, &QComboBox::currentIndexChanged, this, &frmModify::cmbTType_Click);
    connect(cmbReasonIn, &QComboBox::activated, this, &frmModify::cmbReasonIn_Click);
    connect(cmbReasonOut, &QComboBox::activated, this, &frmModify::cmbReasonOut_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmModify::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmModify::cmdCancel_Click);
    // Queued, so that a handler that waits never runs inside the browser's own signal.
    connect(WBModify_, &WebBrowser::DocumentComplete, this, &frmModify::WBModify_DocumentComplete,
            Qt::QueuedConnection);

    QWidget* window = nullptr;
    if (bank::TransactionCalculator* calculator = openCalculator(window)) {
        calculator->setAmountReceiver(this);
        calculatorWindow_ = window;
    }
}

frmModify::~frmModify() {
    releaseCalculator();
}

void frmModify::releaseCalculator() {
    if (amountWait_)
        amountWait_->exit(DialogGone);
    QWidget* window = nullptr;
    if (bank::TransactionCalculator* calculator = openCalculator(window);
        calculator && window == calculatorWindow_)
        calculator->setAmountReceiver(nullptr);
    calculatorWindow_.clear();
}

void frmModify::createControls() {
    Frame1 = new QGroupBox("Account", this);
    Frame1->setObjectName("Frame1");
    TextName = new QLineEdit(Frame1);
    TextName->setObjectName("TextName");
    TextName->setAccessibleName("Name");
    Label1 = platform::buddyLabel("&Name:", TextName, Frame1);
    Label1->setObjectName("Label1");
    const BalanceBoxes balances = makeBalanceBoxes(Frame1);
    ComboGalleons = balances.galleons;
    ComboSickles = balances.sickles;
    ComboKnuts = balances.knuts;
    // They show the balance the forum holds; a transaction changes it, typing does not.
    for (QComboBox* box : {ComboGalleons, ComboSickles, ComboKnuts})
        box->lineEdit()->setReadOnly(true);

    Frame2 = new QGroupBox("Transaction", this);
    Frame2->setObjectName("Frame2");
    cmbTType = editableList(Frame2, "cmbTType", "Type", {"income", "expense"}, "income");
    cmbTType->setCurrentIndex(0);
    cmbTType->lineEdit()->installEventFilter(this);
    cmbOtherAccount = editableList(Frame2, "cmbOtherAccount", "With", {}, WithWho);
    cmbReasonIn = editableList(Frame2, "cmbReasonIn", "Reason",
                               {"Sale", "Paycheck", "Refund", "Invoice", "Prize", "Gambling",
                                "Inheritance", "Loan(Borrow)", "Correction", "Other"},
                               "Reason");
    cmbReasonOut = editableList(Frame2, "cmbReasonOut", "Reason",
                                {"Purchase", "Payroll", "Refund", "Bill", "Charity", "Gambling",
                                 "Child Support", "Loan(Lend)", "Correction", "Other"},
                                "Reason");
    cmbReasonOut->hide();
    TextComment = new QPlainTextEdit("Comment\n", Frame2);
    TextComment->setObjectName("TextComment");
    TextComment->setAccessibleName("Description");
    TextComment->setTabChangesFocus(true);
    Check1 = checkBox(Frame2, "Check1", "&anonymous", false);
    Check2 = checkBox(Frame2, "Check2", "&private", false);

    Check3 = checkBox(this, "Check3", "Show &Changes", false);
    Check4 = checkBox(this, "Check4", "Con&firm", true);
    const OkCancel buttons = makeOkCancel(this);
    cmdOK = buttons.ok;
    cmdCancel = buttons.cancel;
    WBModify_->setObjectName("WBModify");
}

void frmModify::layOutControls() {
    auto* account = new QGridLayout(Frame1);
    account->addWidget(Label1, 0, 0);
    account->addWidget(TextName, 0, 1, 1, 3);
    const std::pair<QComboBox*, const char*> coins[] = {
        {ComboGalleons, "&Galleons"}, {ComboSickles, "&Sickles"}, {ComboKnuts, "&Knuts"}};
    for (int column = 1; const auto& [box, caption] : coins) {
        account->addWidget(platform::buddyLabel(caption, box, Frame1), 1, column);
        account->addWidget(box, 2, column++);
    }

    auto* transaction = new QGridLayout(Frame2);
    transaction->addWidget(platform::buddyLabel("&Type:", cmbTType, Frame2), 0, 0);
    transaction->addWidget(cmbTType, 0, 1);
    transaction->addWidget(platform::buddyLabel("&With:", cmbOtherAccount, Frame2), 0, 2);
    transaction->addWidget(cmbOtherAccount, 0, 3);
    lblReason = platform::buddyLabel("&Reason:", cmbReasonIn, Frame2);
    lblReason->setObjectName("lblReason"); // for either list of reasons
    transaction->addWidget(lblReason, 1, 0);
    // The two reason lists share one place; the type decides which is in front.
    transaction->addWidget(cmbReasonIn, 1, 1);
    transaction->addWidget(cmbReasonOut, 1, 1);
    transaction->addWidget(Check1, 1, 2);
    transaction->addWidget(Check2, 1, 3);
    transaction->addWidget(platform::buddyLabel("&Description:", TextComment, Frame2), 2, 0,
                           Qt::AlignTop);
    transaction->addWidget(TextComment, 2, 1, 1, 3);
    transaction->setColumnStretch(1, 1);
    transaction->setColumnStretch(3, 1);

    auto* layout = new QGridLayout(this);
    layout->addWidget(Frame1, 0, 0, 1, 4);
    layout->addWidget(Frame2, 1, 0, 1, 4);
    layout->addWidget(Check3, 2, 0);
    layout->addWidget(Check4, 2, 1);
    layout->addWidget(cmdOK, 2, 2);
    layout->addWidget(cmdCancel, 2, 3);
    // Tab goes through the controls as they are read, top to bottom.
    QWidget* const order[] = {TextName,        ComboGalleons, ComboSickles, ComboKnuts, cmbTType,
                              cmbOtherAccount, cmbReasonIn,   cmbReasonOut, Check1,     Check2,
                              TextComment,     Check3,        Check4,       cmdOK,      cmdCancel};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    const platform::Twips twips(*this);
    setMinimumWidth(twips.px(6000));
    TextComment->setMinimumHeight(twips.px(900));
    TextComment->setMaximumHeight(twips.px(1800));
}

void frmModify::Form_Open(bank::AccountManager& manager, const bank::AccountRow& account,
                          const QString& address, const QList<OtherAccount>& others) {
    manager_ = &manager;
    managerWindow_ = &manager.window();
    TextName->setText(account.name);
    workingRowKey_ = account.key;
    setBalanceBoxes(account.balance, true);
    cmbTType->setCurrentIndex(0);
    cmbTType_Click(0);
    editAddress_ = address;
    cmbOtherAccount->clear();
    for (const OtherAccount& other : others)
        cmbOtherAccount->addItem(other.text, other.rowNumber);
    cmbOtherAccount->setCurrentIndex(-1);
    cmbOtherAccount->setEditText(WithWho);
    // A dialog kept open from an earlier account reads the new one's post too.
    pageAction_ = ReadPost;
    WBModify_->Navigate(editAddress_);
}

bool frmModify::expenseChosen() const {
    return cmbTType->currentIndex() == 1;
}

bank::TransactionInputs frmModify::inputs() const {
    bank::TransactionInputs in;
    in.accountName = TextName->text();
    in.accountRowKey = workingRowKey_;
    in.type = expenseChosen() ? bank::TransactionType::Expense : bank::TransactionType::Income;
    in.otherAccountText = cmbOtherAccount->currentText();
    if (const int entry = chosenIndex(*cmbOtherAccount); entry >= 0)
        in.otherRowNumber = cmbOtherAccount->itemData(entry).toInt();
    const QComboBox& reasons = expenseChosen() ? *cmbReasonOut : *cmbReasonIn;
    const QComboBox& mirrored = expenseChosen() ? *cmbReasonIn : *cmbReasonOut;
    const int reason = chosenIndex(reasons);
    in.reasonChosen = reason >= 0;
    in.reason = reasons.currentText();
    in.counterpartReason = mirrored.itemText(reason);
    in.otherName = otherReasonName_;
    in.isPrivate = Check2->isChecked();
    in.anonymous = Check1->isChecked();
    const QString description = bank::withCrLf(TextComment->toPlainText());
    in.description = description == DescriptionDesign ? QString() : description;
    in.showChanges = Check3->isChecked();
    in.confirm = Check4->isChecked();
    return in;
}

void frmModify::clearDesignDescription() {
    if (bank::withCrLf(TextComment->toPlainText()) == DescriptionDesign)
        TextComment->clear();
}

void frmModify::setBalanceBoxes(const bank::CoinTexts& balance) {
    setBalanceBoxes(balance, false);
}

void frmModify::setBalanceBoxes(const bank::CoinTexts& coins, bool alsoSavedCopy) {
    ComboGalleons->setEditText(coins.galleons);
    ComboSickles->setEditText(coins.sickles);
    ComboKnuts->setEditText(coins.knuts);
    if (alsoSavedCopy)
        savedBalances_ = coins;
}

void frmModify::restoreBalanceBoxes() {
    setBalanceBoxes(savedBalances_, false);
}

void frmModify::holdManagerReloads() {
    if (managerWindow_)
        manager_->holdReloads(true);
    holdsManagerReloads_ = true;
}

// ---- type and reason ----

void frmModify::cmbTType_Click(int index) {
    if (index != 0 && index != 1)
        return;
    cmbReasonIn->setVisible(index == 0);
    cmbReasonOut->setVisible(index == 1);
    lblReason->setBuddy(index == 0 ? cmbReasonIn : cmbReasonOut);
}

bool frmModify::eventFilter(QObject* watched, QEvent* event) {
    // The type changes only by a choice from its list.
    if (watched == cmbTType->lineEdit() && event->type() == QEvent::KeyPress)
        return platform::typesCharacter(*static_cast<QKeyEvent*>(event));
    return QDialog::eventFilter(watched, event);
}

void frmModify::cmbReasonIn_Click(int index) {
    reasonChosen(*cmbReasonIn, index);
}

void frmModify::cmbReasonOut_Click(int index) {
    reasonChosen(*cmbReasonOut, index);
}

void frmModify::reasonChosen(const QComboBox& list, int index) {
    otherReasonName_ =
        list.itemText(index) == QLatin1String("Other")
            ? platform::InputBox("Please enter name for other transaction", "Enter Other")
            : QString();
}

// ---- the forum's pages ----

void frmModify::WBModify_DocumentComplete() {
    if (WBModify_->ReadyState() < WebBrowser::ReadyStateComplete)
        return;
    const QString title = WBModify_->LocationName();
    if (title == TooManyConnections)
        return serverOverload();
    cmdOK->setEnabled(true);
    Log("Readystate:" + QString::number(WBModify_->ReadyState()) + "  " +
        WBModify_->LocationURL().mid(63));
    Log(title);
    switch (pageAction_) {
    case ReadPost:
        readEditPage();
        break;
    case ShowChanges:
        showChangesInViewer();
        break;
    case CloseDialog:
        close();
        break;
    default:
        break;
    }
}

// A busy forum is a pause: the page was not read, and the next OK asks again.
void frmModify::serverOverload() {
    if (managerWindow_)
        manager_->waitingError() = {WaitingError::Busy, QStringLiteral("Server Overload Error")};
    cmdOK->setEnabled(true);
    platform::MsgBox(WBModify_->Document().body().innerText(), platform::vbCritical,
                     "Server Overload Error");
}

void frmModify::readEditPage() {
    if (!managerWindow_)
        return;
    WaitingError& waiting = manager_->waitingError();
    int line = 1; // the statement that failed, for the error text
    auto fail = [&](const QString& description) {
        if (WBModify_->LocationName().contains(QLatin1String(" error"), Qt::CaseInsensitive))
            return;
        waiting = {WaitingError::Critical, "Error in DocumentComplete Event" + CrLf + description +
                                               CrLf + " at line" + QString::number(line)};
    };
    const HtmlForm form = WBModify_->Document().forms("postForm");
    if (form.isNull())
        return fail("The page has no form named postForm");
    line = 2;
    const HtmlElement message = form.field("message");
    if (message.isNull())
        return fail("The form postForm has no field named message");
    line = 3;
    const auto balances = bank::readEditFormBalances(message.value());
    if (!balances) {
        waiting = {WaitingError::Warning, QStringLiteral("Account denomination field(s) missing")};
        return;
    }
    line = 4;
    if (!manager_->row(workingRowKey_))
        return fail("The account is no longer in the manager's list");
    manager_->setBalance(workingRowKey_, *balances);
    setBalanceBoxes(*balances, true);
    pageAction_ = NoAction;
}

void frmModify::showChangesInViewer() {
    if (!managerWindow_)
        return;
    WebBrowser& viewer = manager_->WebBrowser3();
    const QPointer<WebBrowser> opening(&viewer);
    const QPointer<frmModify> self(this);
    viewer.Navigate(WBModify_->LocationURL(), WebBrowser::navOpenInNewWindow);
    const bank::ForumWait wait([&] { return opening && self; }, TransactionProcedure::PollMs);
    if (wait.whileTrue([&] { return opening->ReadyState() < WebBrowser::ReadyStateInteractive; }))
        pageAction_ = NoAction;
}

// ---- the calculator's hand-over ----

void frmModify::takeAmountDollarText(const std::string& dollarText) {
    amountDollarText_ = QString::fromStdString(dollarText);
}

void frmModify::showAgain() {
    show();
    if (amountWait_)
        amountWait_->exit(AmountTyped);
}

bool frmModify::waitForAmount() {
    hide();
    // No polling: the calculator's equals ends this wait.
    QEventLoop loop;
    amountWait_ = &loop;
    const QPointer<frmModify> self(this);
    const int ended = loop.exec();
    if (!self)
        return false;
    amountWait_ = nullptr;
    return ended == AmountTyped;
}

// ---- OK, Cancel and closing ----

void frmModify::cmdOK_Click() {
    // The page handler enables OK while a transaction still waits for its pages.
    if (running_ || !managerWindow_)
        return;
    running_ = true;
    const QPointer<frmModify> self(this);
    TransactionProcedure(*this).run();
    if (self)
        running_ = false;
}

WaitingError::Kind frmModify::showWaitingError() {
    if (!managerWindow_)
        return WaitingError::None;
    WaitingError& waiting = manager_->waitingError();
    const WaitingError shown = waiting;
    switch (shown.kind) {
    case WaitingError::Critical:
        platform::MsgBox(shown.text, platform::vbCritical, "Critical Error");
        close();
        break;
    case WaitingError::Warning:
        waiting = {};
        platform::MsgBox(shown.text, platform::vbInformation, "Warning");
        break;
    case WaitingError::Busy: // the page is asked for again, which says whether the forum still is
        waiting = {};
        break;
    case WaitingError::None:
        break;
    }
    return shown.kind;
}

void frmModify::cmdCancel_Click() {
    // Once OK has begun, both posts are saved before the dialog may go.
    if (!running_)
        close();
}

void frmModify::reject() {
    cmdCancel_Click();
}

void frmModify::closeEvent(QCloseEvent* event) {
    if (running_ && event->spontaneous()) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

void frmModify::Form_Unload() {
    // Gone from now on, though not yet deleted: the next use makes a new dialog.
    if (current() == this)
        current().clear();
    releaseCalculator();
    if (!managerWindow_)
        return;
    // A transaction that stopped half-way held the list still; it may reload now.
    if (holdsManagerReloads_)
        manager_->holdReloads(false);
    holdsManagerReloads_ = false;
    manager_->showAndReload();
}

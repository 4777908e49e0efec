#include "frmAccountCreate.h"

#include "AccountPost.h"
#include "BuddyLabel.h"
#include "DialogControls.h"
#include "Dialogs.h"
#include "KeyCodes.h"
#include "MemberList.h"
#include "Module1.h"
#include "PostSaver.h"
#include "Twips.h"
#include "WebBrowser.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QPointer>
#include <QRegularExpression>

namespace {

const QString GalleonsCaption = QStringLiteral("Galleons");
const QString SicklesCaption = QStringLiteral("Sickles");
const QString KnutsCaption = QStringLiteral("Knuts");

bool isDigit(const QString& typed) {
    return typed.size() == 1 && typed.at(0).isDigit();
}

} // namespace

frmAccountCreate::frmAccountCreate(QStringList accountNames, EditAddressOfThread editAddressOf,
                                   QWidget* manager)
    : QDialog(manager), accountNames_(std::move(accountNames)),
      editAddressOf_(std::move(editAddressOf)), WBCreate_(new WebBrowser(this)) {
    setObjectName("frmAccountCreate");
    setWindowTitle("Create Account");
    setWindowModality(Qt::WindowModal);

    Frame1 = new QGroupBox("Name", this);
    Frame1->setObjectName("Frame1");
    TextName = new QLineEdit(Frame1);
    TextName->setObjectName("TextName");
    TextName->setAccessibleName("Character");
    TextUser = new QLineEdit(Frame1);
    TextUser->setObjectName("TextUser");
    TextUser->setAccessibleName("Owner's user name");
    cmdSearchUser = new QPushButton("List Users", Frame1);
    cmdSearchUser->setObjectName("cmdSearchUser");
    auto* names = new QGridLayout(Frame1);
    names->addWidget(platform::buddyLabel("&Character", TextName, Frame1), 0, 0);
    names->addWidget(TextName, 0, 1, 1, 2);
    names->addWidget(platform::buddyLabel("&User", TextUser, Frame1), 1, 0);
    names->addWidget(TextUser, 1, 1);
    names->addWidget(cmdSearchUser, 1, 2);

    const BalanceBoxes balances = makeBalanceBoxes(this);
    ComboGalleons = balances.galleons;
    ComboSickles = balances.sickles;
    ComboKnuts = balances.knuts;
    for (QComboBox* box : {ComboGalleons, ComboSickles, ComboKnuts})
        box->lineEdit()->installEventFilter(this);

    const OkCancel buttons = makeOkCancel(this);
    cmdOK = buttons.ok;
    cmdCancel = buttons.cancel;
    WBCreate_->setObjectName("WBCreate");

    auto* layout = new QGridLayout(this);
    layout->addWidget(Frame1, 0, 0, 1, 3);
    layout->addWidget(ComboGalleons, 1, 0);
    layout->addWidget(ComboSickles, 1, 1);
    layout->addWidget(ComboKnuts, 1, 2);
    layout->addWidget(cmdOK, 2, 1);
    layout->addWidget(cmdCancel, 2, 2);
    setMinimumWidth(platform::Twips(*this).px(4800));

    connect(WBCreate_, &WebBrowser::DocumentComplete, this,
            &frmAccountCreate::WBCreate_DocumentComplete);
    connect(cmdOK, &QPushButton::clicked, this, &frmAccountCreate::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdSearchUser, &QPushButton::clicked, this, &frmAccountCreate::cmdSearchUser_Click);
    connect(ComboGalleons, &QComboBox::activated, this, &frmAccountCreate::ComboGalleons_Click);
    connect(ComboGalleons->lineEdit(), &QLineEdit::textEdited, this,
            &frmAccountCreate::ComboGalleons_Change);
}

void frmAccountCreate::WBCreate_DocumentComplete() {
    // Once sent, the post is read back before anything else happens.
    if (postState_ == FormSubmitted)
        return;
    const bool complete = WBCreate_->ReadyState() == WebBrowser::ReadyStateComplete;
    cmdOK->setEnabled(complete);
    if (complete)
        TextName->setFocus();
    postState_ = FormLoaded;
}

QString frmAccountCreate::coinValue(const QComboBox& box, const QString& caption) const {
    // A box nobody chose from still shows its caption, which means none.
    return box.currentText() == caption ? QStringLiteral("0") : box.currentText();
}

bool frmAccountCreate::entriesAccepted() {
    const QString name = TextName->text();
    if (name.isEmpty()) {
        platform::MsgBox("Enter a name for the account", platform::vbInformation);
        return false;
    }
    if (ComboGalleons->currentText() == GalleonsCaption) {
        platform::MsgBox("Enter values for the coins", platform::vbOKOnly);
        return false;
    }
    if (const auto refusal = bank::listMarkerRefusal(
            {{"The account name", name}, {"The user name", TextUser->text()}})) {
        platform::MsgBox(*refusal, platform::vbExclamation);
        return false;
    }
    if (accountNames_.contains(name, Qt::CaseInsensitive) &&
        platform::MsgBox("An account named " + name + " exists. Create another?",
                         platform::vbYesNo | platform::vbQuestion | platform::vbDefaultButton2) !=
            platform::vbYes)
        return false;
    return true;
}

void frmAccountCreate::cmdOK_Click() {
    // Enter and a second click do nothing until the forum has answered.
    if (postState_ == FormSubmitted || !cmdOK->isEnabled())
        return;
    const QPointer<frmAccountCreate> self(this);
    if (!entriesAccepted() || !self)
        return;
    const bank::CoinTexts coins{coinValue(*ComboGalleons, GalleonsCaption),
                                coinValue(*ComboSickles, SicklesCaption),
                                coinValue(*ComboKnuts, KnutsCaption)};
    const auto post =
        bank::composeAccountPost(TextName->text(), TextUser->text(), coins, Module1::BoardUrl);
    postState_ = FormSubmitted;
    cmdOK->setEnabled(false);
    bank::PostSaver saver(bank::ForumWait([&self] { return !self.isNull(); }, 100));
    const auto saved = saver.save(
        *WBCreate_, {post.subject, post.message},
        [this](const WebBrowser& answer) {
            const QString thread = bank::threadNumberIn(answer.LocationURL());
            return thread.isEmpty() ? QString() : editAddressOf_(thread);
        },
        std::nullopt);
    if (!self)
        return;
    if (saved.outcome != bank::PostSaver::Outcome::Saved)
        platform::MsgBox(saved.answerTitle + "\r\n\r\nThe forum's answer does not show the " +
                             TextName->text() +
                             " account as it was sent. The manager's list shows whether it exists.",
                         platform::vbCritical, "Failed: " + TextName->text());
    if (self)
        showAnswerAndClose();
}

// Once the post is on its way the dialog stays until the forum's answer has been read
// back: closing it then would lose what became of the account.
void frmAccountCreate::reject() {
    if (postState_ != FormSubmitted)
        QDialog::reject();
}

void frmAccountCreate::closeEvent(QCloseEvent* event) {
    if (postState_ == FormSubmitted && event->spontaneous())
        event->ignore();
    else
        QDialog::closeEvent(event);
}

// The forum's answer opens in a window of its own: the new thread, or what went wrong.
void frmAccountCreate::showAnswerAndClose() {
    const QPointer<frmAccountCreate> self(this);
    WBCreate_->Navigate(WBCreate_->LocationURL(), WebBrowser::navOpenInNewWindow);
    const bank::ForumWait wait([&self] { return !self.isNull(); }, 50);
    if (wait.whileTrue([this] { return WBCreate_->ReadyState() < WebBrowser::ReadyStateLoaded; }))
        accept();
}

void frmAccountCreate::cmdSearchUser_Click() {
    const QString user = TextUser->text();
    bank::NameOrder order = bank::NameOrder::All;
    if (user.contains(',')) {
        const int answer = platform::MsgBox(
            "Click\r\nYES\tto list by first name\r\nNO \tto list by last name\r\nCANCEL \tto "
            "list all",
            platform::vbYesNoCancel | platform::vbQuestion | platform::vbDefaultButton3);
        if (answer == platform::vbYes)
            order = bank::NameOrder::FirstName;
        else if (answer == platform::vbNo)
            order = bank::NameOrder::LastName;
    }
    WBCreate_->Navigate(
        bank::memberListAddress(Module1::BoardUrl, bank::memberListLetter(user, order)),
        WebBrowser::navOpenInNewWindow);
}

void frmAccountCreate::ComboGalleons_Click() {
    if (ComboSickles->currentText() == SicklesCaption)
        ComboSickles->setCurrentIndex(0);
    if (ComboKnuts->currentText() == KnutsCaption)
        ComboKnuts->setCurrentIndex(0);
}

void frmAccountCreate::ComboGalleons_Change(const QString& text) {
    // Pasted text keeps only its digits, as typing does.
    QString digits = text;
    digits.remove(QRegularExpression("[^0-9]"));
    if (digits != text)
        ComboGalleons->setEditText(digits);
}

bool frmAccountCreate::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool typesSomething = platform::typesCharacter(*key);
    // The Galleons box takes digits; the other two only take a pick from their lists.
    if (watched == ComboGalleons->lineEdit())
        return typesSomething && !isDigit(key->text());
    return typesSomething;
}

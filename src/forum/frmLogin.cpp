#include "frmLogin.h"

#include "Dialogs.h"
#include "Module1.h"
#include "SettingsStore.h"
#include "SharedNetwork.h"
#include "Twips.h"
#include "WebBrowser.h"
#include "frmLog.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <algorithm>

namespace {

const QString AddressHint = QStringLiteral("Choose, type or paste url");

const QString BoardsSection = QStringLiteral("Boards");
const QString Guest = QStringLiteral("Guest");
const QString NoUserVariable = QStringLiteral("Error_pb_username");

std::function<void()> managerOpener;

template <typename Control>
Control* place(Control* control, const QString& name, const QString& accessibleName,
               const QRect& geometry) {
    control->setObjectName(name);
    control->setAccessibleName(accessibleName);
    control->setGeometry(geometry);
    return control;
}

// The address up to the forum's top-level domain. The domain is the one that
// "/index.cgi" follows, so that a host such as x.comics.proboards.com stays whole.
QString forumSite(const QString& address) {
    const qsizetype end =
        address.indexOf(Module1::DomainMarker + "/index.cgi", 0, Qt::CaseInsensitive);
    return address.left(end) + Module1::DomainMarker;
}

} // namespace

void frmLogin::setManagerOpener(std::function<void()> opener) {
    managerOpener = std::move(opener);
}

void frmLogin::openManager() {
    if (managerOpener)
        managerOpener();
}

frmLogin::frmLogin()
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName("frmLogin");
    setWindowTitle("Login");
    setAttribute(Qt::WA_DeleteOnClose);
    const platform::Twips twips(*this);
    setFixedSize(twips.size(5325, 2235));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    Label1 = place(new QLabel("Enter RareDerid URL", this), "Label1", "Enter RareDerid URL",
                   twips.rect(120, 0, 2055, 255));
    Combo1 = place(new QComboBox(this), "Combo1", "Board address", twips.rect(120, 240, 5175, 315));
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Frame1 = place(new QGroupBox("User Information", this), "Frame1", "User Information",
                   twips.rect(120, 600, 5055, 1095));
    txtUserName =
        place(new QLineEdit(Frame1), "txtUserName", "User name", twips.rect(1425, 240, 2325, 345));
    txtPassword =
        place(new QLineEdit(Frame1), "txtPassword", "Password", twips.rect(1425, 630, 2325, 345));
    txtPassword->setEchoMode(QLineEdit::Password);
    txtPassword->setStyleSheet("QLineEdit { lineedit-password-character: 42; }");
    const QString captions[] = {"&User Name:", "&Password:"};
    const int captionTops[] = {255, 645};
    QLineEdit* const fields[] = {txtUserName, txtPassword};
    for (int i = 0; i < 2; ++i) {
        lblLabels[i] =
            place(new QLabel(captions[i], Frame1), QStringLiteral("lblLabels_%1").arg(i),
                  QString(captions[i]).remove('&'), twips.rect(240, captionTops[i], 1080, 270));
        lblLabels[i]->setBuddy(fields[i]);
        lblLabels[i]->setEnabled(false);
    }
    Frame1->setEnabled(false);

    // In today's fonts the caption needs more than the box's designed width: the box takes
    // what it needs, the board title follows it, and the two buttons give up some width.
    Check1 = place(new QCheckBox("remember me", this), "Check1", "remember me",
                   twips.rect(120, 1680, 1335, 375));
    Check1->resize(std::max(Check1->width(), Check1->sizeHint().width()), Check1->height());
    Check1->setChecked(true);
    cmdOK = place(new QPushButton("OK", this), "cmdOK", "OK", twips.rect(3180, 1800, 990, 390));
    cmdOK->setEnabled(false);
    cmdOK->setDefault(true);
    cmdCancel = place(new QPushButton("Cancel", this), "cmdCancel", "Cancel",
                      twips.rect(4230, 1800, 990, 390));
    const int titleLeft = Check1->geometry().right() + 1 + twips.px(60);
    Text1 = place(
        new QLineEdit("vaultmeres", this), "Text1", "Board Title",
        QRect(titleLeft, twips.px(1800), cmdOK->x() - twips.px(105) - titleLeft, twips.px(285)));
    Text1->setToolTip("Board Title");
    // The browser works unseen: the user never needs the forum's own login page.
    WBLogin = new WebBrowser(this);
    WBLogin->setObjectName("WBLogin");

    connect(Combo1, &QComboBox::activated, this, &frmLogin::Combo1_Click);
    Combo1->installEventFilter(this);
    Combo1->lineEdit()->installEventFilter(this);
    connect(cmdOK, &QPushButton::clicked, this, &frmLogin::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmLogin::cmdCancel_Click);
    connect(WBLogin, &WebBrowser::DocumentComplete, this, &frmLogin::WBLogin_DocumentComplete);

    Module1::CurrentUser.clear();
    Form_Load();
    Combo1->setCurrentIndex(-1);
    Combo1->setEditText(AddressHint);
}

void frmLogin::Form_Load() {
    BoardHistory = platform::GetAllSettings(BoardsSection);
    if (BoardHistory.isEmpty()) {
        Log("No url history found in registry");
        return;
    }
    for (const auto& board : std::as_const(BoardHistory))
        Combo1->addItem(board.first);
}

bool frmLogin::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && (watched == Combo1 || watched == Combo1->lineEdit()) &&
        Combo1->currentText() == AddressHint) {
        // What the user types or pastes replaces the hint.
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool typed = !key->text().isEmpty() && key->text().at(0).isPrint();
        if (typed || key->matches(QKeySequence::Paste))
            Combo1->clearEditText();
    }
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            int KeyAscii = '\r';
            Combo1_KeyPress(KeyAscii); // may end with this window gone
            return KeyAscii == 0;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmLogin::Combo1_Click(int index) {
    if (index < 0 || index >= BoardHistory.size() || Combo1->currentText().isEmpty())
        return;
    const QString stored = BoardHistory[index].second;
    const QString credentials =
        stored.isEmpty() ? QString() : Module1::Unscramble(stored).value_or(QString());
    txtUserName->setText(credentials.section('!', 0, 0).trimmed());
    txtPassword->setText(credentials.section('!', 1).trimmed());
    Combo1Tag = Combo1->itemText(index);
    int KeyAscii = '\r';
    Combo1_KeyPress(KeyAscii);
}

void frmLogin::Combo1_KeyPress(int& KeyAscii) {
    if (KeyAscii != '\r')
        return;
    KeyAscii = 0;
    if (!Combo1Tag.isEmpty()) {
        Combo1->setEditText(Combo1Tag);
        Combo1Tag.clear();
    }
    const QString typed = Combo1->currentText();
    if (!Module1::IsBoardUrl(typed)) {
        platform::MsgBox("Invalid Proboards url", platform::vbInformation);
        return;
    }
    // The combo box chooses a list entry that matches its text when it loses the focus;
    // selecting the entry now keeps a typed stored board from being opened twice.
    if (const int stored = Combo1->findText(typed, Qt::MatchFixedString); stored >= 0)
        Combo1->setCurrentIndex(stored);
    const QString address = typed.trimmed();
    const QString boardPart = Module1::GetUrlParam(address, Module1::upBoard, false);
    openBoard(Module1::SetUrlParam(forumSite(address) + "/index.cgi?" + boardPart,
                                   Module1::upAction, "login"));
}

void frmLogin::openBoard(const QString& address) {
    if (!openLoginPage(address))
        return;
    if (Module1::CurrentUser == NoUserVariable) {
        const QString location = WBLogin->LocationURL();
        platform::MsgBox("Url might be invalid, incorrect or has timed out",
                         platform::vbInformation);
        Log("Login page failed to load:" + location);
        return;
    }
    Module1::BoardUrl = Module1::SetUrlParam(address, Module1::upAction, QString());
    boardOpened = true;
    if (Module1::CurrentUser == Guest) {
        for (QWidget* control :
             std::initializer_list<QWidget*>{Frame1, lblLabels[0], lblLabels[1], cmdOK})
            control->setEnabled(true);
        Log("Sucessfully opened login page");
        SetBoard();
        return;
    }
    SetBoard();
    LoginOk = true;
    Log("Login page opened but already logged in as " + Module1::CurrentUser);
    // Stays loaded while the manager works; the manager closes it.
    hide();
    openManager();
}

bool frmLogin::openLoginPage(const QString& address) {
    Module1::CurrentUser.clear();
    DeleteUrlCacheEntry(address);
    Log("opening login page...");
    WBLogin->Navigate(address);
    return waitUntil([this] {
        return !Module1::CurrentUser.isEmpty() &&
               WBLogin->ReadyState() == WebBrowser::ReadyStateComplete;
    });
}

void frmLogin::SetBoard() {
    Module1::BoardId = Module1::GetUrlParam(Module1::BoardUrl, Module1::upBoard, true);
    if (!Module1::BoardId.isEmpty()) {
        Text1->setText(Module1::BoardId);
        return;
    }
    Module1::BoardId = Text1->text();
    Module1::BoardUrl = Module1::SetUrlParam(Module1::BoardUrl, Module1::upBoard, Module1::BoardId);
}

void frmLogin::WBLogin_DocumentComplete(const QString& URL) {
    if (WBLogin->ReadyState() < WebBrowser::ReadyStateComplete || !Module1::IsBoardUrl(URL))
        return;
    const QString location = WBLogin->LocationURL();
    DeleteUrlCacheEntry(location);
    // An empty name would keep the board opening waiting for a page that has come.
    const QString user = WBLogin->Document().scriptVariable("pb_username").value_or(QString());
    Module1::CurrentUser = user.isEmpty() ? NoUserVariable : user;
    if (user.isEmpty())
        Log("Page loaded with no username variable present:" + location);
}

void frmLogin::cmdOK_Click() {
    const QString userName = txtUserName->text();
    const QString password = txtPassword->text();
    if (Module1::CurrentUser == Guest && !userName.isEmpty() && !password.isEmpty() &&
        !logIn(userName, password))
        return;
    Module1::BoardId = Text1->text();
    close();
    openManager();
}

bool frmLogin::logIn(const QString& userName, const QString& password) {
    // After a failed try the browser shows the forum's error page, which has no login form.
    if (WBLogin->Document().forms("loginform").isNull() &&
        !openLoginPage(Module1::SetUrlParam(Module1::BoardUrl, Module1::upAction, "login")))
        return false;
    Log("Attemptin login at " + Module1::BoardUrl + " as " + userName);
    const HtmlDocument page = WBLogin->Document();
    page.getElementById("username").setValue(userName);
    page.getElementById("password").setValue(password);
    page.forms("loginform").submit();
    if (!waitUntil([this] { return WBLogin->ReadyState() == WebBrowser::ReadyStateComplete; },
                   1000))
        return false;

    const QString reported = WBLogin->Document().scriptVariable("pb_username").value_or(QString());
    // Set before the message: closing the window while it shows stores what is known by then.
    LoginOk = reported.toLower() == userName.toLower();
    Log(LoginOk ? "Login successful" : "Login failed");
    const QPointer<frmLogin> self(this);
    platform::MsgBox(LoginOk ? "Success" : "Failed", platform::vbInformation, "Login");
    return self && self == current() && self->LoginOk;
}

bool frmLogin::waitUntil(const std::function<bool()>& done, int settleMs) {
    const QPointer<frmLogin> self(this);
    const quint64 action = ++lastWaitingAction;
    while (!done()) {
        if (!keptOpen(self, 500))
            return false;
    }
    if (settleMs > 0 && !keptOpen(self, settleMs))
        return false;
    return action == lastWaitingAction; // else a newer opening or login took over the page
}

bool frmLogin::keptOpen(const QPointer<frmLogin>& window, int ms) {
    return Module1::Delay(ms) && window && window == current();
}

void frmLogin::cmdCancel_Click() {
    close();
}

// Esc presses Cancel.
void frmLogin::reject() {
    cmdCancel_Click();
}

void frmLogin::closeEvent(QCloseEvent* event) {
    Form_Unload();
    if (current() == this)
        current().clear();      // the open window is gone from now on, though not yet deleted
    QWidget::closeEvent(event); // not QDialog's, which would reject and so close once more
}

void frmLogin::Form_Unload() {
    // A board opened by an earlier login window is not this window's to store: storing it
    // again would forget the credentials remembered for it.
    if (boardOpened && !Module1::BoardUrl.isEmpty()) {
        Module1::BoardUrl = forumSite(Module1::BoardUrl) + "/index.cgi?board=" + Module1::BoardId;
        platform::SaveSetting(BoardsSection, Module1::BoardUrl, rememberedCredentials());
    }
    LoginOk = false;
}

QString frmLogin::rememberedCredentials() const {
    const QString userName = txtUserName->text();
    if (userName.isEmpty() || !LoginOk || !Check1->isChecked())
        return {};
    const auto scrambled = Module1::Scramble(userName + '!' + txtPassword->text());
    if (!scrambled)
        Log("Credentials not remembered: the user name or password holds characters that "
            "cannot be stored");
    return scrambled.value_or(QString());
}

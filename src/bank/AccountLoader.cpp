#include "AccountLoader.h"

#include "AccountListView.h"
#include "Dialogs.h"
#include "Module1.h"
#include "SharedNetwork.h"
#include "StatusBar.h"
#include "ThreadTable.h"
#include "WebBrowser.h"
#include "frmLog.h"

#include <QAbstractButton>
#include <QPointer>

using Module1::BoardId;
using Module1::BoardUrl;

namespace {

constexpr int StatusText = 2; // the status bar panel that carries the status text
constexpr int OverloadError = 17;
constexpr int EventPollMs = 20; // how often a wait that only lets events run looks again
const QString ManagerTitle = QStringLiteral("Vaultmere's Manager");
const QString TooManyConnections = QStringLiteral("Too Many Connections");

} // namespace

AccountLoader::AccountLoader(Controls controls, QObject* parent)
    : QObject(parent), WebBrowser1(new WebBrowser(this)), WebBrowser2(new WebBrowser(this)),
      c(std::move(controls)) {
    WebBrowser1->setObjectName("WebBrowser1");
    WebBrowser2->setObjectName("WebBrowser2");
    // Queued, so that a handler that waits never runs inside the browser's own signal.
    connect(WebBrowser1, &WebBrowser::DocumentComplete, this,
            &AccountLoader::WebBrowser1_DocumentComplete, Qt::QueuedConnection);
    connect(WebBrowser2, &WebBrowser::DocumentComplete, this,
            &AccountLoader::WebBrowser2_DocumentComplete, Qt::QueuedConnection);
}

void AccountLoader::unload() {
    currentItem.clear();
    loading = false;
    unloaded_ = true;
}

void AccountLoader::Load() {
    if (loading)
        return;
    if (!c.status.text(StatusText).startsWith(QLatin1String("Loading")))
        c.status.setText(StatusText, QStringLiteral("Reloading accounts, please wait..."));
    loading = true;
    morePages = true;
    seen_.clear();
    boardRead_ = false;
    for (int page = 1; morePages; ++page) {
        pageDone = false;
        Log(QStringLiteral("Opening page %1 of accounts").arg(page));
        const QString address = BoardUrl + QStringLiteral("&page=") + QString::number(page);
        WebBrowser1->Navigate(address, WebBrowser::navNoHistory | WebBrowser::navNoReadFromCache);
        if (!pause(300) || !waitUntil([this] { return pageDone || !morePages; }, EventPollMs))
            return;
        DeleteUrlCacheEntry(address);
        // An error ends the load where it is; `loading` stays set, so that a busy
        // forum is not asked again until the window is opened anew.
        if (loadError != 0) {
            loadError = 0;
            return;
        }
    }
    removeRowsNotSeen();
    c.status.setText(StatusText,
                     QStringLiteral("%1 accounts loaded: Ready").arg(c.list.topLevelItemCount()));
    if (c.list.topLevelItemCount() == 0)
        c.create.setEnabled(true);
    c.list.setFocus();
    if (QTreeWidgetItem* row = c.list.selectedRow())
        c.itemClick(row);
    loading = false;
    userChanged = false;
    loadError = 0;
}

void AccountLoader::WebBrowser1_DocumentComplete(const QString&, bool topLevel) {
    Log(QStringLiteral("WB1  (readystate=%1)").arg(WebBrowser1->ReadyState()));
    if (WebBrowser1->ReadyState() != WebBrowser::ReadyStateComplete)
        return;
    if (readBoardPage(WebBrowser1->LocationURL(), topLevel))
        pageDone = true;
}

bool AccountLoader::readBoardPage(const QString& address, bool topLevel) {
    // A page without an address is no board page either: paging ends rather than
    // asking for page after page.
    if (address.isEmpty() || address == QLatin1String("http:///")) {
        morePages = false;
        return true;
    }
    const QString title = WebBrowser1->LocationName();
    if (title == TooManyConnections)
        return serverOverload(*WebBrowser1);
    if (address == lastPageAddress)
        return true;
    lastPageAddress = address;
    const bool valid = topLevel &&
                       Module1::GetUrlParam(address, Module1::upBoard, true) == BoardId &&
                       !title.contains(QLatin1String("error has occurred"), Qt::CaseInsensitive);
    if (!valid) {
        morePages = false;
        return true;
    }
    boardRead_ = true;
    const QString shownUser = captionUser();
    return checkUser(address, shownUser) && walkThreadTable(shownUser);
}

QString AccountLoader::captionUser() const {
    const QString caption = c.window.windowTitle();
    const qsizetype open = caption.indexOf('(');
    if (open < 0)
        return {};
    const qsizetype close = caption.indexOf(')', open + 1);
    return caption.mid(open + 1, close < 0 ? -1 : close - open - 1);
}

bool AccountLoader::checkUser(const QString& address, const QString& shownUser) {
    const HtmlDocument document = WebBrowser1->Document();
    forumUserName = document.scriptVariable(QStringLiteral("pb_username")).value_or(QString());
    const QString displayName =
        document.scriptVariable(QStringLiteral("pb_displayname")).value_or(QString());
    if (displayName.isEmpty())
        return true;
    if (forumUserName != shownUser) {
        userChanged = true;
        if (forumUserName == QLatin1String("Guest") && address.endsWith(QLatin1String("page=1"))) {
            QPointer<AccountLoader> self(this);
            platform::MsgBox(QStringLiteral("You are not logged in.\r\n"
                                            "You won't be able to make any changes"),
                             platform::vbInformation, QStringLiteral("Warning"));
            if (!self)
                return false;
        }
    }
    c.window.setWindowTitle(displayName + '(' + forumUserName + ")-" + ManagerTitle);
    return true;
}

bool AccountLoader::walkThreadTable(const QString& shownUser) {
    const HtmlDocument document = WebBrowser1->Document();
    const bool mayPost = bank::offersNewThread(document);
    for (const bank::ThreadLink& link : bank::threadLinks(bank::threadTable(document))) {
        Log(QStringLiteral("Thread: ") + link.threadNumber + QStringLiteral(" text:") +
            link.subject);
        if (!link.isAccount)
            continue;
        const QString key = 'T' + link.threadNumber;
        seen_.insert(key);
        QTreeWidgetItem* row = c.list.findRow(key);
        currentItem = key;
        if (!row) {
            row = c.list.addRow(key, link.subject);
        } else {
            Log(QStringLiteral("Skipping duplicate key:") + link.threadNumber +
                QStringLiteral(" for ") + row->text(AccountListView::Account));
            if (!readAgain(*row, link, shownUser))
                continue;
        }
        AccountListView::setRead(*row, link.activity);
        c.create.setEnabled(mayPost);
        c.status.setText(StatusText, QStringLiteral("Opening ") +
                                         row->text(AccountListView::Account) +
                                         QStringLiteral(" account"));
        threadDone = false;
        WebBrowser2->Navigate(BoardUrl + QStringLiteral("&action=display&thread=") +
                              link.threadNumber);
        if (!waitUntil([this] { return threadDone; }, 100))
            return false;
        DeleteUrlCacheEntry(WebBrowser2->LocationURL());
        threadDone = false;
    }
    return true;
}

// A row read by an earlier load for the same user is read again only when its
// thread changed since: the program wrote its post, or the board shows new activity.
bool AccountLoader::readAgain(const QTreeWidgetItem& row, const bank::ThreadLink& link,
                              const QString& shownUser) const {
    return userChanged || forumUserName != shownUser || AccountListView::changedSinceRead(row) ||
           AccountListView::activity(row) != link.activity;
}

// Only a load that walked every page of the board knows which threads are gone.
void AccountLoader::removeRowsNotSeen() {
    if (!boardRead_)
        return;
    for (int i = c.list.topLevelItemCount() - 1; i >= 0; --i)
        if (QTreeWidgetItem* row = c.list.topLevelItem(i);
            !seen_.contains(AccountListView::key(*row)))
            c.list.removeRow(row);
}

void AccountLoader::WebBrowser2_DocumentComplete(const QString&, bool topLevel) {
    Log(QStringLiteral("WB2 (readystate=%1)").arg(WebBrowser2->ReadyState()));
    if (WebBrowser2->ReadyState() != WebBrowser::ReadyStateComplete)
        return;
    threadDone = true;
    if (WebBrowser2->LocationURL() == QLatin1String("http:///"))
        return;
    if (WebBrowser2->LocationName() == TooManyConnections) {
        serverOverload(*WebBrowser2);
        return;
    }
    readThreadPage(topLevel);
}

void AccountLoader::readThreadPage(bool topLevel) {
    if (currentItem.isEmpty() ||
        !waitUntil([this] { return !WebBrowser1->Busy() && !WebBrowser2->Busy(); }, EventPollMs))
        return;
    QTreeWidgetItem* row = c.list.findRow(currentItem);
    if (!row)
        return;
    const QString name = row->text(AccountListView::Account);
    if (!topLevel) {
        AccountListView::denyRights(*row);
        platform::MsgBox(QStringLiteral("Unable to open ") + name + QStringLiteral(" account"));
        return;
    }
    const bank::AccountThread thread =
        bank::readAccountThread(WebBrowser2->Document().body().innerHTML(), QDate::currentDate());
    if (thread.missingCoinLine) {
        Log(name + QStringLiteral(" failed preliminary account format check (") +
            bank::coinLineName(*thread.missingCoinLine) + QStringLiteral(" line not found)") +
            bank::CrLf);
        c.list.removeRow(row);
        return;
    }
    if (!thread.dateFound) {
        const QString message = QStringLiteral("Unable to get account date for ") + name;
        Log(message);
        platform::MsgBox(message);
        return;
    }
    AccountListView::showThread(*row, thread);
}

bool AccountLoader::serverOverload(const WebBrowser& browser) {
    QPointer<AccountLoader> self(this);
    const QString text = browser.Document().body().innerText();
    platform::MsgBox(text, platform::vbCritical, QStringLiteral("Server Overload Error"));
    if (!self)
        return false;
    loadError = OverloadError;
    return true;
}

bool AccountLoader::pause(int ms) {
    QPointer<AccountLoader> self(this);
    return Module1::Delay(ms) && self && !unloaded_;
}

bool AccountLoader::waitUntil(const std::function<bool()>& done, int pollMs) {
    while (!done())
        if (!pause(pollMs))
            return false;
    return true;
}

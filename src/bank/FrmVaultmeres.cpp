#include "FrmVaultmeres.h"

#include "AccountListView.h"
#include "AccountLoader.h"
#include "Csv.h"
#include "Dialogs.h"
#include "Module1.h"
#include "OsServices.h"
#include "SettingsStore.h"
#include "StatusBar.h"
#include "Twips.h"
#include "WebBrowser.h"
#include "frmAccountCreate.h"
#include "frmBooks.h"
#include "frmHistory.h"
#include "frmModify.h"

#include <QAction>
#include <QCloseEvent>
#include <QPointer>
#include <QTimer>

namespace {

const QString MetricsSection = QStringLiteral("Metrics\\Manager");
const char* const SuffixProperty = "requestSuffix";

// The design, in twips.
constexpr int MinimumWidth = 4800;
constexpr int MinimumHeight = 3600;
constexpr int ListLeft = 120;
constexpr int ListTop = 120;
constexpr int ButtonWidth = 1095;
constexpr int ButtonHeight = 375;
constexpr int StatusBarHeight = 315;
constexpr int InfoPanelWidth = 1200;

bank::AccountRow accountRow(const QTreeWidgetItem& row) {
    return {AccountListView::key(row),
            row.text(AccountListView::Account),
            {row.text(AccountListView::Galleons), row.text(AccountListView::Sickles),
             row.text(AccountListView::Knuts)},
            AccountListView::mayModify(row)};
}

} // namespace

FrmVaultmeres::FrmVaultmeres()
    : ListView1_(new AccountListView(this)),
      cmdModify(button("cmdModify", "Modify", "&action=modifypost&thread=%s&post=%s")),
      cmdCreate(button("cmdCreate", "Create", "&action=post")),
      cmdDelete(button("cmdDelete", "Delete", "&action=deletepost&thread=%s&post=%s")),
      StatusBar1(new StatusBar(this)), WebBrowser3_(new WebBrowser(this)) {
    setObjectName("FrmVaultmeres");
    setWindowTitle("Vaultmere's Manager");
    setAttribute(Qt::WA_DeleteOnClose);
    ListView1_->setObjectName("ListView1");
    ListView1_->setAccessibleName("Accounts");
    WebBrowser3_->setObjectName("WebBrowser3");
    const platform::Twips twips(*this);
    StatusBar1->setObjectName("StatusBar1");
    StatusBar1->addPanel(QString(), twips.px(InfoPanelWidth), twips.px(InfoPanelWidth));
    StatusBar1->addPanel(QString(), 0, 0, true);
    StatusBar1->setText(2, "Loading accounts, please wait...");

    loader_ = new AccountLoader({*this, *ListView1_, *StatusBar1, *cmdCreate,
                                 [this](QTreeWidgetItem* row) {
                                     ListView1_ItemClick(row);
                                 }},
                                this);
    connect(ListView1_, &QTreeWidget::itemSelectionChanged, this,
            [this] { ListView1_ItemClick(ListView1_->selectedRow()); });
    connect(cmdModify, &QPushButton::clicked, this, &FrmVaultmeres::cmdModify_Click);
    connect(cmdCreate, &QPushButton::clicked, this, &FrmVaultmeres::cmdCreate_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &FrmVaultmeres::cmdDelete_Click);
    createMenu();
    Form_Load();
}

// What the list offers besides its three buttons, on its context menu and by shortcut.
void FrmVaultmeres::createMenu() {
    const struct {
        const char* name;
        const char* caption;
        QKeySequence shortcut;
        void (FrmVaultmeres::*handler)();
    } items[] = {
        {"mnuCheckBooks", "Check &Books...", QKeySequence(Qt::CTRL | Qt::Key_B),
         &FrmVaultmeres::mnuCheckBooks_Click},
        {"mnuHistory", "&History...", QKeySequence(Qt::CTRL | Qt::Key_H),
         &FrmVaultmeres::mnuHistory_Click},
        {"mnuExport", "&Export List...", QKeySequence(Qt::CTRL | Qt::Key_E),
         &FrmVaultmeres::mnuExport_Click},
    };
    for (const auto& item : items) {
        auto* action = new QAction(QString::fromLatin1(item.caption), this);
        action->setObjectName(item.name);
        action->setShortcut(item.shortcut);
        connect(action, &QAction::triggered, this, item.handler);
        addAction(action);
        ListView1_->addAction(action);
    }
    ListView1_->setContextMenuPolicy(Qt::ActionsContextMenu);
}

QPushButton* FrmVaultmeres::button(const QString& name, const QString& caption,
                                   const QString& suffix) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setAccessibleName(caption + QStringLiteral(" account"));
    button->setProperty(SuffixProperty, suffix);
    button->resize(platform::Twips(*this).size(ButtonWidth, ButtonHeight));
    button->setEnabled(false);
    return button;
}

// The button's request suffix with its placeholders filled in turn.
QString FrmVaultmeres::requestAddress(const QPushButton& button, const QString& threadNumber,
                                      const QString& postNumber) const {
    QString suffix = button.property(SuffixProperty).toString();
    for (const QString& value : {threadNumber, postNumber})
        if (const qsizetype at = suffix.indexOf(QLatin1String("%s")); at >= 0)
            suffix.replace(at, 2, value);
    return Module1::BoardUrl + suffix;
}

void FrmVaultmeres::Form_Load() {
    const int height =
        platform::GetSetting(MetricsSection, "Height", QString::number(MinimumHeight)).toInt();
    const int width =
        platform::GetSetting(MetricsSection, "Width", QString::number(MinimumWidth)).toInt();
    storedOuterTwips_ = QSize(width, height);
    resizeOuter(width, height);
    Module1::LoadTimeZoneText();
}

void FrmVaultmeres::resizeOuter(int widthTwips, int heightTwips) {
    const platform::Twips twips(*this);
    const QSize frame = frameGeometry().size() - size();
    resize(twips.px(widthTwips) - frame.width(), twips.px(heightTwips) - frame.height());
}

void FrmVaultmeres::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // The load waits for the forum: it runs after the activation has been dealt with.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        QTimer::singleShot(0, this, &FrmVaultmeres::Form_Activate);
}

void FrmVaultmeres::Form_Activate() {
    // The frame is known once the window is on screen; the stored size is its outer size.
    if (storedOuterTwips_.isValid()) {
        resizeOuter(storedOuterTwips_.width(), storedOuterTwips_.height());
        storedOuterTwips_ = QSize();
    }
    loader_->Load();
}

void FrmVaultmeres::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void FrmVaultmeres::Form_Resize() {
    // Minimised, the formulas would give the list a negative height.
    if (isMinimized())
        return;
    const platform::Twips twips(*this);
    const QSize outer = frameGeometry().size();
    if (!isMaximized() &&
        (outer.width() < twips.px(MinimumWidth) || outer.height() < twips.px(MinimumHeight))) {
        resizeOuter(MinimumWidth, MinimumHeight);
        return;
    }
    const int barHeight = qMax(twips.px(StatusBarHeight), StatusBar1->sizeHint().height());
    StatusBar1->setGeometry(0, height() - barHeight, width(), barHeight);

    const int buttonHeight = cmdDelete->height();
    const int listLeft = twips.px(ListLeft);
    const int listTop = twips.px(ListTop);
    const int listWidth = qMax(0, outer.width() - twips.px(480));
    const int listHeight =
        qMax(0, outer.height() - (listTop + barHeight + qRound(4.2 * buttonHeight)));
    ListView1_->setGeometry(listLeft, listTop, listWidth, listHeight);

    // Right-aligned under the list, each a tenth of its width before the next.
    const int top = listTop + listHeight + buttonHeight;
    int right = listLeft + listWidth;
    for (QPushButton* button : {cmdDelete, cmdCreate, cmdModify}) {
        const int left = right - qRound(1.1 * button->width());
        button->move(left, top);
        right = left;
    }
}

QString FrmVaultmeres::modifyAddress(const QString& threadNumber, const QString& postNumber) const {
    return requestAddress(*cmdModify, threadNumber, postNumber);
}

std::optional<bank::AccountRow> FrmVaultmeres::row(const QString& key) const {
    const QTreeWidgetItem* item = ListView1_->findRow(key);
    return item ? std::optional(accountRow(*item)) : std::nullopt;
}

std::optional<bank::AccountRow> FrmVaultmeres::rowAt(int number) const {
    const QTreeWidgetItem* item = ListView1_->topLevelItem(number - 1);
    return item ? std::optional(accountRow(*item)) : std::nullopt;
}

void FrmVaultmeres::setBalance(const QString& key, const bank::CoinTexts& balance) {
    if (QTreeWidgetItem* item = ListView1_->findRow(key)) {
        item->setText(AccountListView::Galleons, balance.galleons);
        item->setText(AccountListView::Sickles, balance.sickles);
        item->setText(AccountListView::Knuts, balance.knuts);
    }
}

void FrmVaultmeres::accountWritten(const QString& key) {
    if (QTreeWidgetItem* item = ListView1_->findRow(key))
        AccountListView::markChanged(*item);
}

void FrmVaultmeres::selectRow(const QString& key) {
    if (QTreeWidgetItem* item = ListView1_->findRow(key))
        ListView1_->setCurrentItem(item);
}

void FrmVaultmeres::setStatusText(const QString& text) {
    StatusBar1->setText(2, text);
}

void FrmVaultmeres::holdReloads(bool hold) {
    loader_->setLoading(hold);
}

bool FrmVaultmeres::reloadsHeld() const {
    return loader_->isLoading();
}

bool FrmVaultmeres::transactionRunning() const {
    return frmModify::exists() && frmModify::instance().transactionRunning();
}

void FrmVaultmeres::showAndReload() {
    if (current() != this) // being unloaded: the windows it closes do not bring it back
        return;
    show();
    raise();
    if (isActiveWindow())
        QTimer::singleShot(0, this, &FrmVaultmeres::Form_Activate); // no activation will come
    else
        activateWindow();
}

void FrmVaultmeres::ListView1_ItemClick(QTreeWidgetItem* Item) {
    cmdDelete->setEnabled(Item && AccountListView::mayDelete(*Item));
    cmdModify->setEnabled(Item && AccountListView::mayModify(*Item));
}

void FrmVaultmeres::cmdModify_Click() {
    QTreeWidgetItem* row = ListView1_->selectedRow();
    // A transaction on its way keeps its dialog until both posts are saved.
    if (!row || transactionRunning())
        return;
    QList<frmModify::OtherAccount> others;
    for (int i = 0; i < ListView1_->topLevelItemCount(); ++i)
        if (QTreeWidgetItem* other = ListView1_->topLevelItem(i); other != row)
            others.append({other->text(AccountListView::Account), i + 1});
    const QString thread = AccountListView::threadNumber(*row);
    frmModify& dialog = frmModify::instance();
    dialog.Form_Open(*this, accountRow(*row), modifyAddress(thread, thread), others);
    hide();
    platform::showInFront(dialog);
}

void FrmVaultmeres::cmdCreate_Click() {
    QStringList names;
    for (int i = 0; i < ListView1_->topLevelItemCount(); ++i)
        names.append(ListView1_->topLevelItem(i)->text(AccountListView::Account));
    auto* dialog = new frmAccountCreate(
        names, [this](const QString& thread) { return modifyAddress(thread, thread); }, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->WBCreate().Navigate(requestAddress(*cmdCreate, QString(), QString()));
    // Closing it makes this window active again, which reloads the list.
    dialog->exec();
}

QList<bank::BooksReader::Account> FrmVaultmeres::booksAccounts() const {
    QList<bank::BooksReader::Account> accounts;
    for (int i = 0; i < ListView1_->topLevelItemCount(); ++i) {
        const QTreeWidgetItem& row = *ListView1_->topLevelItem(i);
        accounts.append({AccountListView::threadNumber(row), row.text(AccountListView::Account),
                         AccountListView::mayModify(row)});
    }
    return accounts;
}

bank::BooksReader::EditAddress FrmVaultmeres::editAddress() const {
    return [this](const QString& thread, const QString& post) {
        return modifyAddress(thread, post);
    };
}

void FrmVaultmeres::mnuCheckBooks_Click() {
    frmBooks& books = frmBooks::instance();
    books.Form_Open(booksAccounts(), Module1::BoardUrl, editAddress());
    platform::showInFront(books);
}

void FrmVaultmeres::mnuHistory_Click() {
    const QTreeWidgetItem* row = ListView1_->selectedRow();
    if (!row) {
        platform::MsgBox("Select an account first", platform::vbInformation);
        return;
    }
    auto* history =
        new frmHistory({AccountListView::threadNumber(*row), row->text(AccountListView::Account),
                        AccountListView::mayModify(*row)},
                       Module1::BoardUrl, editAddress());
    platform::showInFront(*history);
}

void FrmVaultmeres::mnuExport_Click() {
    QList<QStringList> rows{{}};
    for (int column = 0; column < ListView1_->columnCount(); ++column)
        rows.front().append(ListView1_->headerItem()->text(column));
    for (int i = 0; i < ListView1_->topLevelItemCount(); ++i) {
        QStringList row;
        for (int column = 0; column < ListView1_->columnCount(); ++column)
            row.append(ListView1_->topLevelItem(i)->text(column));
        rows.append(row);
    }
    const QString path = platform::SaveCsvFileName("Export the accounts", "accounts.csv");
    if (!path.isEmpty() && !bank::saveCsv(path, rows))
        platform::MsgBox("The accounts could not be saved to " + path, platform::vbExclamation);
}

void FrmVaultmeres::cmdDelete_Click() {
    const QTreeWidgetItem* row = ListView1_->selectedRow();
    if (!row) {
        platform::MsgBox("Select an account first", platform::vbInformation);
        return;
    }
    const QString key = AccountListView::key(*row);
    const QString thread = AccountListView::threadNumber(*row);
    QPointer<FrmVaultmeres> self(this);
    const int answer = platform::MsgBox("Are you sure you want to delete the " +
                                            row->text(AccountListView::Account) + " account?",
                                        platform::vbYesNo | platform::vbQuestion);
    if (!self || answer != platform::vbYes)
        return;
    // The forum's answer opens in a window of its own; the next load shows the outcome.
    WebBrowser3_->Navigate(requestAddress(*cmdDelete, thread, thread),
                           WebBrowser::navOpenInNewWindow);
    // A load running meanwhile may have dropped the row already.
    ListView1_->removeRow(ListView1_->findRow(key));

    // Handing the focus to the calculator and taking it back reloads the list.
    if (QWidget* calculator = platform::findOpenWindow("ZentabCalc"))
        calculator->activateWindow();
    Module1::Delay(1000);
    if (self)
        showAndReload();
}

void FrmVaultmeres::closeEvent(QCloseEvent* event) {
    // The user's close waits while a transaction saves its two posts.
    if (event->spontaneous() && transactionRunning()) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

void FrmVaultmeres::Form_Unload() {
    // Gone from now on, though not yet deleted: the windows closed below do not
    // bring it back.
    if (current() == this)
        current().clear();
    const platform::Twips twips(*this);
    const QSize outer = frameGeometry().size();
    platform::SaveSetting(MetricsSection, "Height", QString::number(twips.twips(outer.height())));
    platform::SaveSetting(MetricsSection, "Width", QString::number(twips.twips(outer.width())));
    loader_->unload();
    for (const char* name : {"frmLogin", "frmAccountCreate", "frmModify", "frmBooks", "frmHistory"})
        if (QWidget* window = platform::findOpenWindow(name))
            window->close();
}

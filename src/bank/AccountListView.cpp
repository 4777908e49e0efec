#include "AccountListView.h"

#include "Twips.h"

#include <QHeaderView>

namespace {

// The key lives with the row's text, the rights with the two date columns and
// the post body with the row, as tags beside what the columns show.
constexpr int KeyRole = Qt::UserRole;
constexpr int TagRole = Qt::UserRole + 1;
constexpr int ActivityRole = Qt::UserRole + 2;
constexpr int ChangedRole = Qt::UserRole + 3;

struct ColumnDesign {
    const char* heading;
    int width; // twips
};

const ColumnDesign Columns[] = {
    {"Account", 1840},      {"Galleons", 800},          {"Sickles", 750}, {"Knuts", 600},
    {"Date Created", 1840}, {"Last Transaction", 1840}, {"Teller", 1440},
};

} // namespace

AccountListView::AccountListView(QWidget* parent) : QTreeWidget(parent) {
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setColumnCount(std::size(Columns));
    QStringList headings;
    for (const ColumnDesign& column : Columns)
        headings.append(QString::fromLatin1(column.heading));
    setHeaderLabels(headings);
    const platform::Twips twips(*this);
    for (int i = 0; i < columnCount(); ++i)
        setColumnWidth(i, twips.px(Columns[i].width));
    header()->setStretchLastSection(false);
}

QTreeWidgetItem* AccountListView::findRow(const QString& key) const {
    for (int i = 0; i < topLevelItemCount(); ++i)
        if (AccountListView::key(*topLevelItem(i)) == key)
            return topLevelItem(i);
    return nullptr;
}

QTreeWidgetItem* AccountListView::addRow(const QString& key, const QString& text) {
    auto* row = new QTreeWidgetItem(this);
    row->setText(Account, text);
    row->setData(Account, KeyRole, key);
    return row;
}

void AccountListView::removeRow(QTreeWidgetItem* row) {
    delete row;
}

QTreeWidgetItem* AccountListView::selectedRow() const {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? nullptr : selected.front();
}

QString AccountListView::key(const QTreeWidgetItem& row) {
    return row.data(Account, KeyRole).toString();
}

QString AccountListView::threadNumber(const QTreeWidgetItem& row) {
    return key(row).mid(1);
}

bool AccountListView::mayDelete(const QTreeWidgetItem& row) {
    return row.data(DateCreated, TagRole).toBool();
}

bool AccountListView::mayModify(const QTreeWidgetItem& row) {
    return row.data(DateModified, TagRole).toBool();
}

QString AccountListView::body(const QTreeWidgetItem& row) {
    return row.data(Account, TagRole).toString();
}

void AccountListView::showThread(QTreeWidgetItem& row, const bank::AccountThread& thread) {
    row.setText(DateCreated, thread.created);
    row.setData(Account, TagRole, thread.body);
    row.setText(Galleons, thread.balances.galleons);
    row.setText(Sickles, thread.balances.sickles);
    row.setText(Knuts, thread.balances.knuts);
    row.setText(DateModified, thread.lastTransaction);
    row.setText(Teller, thread.teller);
    row.setData(DateCreated, TagRole, thread.mayDelete);
    row.setData(DateModified, TagRole, thread.mayModify);
}

void AccountListView::denyRights(QTreeWidgetItem& row) {
    row.setData(DateCreated, TagRole, false);
    row.setData(DateModified, TagRole, false);
}

void AccountListView::setRead(QTreeWidgetItem& row, const QString& activity) {
    row.setData(Account, ActivityRole, activity);
    row.setData(Account, ChangedRole, false);
}

QString AccountListView::activity(const QTreeWidgetItem& row) {
    return row.data(Account, ActivityRole).toString();
}

void AccountListView::markChanged(QTreeWidgetItem& row) {
    row.setData(Account, ChangedRole, true);
}

bool AccountListView::changedSinceRead(const QTreeWidgetItem& row) {
    return row.data(Account, ChangedRole).toBool();
}

#pragma once

#include "AccountPages.h"

#include <QTreeWidget>

// The manager's list of accounts in report style: one row per account thread,
// keyed "T" + thread number, with the balances, dates and teller as columns and
// the rights and the post body kept with the row.
class AccountListView : public QTreeWidget {
    Q_OBJECT
public:
    enum Column { Account, Galleons, Sickles, Knuts, DateCreated, DateModified, Teller };

    explicit AccountListView(QWidget* parent = nullptr);

    QTreeWidgetItem* findRow(const QString& key) const;
    QTreeWidgetItem* addRow(const QString& key, const QString& text);
    void removeRow(QTreeWidgetItem* row);
    QTreeWidgetItem* selectedRow() const;

    static QString key(const QTreeWidgetItem& row);
    static QString threadNumber(const QTreeWidgetItem& row);
    static bool mayDelete(const QTreeWidgetItem& row);
    static bool mayModify(const QTreeWidgetItem& row);
    static QString body(const QTreeWidgetItem& row);

    // Fills a row from its thread page.
    static void showThread(QTreeWidgetItem& row, const bank::AccountThread& thread);
    static void denyRights(QTreeWidgetItem& row);

    // What the board page showed of the thread's activity when the row was
    // last read; and whether the program changed the thread since.
    static void setRead(QTreeWidgetItem& row, const QString& activity);
    static QString activity(const QTreeWidgetItem& row);
    static void markChanged(QTreeWidgetItem& row);
    static bool changedSinceRead(const QTreeWidgetItem& row);
};

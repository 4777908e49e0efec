#pragma once

#include <QComboBox>
#include <QPushButton>

// Controls that the account dialogs share.

// An editable drop-down that shows its design text until something is chosen
// or typed.
QComboBox* editableList(QWidget* parent, const char* name, const QString& accessibleName,
                        const QStringList& items, const QString& designText);

// The three coin boxes: Galleons offers a few round sums, Sickles and Knuts
// every count below the next coin; each shows its coin's name at first.
struct BalanceBoxes {
    QComboBox* galleons;
    QComboBox* sickles;
    QComboBox* knuts;
};
BalanceBoxes makeBalanceBoxes(QWidget* parent);

// OK starts disabled, until the dialog's forum page has loaded; Enter presses it.
struct OkCancel {
    QPushButton* ok;
    QPushButton* cancel;
};
OkCancel makeOkCancel(QWidget* parent);

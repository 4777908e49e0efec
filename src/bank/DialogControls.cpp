#include "DialogControls.h"

namespace {

QStringList countsBelow(int count) {
    QStringList counts;
    for (int value = 0; value < count; ++value)
        counts.append(QString::number(value));
    return counts;
}

QComboBox* coinBox(QWidget* parent, const char* name, const QString& caption,
                   const QStringList& items) {
    return editableList(parent, name, caption, items, caption);
}

} // namespace

QComboBox* editableList(QWidget* parent, const char* name, const QString& accessibleName,
                        const QStringList& items, const QString& designText) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setAccessibleName(accessibleName);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(items);
    box->setCurrentIndex(-1);
    box->setEditText(designText);
    return box;
}

BalanceBoxes makeBalanceBoxes(QWidget* parent) {
    // One less than a Galleon's 17 Sickles and a Sickle's 29 Knuts.
    return {coinBox(parent, "ComboGalleons", QStringLiteral("Galleons"), {"30", "50"}),
            coinBox(parent, "ComboSickles", QStringLiteral("Sickles"), countsBelow(17)),
            coinBox(parent, "ComboKnuts", QStringLiteral("Knuts"), countsBelow(29))};
}

OkCancel makeOkCancel(QWidget* parent) {
    auto* ok = new QPushButton(QStringLiteral("OK"), parent);
    ok->setObjectName("cmdOK");
    ok->setEnabled(false);
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), parent);
    cancel->setObjectName("cmdCancel");
    return {ok, cancel};
}

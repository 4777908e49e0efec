#include "Dialogs.h"

#include "ApplicationTitle.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace platform {
namespace {

DialogResponder* activeResponder = nullptr;

QString titleOrApplication(const QString& title) {
    return title.isEmpty() ? applicationTitle() : title;
}

QMessageBox::Icon iconOf(int style) {
    switch (style & 0x70) {
    case vbCritical:
        return QMessageBox::Critical;
    case vbQuestion:
        return QMessageBox::Question;
    case vbExclamation:
        return QMessageBox::Warning;
    case vbInformation:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// The buttons of a box, in the order they are counted for the default button.
QList<QMessageBox::StandardButton> buttonsOf(int style) {
    switch (style & 0x7) {
    case vbOKCancel:
        return {QMessageBox::Ok, QMessageBox::Cancel};
    case vbYesNoCancel:
        return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
    case vbYesNo:
        return {QMessageBox::Yes, QMessageBox::No};
    default:
        return {QMessageBox::Ok};
    }
}

qsizetype defaultButtonOf(int style) {
    return (style & 0x300) >> 8;
}

int resultOf(int button) {
    switch (button) {
    case QMessageBox::Yes:
        return vbYes;
    case QMessageBox::No:
        return vbNo;
    case QMessageBox::Cancel:
        return vbCancel;
    default:
        return vbOK;
    }
}

} // namespace

void setDialogResponder(DialogResponder* responder) {
    activeResponder = responder;
}

int MsgBox(const QString& text, int style, const QString& title) {
    if (activeResponder)
        return activeResponder->msgBox(text, style, titleOrApplication(title));
    const QList<QMessageBox::StandardButton> buttons = buttonsOf(style);
    QMessageBox box(iconOf(style), titleOrApplication(title), text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    for (QMessageBox::StandardButton button : buttons)
        box.addButton(button);
    // Esc answers No or Cancel where the box has one, as the last button.
    box.setEscapeButton(buttons.size() > 1 ? buttons.last() : buttons.first());
    box.setDefaultButton(buttons.value(defaultButtonOf(style), buttons.first()));
    return resultOf(box.exec());
}

QString InputBox(const QString& prompt, const QString& title, const QString& defaultText) {
    if (activeResponder)
        return activeResponder->inputBox(prompt, titleOrApplication(title), defaultText)
            .value_or(QString());
    bool accepted = false;
    QString text = QInputDialog::getText(QApplication::activeWindow(), titleOrApplication(title),
                                         prompt, QLineEdit::Normal, defaultText, &accepted);
    return accepted ? text : QString();
}

QString SaveCsvFileName(const QString& caption, const QString& suggestedName) {
    if (activeResponder)
        return activeResponder->saveFileName(caption, suggestedName).value_or(QString());
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), caption,
                                        QDir::home().filePath(suggestedName),
                                        QStringLiteral("CSV files (*.csv)"));
}

} // namespace platform

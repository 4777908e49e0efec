#include "frmLog.h"

#include "Twips.h"

#include <QResizeEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

bool frmLog::isShown() {
    return current() && current()->isVisible();
}

frmLog::frmLog() : Text1(new QPlainTextEdit(this)) {
    setObjectName("frmLog");
    setWindowTitle("Log");
    setAttribute(Qt::WA_DeleteOnClose);
    Text1->setObjectName("Text1");
    Text1->setAccessibleName("Debug log");
    Text1->setReadOnly(true);
    // An undo history would keep every line ever logged.
    Text1->setUndoRedoEnabled(false);
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    resize(platform::Twips(*this).size(10335, 6645));
    Form_Resize();
}

namespace {

// Runs a change of the text in one edit block. Inside one the box places
// cursors without laying out their lines: laying out lines at the top, where
// lines are dropped, would make it rescan every line for the widest.
// Cursors of our own leave the user's caret, selection and scroll alone.
template <typename Change> void inOneEdit(QTextDocument* document, Change&& change) {
    QTextCursor edit(document);
    edit.beginEditBlock();
    change();
    edit.endEditBlock();
}

} // namespace

void frmLog::append(const QString& line) {
    QTextDocument* document = Text1->document();
    // The text ends with a line feed, so its last block is the empty one after it.
    inOneEdit(document, [&] { QTextCursor(document->lastBlock()).insertText(line + QChar('\n')); });
    dropOldestLines();
}

void frmLog::dropOldestLines() {
    QTextDocument* document = Text1->document();
    const int noteLines = dropped_ > 0 ? 1 : 0;
    const int excess = document->blockCount() - 1 - noteLines - MaxLines;
    if (excess <= 0)
        return;
    dropped_ += excess;
    inOneEdit(document, [&] {
        QTextCursor oldest(document->findBlockByNumber(noteLines));
        oldest.setPosition(document->findBlockByNumber(noteLines + excess).position(),
                           QTextCursor::KeepAnchor);
        oldest.removeSelectedText();

        const QString note = QStringLiteral("[older lines dropped: %1]").arg(dropped_);
        QTextCursor top(document->firstBlock());
        if (noteLines) {
            top.setPosition(document->firstBlock().length() - 1, QTextCursor::KeepAnchor);
            top.insertText(note);
        } else {
            top.insertText(note + QChar('\n'));
        }
    });
}

QString frmLog::text() const {
    QString lines = Text1->toPlainText();
    lines.replace(QChar('\n'), QLatin1String("\r\n"));
    return lines;
}

void frmLog::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmLog::Form_Resize() {
    if (isMinimized())
        return;
    const platform::Twips twips(*this);
    const QRect outer = frameGeometry();
    Text1->setGeometry(twips.px(20), twips.px(20), qMax(0, outer.width() - twips.px(100)),
                       qMax(0, outer.height() - twips.px(500)));
}

void Log(const QString& str) {
    frmLog::instance().append(str);
}

#include "frmLog.h"

#include "Twips.h"

#include <QResizeEvent>
#include <QTextCursor>

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
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    resize(platform::Twips(*this).size(10335, 6645));
    Form_Resize();
}

void frmLog::append(const QString& line) {
    // A cursor of our own leaves the user's caret, selection and scroll alone.
    QTextCursor end(Text1->document());
    end.movePosition(QTextCursor::End);
    end.insertText(line + QChar('\n'));
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

#include "ZentabCalcRevision.h"

#include "Twips.h"

#include <QResizeEvent>

namespace {

const char* const RevisionHistory =
    "Version 1.04\n"
    "* New: the Options menu shows and hides a debug log of the bank manager's forum work.\n"
    "* Improved: an amount too large for the calculator is refused with \"Overflow\" "
    "instead of turning into a wrong value.\n"
    "* Fixed: closing the calculator closes every other window with it.\n"
    "\n"
    "Version 1.03\n"
    "* New: parentheses, opened with P or ( and closed with Ctrl+P or ), nest to any "
    "reasonable depth.\n"
    "* New: Keep window on top, so the calculator stays in view while you play.\n"
    "* Improved: the status bar shows the value of the amount in US dollars; double-click it "
    "to change the exchange rate.\n"
    "\n"
    "Version 1.02\n"
    "* New: a memory with store (Ctrl+M), add (Alt+M), recall (Shift+M) and clear "
    "(Ctrl+Alt+M).\n"
    "* New: division reports the Knuts left over.\n"
    "* Fixed: Clear Entry recalls the last amount after equals instead of clearing it.\n"
    "\n"
    "Version 1.01\n"
    "* New: every entry is sorted into Galleons, Sickles and Knuts as soon as it is typed.\n"
    "* New: the operand tape records every step like a till roll.\n"
    "* Improved: the whole calculator works from the keyboard and the numeric keypad.\n";

} // namespace

ZentabCalcRevision::ZentabCalcRevision() : Text1(new QPlainTextEdit(this)) {
    setObjectName("ZentabCalcRevision");
    setWindowTitle("Revision History");
    setAttribute(Qt::WA_DeleteOnClose);
    Text1->setObjectName("Text1");
    Text1->setAccessibleName("Revision history");
    Text1->setReadOnly(true);
    Text1->setPlainText(RevisionHistory);
    resize(platform::Twips(*this).size(7275, 3945));
    Form_Resize();
}

void ZentabCalcRevision::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void ZentabCalcRevision::Form_Resize() {
    const platform::Twips twips(*this);
    const QRect outer = frameGeometry();
    Text1->setGeometry(twips.px(120), twips.px(120), qMax(0, outer.width() - twips.px(240)),
                       qMax(0, outer.height() - twips.px(600)));
}

#pragma once

#include "SingleWindow.h"

#include <QPlainTextEdit>
#include <QWidget>

// The debug log: progress and failure lines of the forum side, one log for the
// whole process, kept whether its window is shown or not.
// One log window, created hidden on first use; closing it discards it.
// It keeps its newest lines only, so that a long session does not fill memory;
// a note at its top counts the lines dropped.
class frmLog : public QWidget, public platform::SingleWindow<frmLog> {
    Q_OBJECT
public:
    static constexpr int MaxLines = 10000;

    static bool isShown();

    void append(const QString& line);
    QString text() const; // the note, if any, then every kept line, each ended by CR LF

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class platform::SingleWindow<frmLog>;
    frmLog();
    void Form_Resize();
    void dropOldestLines();

    QPlainTextEdit* Text1;
    qint64 dropped_ = 0;
};

// Appends one line to the debug log.
void Log(const QString& str = QString());

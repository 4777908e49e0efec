#pragma once

#include <QPlainTextEdit>
#include <QWidget>

// The program's revision history, version by version.
class ZentabCalcRevision : public QWidget {
    Q_OBJECT
public:
    ZentabCalcRevision();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Form_Resize();

    QPlainTextEdit* Text1;
};

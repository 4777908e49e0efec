#pragma once

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

// The small dialog that sets the dollars paid for one Galleon.
class ZentabCalcExchangeRate : public QDialog {
    Q_OBJECT
public:
    ZentabCalcExchangeRate(double& exchangeRate, QWidget* owner);

private:
    void Command1_Click();
    void showRate();

    double& ExchngeRate;
    double rate = 0; // the rate last read from the box

    QLabel* Label1;
    QLineEdit* Text1;
    QPushButton* Command1;
};

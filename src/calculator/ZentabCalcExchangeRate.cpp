#include "ZentabCalcExchangeRate.h"

#include "Dialogs.h"
#include "DollarValue.h"
#include "Twips.h"

using platform::MsgBox;

ZentabCalcExchangeRate::ZentabCalcExchangeRate(double& exchangeRate, QWidget* owner)
    : QDialog(owner, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint), ExchngeRate(exchangeRate),
      Label1(new QLabel("$", this)), Text1(new QLineEdit("7.33", this)),
      Command1(new QPushButton("Set", this)) {
    setObjectName("ZentabCalcExchangeRate");
    setWindowTitle("Exchange Rate");
    setModal(true);

    const platform::Twips twips(*this);
    Label1->setObjectName("Label1");
    Label1->setGeometry(twips.rect(120, 150, 135, 255));
    Text1->setObjectName("Text1");
    Text1->setAccessibleName("Dollars per Galleon");
    Text1->setGeometry(twips.rect(270, 120, 810, 345));
    Command1->setObjectName("Command1");
    Command1->setAccessibleName("Set exchange rate");
    Command1->setGeometry(twips.rect(1170, 105, 615, 375));
    Command1->setDefault(true);
    connect(Command1, &QPushButton::clicked, this, &ZentabCalcExchangeRate::Command1_Click);
    setFixedSize(twips.size(1890, 600));

    showRate();
    Text1->selectAll();
    if (owner)
        move(owner->frameGeometry().center() - rect().center());
}

void ZentabCalcExchangeRate::showRate() {
    Text1->setText(QString::fromStdString(calculator::rateText(ExchngeRate)));
}

void ZentabCalcExchangeRate::Command1_Click() {
    const auto decision = calculator::decideExchangeRate(Text1->text().toStdString(), ExchngeRate);
    rate = decision.rate;
    switch (decision.kind) {
    case calculator::RateDecision::Invalid:
        MsgBox("Invalid Exchange Rate. Please try again",
               platform::vbCritical | platform::vbOKOnly);
        showRate();
        break;
    case calculator::RateDecision::Unchanged:
        accept();
        break;
    case calculator::RateDecision::Confirm:
        if (MsgBox("Set exhange rate to $" + QString::fromStdString(calculator::rateText(rate)),
                   platform::vbYesNo | platform::vbQuestion, "Confirm Rate") == platform::vbYes) {
            ExchngeRate = rate;
            accept();
        } else {
            showRate();
        }
        break;
    }
}

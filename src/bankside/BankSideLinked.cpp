// The bank side for programs that link it in rather than load it.
#include "BankWindows.h"

BankSide* bankSide(QString&) {
    return &bankWindows();
}

BankSide* loadedBankSide() {
    return &bankWindows();
}

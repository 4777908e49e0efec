// What the module exports: the program's way in to the bank side's windows.
#include "BankWindows.h"

#include <QtGlobal>

extern "C" Q_DECL_EXPORT BankSide* zentab_bank_side() {
    return &bankWindows();
}

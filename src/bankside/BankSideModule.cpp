// The module's one export; everything else in it stays its own.
#include "BankWindows.h"

#include <QtGlobal>

extern "C" Q_DECL_EXPORT BankSide* zentab_bank_side() {
    return &bankWindows();
}

#pragma once

#include "BankSide.h"

// The bank side in the module at `modulePath`; nullptr, with the reason in `error`, when
// the module cannot be loaded or lacks its entry.
BankSide* loadBankSide(const QString& modulePath, QString& error);

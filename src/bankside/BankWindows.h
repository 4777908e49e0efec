#pragma once

#include "BankSide.h"

// The one bank side of the process. Browser failures reach the debug log from its first call.
BankSide& bankWindows();

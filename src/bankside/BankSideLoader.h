#pragma once

#include "BankSide.h"

#include <filesystem>

// The bank side in the module at `module`; nullptr, with the reason in `error`, when the
// module cannot be loaded or lacks its entry.
BankSide* loadBankSide(const std::filesystem::path& module, QString& error);

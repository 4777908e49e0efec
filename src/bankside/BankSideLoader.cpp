// The bank side for the program, which loads it from its module when first asked.
#include "BankSideLoader.h"

#include "InstalledLayout.h"
#include "ModuleEntry.h"

namespace {

BankSide* loaded = nullptr;

} // namespace

BankSide* loadBankSide(const std::filesystem::path& module, QString& error) {
    auto* make =
        reinterpret_cast<MakeBankSide*>(platform::moduleEntry(module, BankSideEntry, error));
    return make ? make() : nullptr;
}

BankSide* bankSide(QString& error) {
    if (!loaded)
        loaded = loadBankSide(layout::bankSideModule(layout::runningExecutableDirectory()), error);
    return loaded;
}

BankSide* loadedBankSide() {
    return loaded;
}

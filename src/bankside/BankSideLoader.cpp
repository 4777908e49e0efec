// The bank side for the program, which loads it from its module when first asked.
#include "BankSideLoader.h"

#include "InstalledLayout.h"

#include <QLibrary>

namespace {

BankSide* loaded = nullptr;

} // namespace

BankSide* loadBankSide(const QString& modulePath, QString& error) {
    // Never unloaded: its windows may stay open until the program ends.
    QLibrary module(modulePath);
    auto* make = reinterpret_cast<MakeBankSide*>(module.resolve(BankSideEntry));
    if (!make) {
        error = module.errorString();
        return nullptr;
    }
    return make();
}

BankSide* bankSide(QString& error) {
    if (!loaded)
        loaded =
            loadBankSide(QString::fromStdString(
                             layout::bankSideModule(layout::runningExecutableDirectory()).string()),
                         error);
    return loaded;
}

BankSide* loadedBankSide() {
    return loaded;
}

#pragma once

#include <QString>

// The bank manager's half of the program as the calculator and the demo board reach it: the
// login, the manager and its dialogs, the debug log and the About box, with the browser and
// the network libraries under them. The program loads this half as a module when it is
// first asked for, so that a start-up does not pay for libraries only the manager uses;
// the tests link it in.
class BankSide {
public:
    virtual ~BankSide() = default;

    // Shows the login window, which leads on to the manager.
    virtual void openManager() = 0;
    virtual void showAbout() = 0;
    virtual bool isLogShown() const = 0;
    virtual void showLog(bool shown) = 0;
    // Sends every browser of the process through the HTTP proxy on this loopback port.
    virtual void routeThroughLoopbackProxy(quint16 port) = 0;
    // Lets every browser of the process take its proxies from the environment again.
    virtual void routeThroughSystemProxies() = 0;
};

// The bank side, loaded first if it has not been; nullptr, with the reason in `error`, when
// it cannot be loaded.
BankSide* bankSide(QString& error);

// The bank side if something has loaded it already, else nullptr.
BankSide* loadedBankSide();

// What the module exports under the name BankSideEntry.
using MakeBankSide = BankSide*();
inline constexpr char BankSideEntry[] = "zentab_bank_side";

#include "BankWindows.h"

#include "FrmVaultmeres.h"
#include "OsServices.h"
#include "SharedNetwork.h"
#include "frmAbout.h"
#include "frmLog.h"
#include "frmLogin.h"

#include <QPointer>

namespace {

class BankWindows final : public BankSide {
public:
    BankWindows() {
        setBrowserLog([](const QString& line) { Log(line); });
    }

    void openManager() override {
        frmLogin::setManagerOpener([] { platform::showInFront(FrmVaultmeres::instance()); });
        platform::showInFront(frmLogin::instance());
    }

    void showAbout() override {
        if (!about_)
            about_ = new frmAbout;
        about_->Form_Load();
        platform::showInFront(*about_);
    }

    bool isLogShown() const override { return frmLog::isShown(); }

    void showLog(bool shown) override {
        if (shown)
            frmLog::instance().show();
        else if (frmLog::exists())
            frmLog::instance().hide();
    }

    void routeThroughLoopbackProxy(quint16 port) override {
        browser::routeThroughLoopbackProxy(port);
    }

    void routeThroughSystemProxies() override { browser::routeThroughSystemProxies(); }

private:
    QPointer<frmAbout> about_;
};

} // namespace

BankSide& bankWindows() {
    static BankWindows windows;
    return windows;
}

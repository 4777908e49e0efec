#include "BalanceChart.h"
#include "InstalledLayout.h"

#include <QLibrary>

namespace bank {

std::unique_ptr<BalanceChart> makeBalanceChart(QWidget* parent, QString& error) {
    // Loaded once and never unloaded: its code draws charts for as long as any window shows one.
    static QLibrary module(QString::fromStdString(
        layout::balanceChartModule(layout::runningExecutableDirectory()).string()));
    auto* make = reinterpret_cast<MakeBalanceChart*>(module.resolve("zentab_make_balance_chart"));
    if (!make) {
        error = module.errorString();
        return nullptr;
    }
    return std::unique_ptr<BalanceChart>(make(parent));
}

} // namespace bank

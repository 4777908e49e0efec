#include "BalanceChart.h"
#include "InstalledLayout.h"
#include "ModuleEntry.h"

namespace bank {

std::unique_ptr<BalanceChart> makeBalanceChart(QWidget* parent, QString& error) {
    auto* make = reinterpret_cast<MakeBalanceChart*>(
        platform::moduleEntry(layout::balanceChartModule(layout::runningExecutableDirectory()),
                              "zentab_make_balance_chart", error));
    return std::unique_ptr<BalanceChart>(make ? make(parent) : nullptr);
}

} // namespace bank

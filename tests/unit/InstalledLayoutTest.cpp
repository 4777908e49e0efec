#include "InstalledLayout.h"

#include <gtest/gtest.h>

TEST(InstalledLayout, DataServerAndModulesLieBesideTheExecutable) {
    const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
        {"/usr/bin", "/usr/share/zentab-calculator/vaultmeres.json", "/usr/bin/zentab-board-server",
         "/usr/lib/zentab-calculator/zentab-balance-chart.so"},
        {"/opt/zentab/bin/../bin/", "/opt/zentab/share/zentab-calculator/vaultmeres.json",
         "/opt/zentab/bin/zentab-board-server",
         "/opt/zentab/lib/zentab-calculator/zentab-balance-chart.so"},
    };
    for (const auto& [folder, demoBoard, server, chart] : cases)
        EXPECT_EQ(std::tuple(layout::demoBoardFile(folder), layout::boardServerExecutable(folder),
                             layout::balanceChartModule(folder)),
                  std::tuple(std::filesystem::path(demoBoard), std::filesystem::path(server),
                             std::filesystem::path(chart)));
}

TEST(InstalledLayout, TheBuildFolderHoldsTheDemoBoardWhereTheRuleLooks) {
    // The tests are built into the same bin/ folder as the program.
    const auto here = layout::runningExecutableDirectory();
    EXPECT_TRUE(std::filesystem::is_regular_file(layout::demoBoardFile(here)))
        << layout::demoBoardFile(here);
    EXPECT_TRUE(std::filesystem::is_regular_file(layout::boardServerExecutable(here)));
    EXPECT_TRUE(std::filesystem::is_regular_file(layout::balanceChartModule(here)));
    EXPECT_TRUE(std::filesystem::is_regular_file(layout::bankSideModule(here)));
}

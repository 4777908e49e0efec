#include "CommandLine.h"

#include "QtPrinting.h"

#include <gtest/gtest.h>

using app::CommandLine;
using Action = CommandLine::Action;

TEST(CommandLine, ActionsDemoAndWhatIsPrinted) {
    const std::tuple<QStringList, Action, bool, QStringList> cases[] = {
        {{}, Action::Run, false, {}},
        {{"--demo"}, Action::Run, true, {}},
        {{"--help"}, Action::ShowHelp, false, {"--demo", "--version", "vaultmeres.proboards.com"}},
        {{"-h", "--demo"}, Action::ShowHelp, true, {"Usage:"}},
        {{"--version"}, Action::ShowVersion, false, {"Zentab Calculator SE "}},
        {{"-v"}, Action::ShowVersion, false, {"Zentab Calculator SE "}},
        {{"--bogus"}, Action::Refuse, false, {"'bogus'", "--help"}},
        {{"--demo=yes"}, Action::Refuse, false, {"--demo"}},
        {{"board.json"}, Action::Refuse, false, {"'board.json'"}},
    };
    for (const auto& [arguments, action, demo, saying] : cases) {
        const CommandLine parsed =
            app::parseCommandLine(QStringList{"zentab-calculator"} + arguments);
        SCOPED_TRACE(arguments.join(' ').toStdString());
        EXPECT_EQ(parsed.action, action);
        EXPECT_TRUE(action == Action::Refuse || parsed.demo == demo);
        EXPECT_EQ(parsed.text.isEmpty(), action == Action::Run) << parsed.text.toStdString();
        for (const QString& part : saying)
            EXPECT_TRUE(parsed.text.contains(part)) << parsed.text.toStdString();
    }
}

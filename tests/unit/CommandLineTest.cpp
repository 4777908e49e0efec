#include "CommandLine.h"

#include "QtPrinting.h"

#include <gtest/gtest.h>

using app::CommandLine;
using Action = CommandLine::Action;

TEST(CommandLine, ActionsDemoAndWhatIsPrinted) {
    const struct {
        QStringList arguments;
        Action action;
        bool demo;
        QStringList saying;
    } cases[] = {
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
    for (const auto& c : cases) {
        const CommandLine parsed =
            app::parseCommandLine(QStringList{"zentab-calculator"} + c.arguments);
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        EXPECT_EQ(parsed.action, c.action);
        if (c.action != Action::Refuse) {
            EXPECT_EQ(parsed.demo, c.demo);
        }
        EXPECT_EQ(parsed.text.isEmpty(), c.action == Action::Run) << parsed.text.toStdString();
        for (const QString& part : c.saying)
            EXPECT_TRUE(parsed.text.contains(part)) << parsed.text.toStdString();
    }
}

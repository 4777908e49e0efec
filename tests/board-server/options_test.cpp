#include "options.h"

#include <gtest/gtest.h>

namespace zentab::board {
namespace {

using Action = ServerOptions::Action;

TEST(BoardServerOptions, CommandLines) {
    const std::filesystem::path seed = "/usr/share/zentab-calculator/vaultmeres.json";
    const struct {
        std::vector<std::string> arguments;
        Action action;
        int port;
        std::filesystem::path seed;
        std::optional<std::filesystem::path> state;
        std::string refusal;
    } cases[] = {
        {{}, Action::Serve, 0, seed, {}, ""},
        {{"--port", "8080", "--state", "s.json"}, Action::Serve, 8080, seed, "s.json", ""},
        {{"--seed", "other.json", "--port", "0"}, Action::Serve, 0, "other.json", {}, ""},
        {{"--help"}, Action::ShowHelp, 0, seed, {}, ""},
        {{"--port", "1", "-h"}, Action::ShowHelp, 1, seed, {}, ""},
        {{"--version"}, Action::ShowVersion, 0, seed, {}, ""},
        {{"-v"}, Action::ShowVersion, 0, seed, {}, ""},
        {{"--port"}, Action::Refuse, 0, seed, {}, "--port needs a value"},
        {{"--port", "65536"}, Action::Refuse, 0, seed, {}, "'65536' is no port number"},
        {{"--port", "80x"}, Action::Refuse, 0, seed, {}, "'80x' is no port number"},
        {{"--port", "-1"}, Action::Refuse, 0, seed, {}, "'-1' is no port number"},
        {{"--verbose"}, Action::Refuse, 0, seed, {}, "unknown option '--verbose'"},
        {{"board.json"}, Action::Refuse, 0, seed, {}, "unknown option 'board.json'"},
    };
    for (const auto& c : cases) {
        const ServerOptions options = parseServerOptions(c.arguments, seed);
        SCOPED_TRACE(::testing::PrintToString(c.arguments));
        EXPECT_EQ(options.action, c.action);
        EXPECT_EQ(options.refusal, c.refusal);
        if (c.action != Action::Refuse) {
            EXPECT_EQ(options.port, c.port);
            EXPECT_EQ(options.seed, c.seed);
            EXPECT_EQ(options.state, c.state);
        }
    }
}

TEST(BoardServerOptions, HelpNamesTheBoardServedByDefault) {
    const std::string help = serverHelpText("/opt/z/share/zentab-calculator/vaultmeres.json");
    for (const char* part : {"--port N", "--seed FILE", "--state FILE", "--version",
                             "(default: /opt/z/share/zentab-calculator/vaultmeres.json)"})
        EXPECT_NE(help.find(part), std::string::npos) << part;
}

} // namespace
} // namespace zentab::board

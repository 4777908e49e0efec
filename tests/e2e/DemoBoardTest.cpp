// The demo's board server as the calculator starts it: a child process on a loopback port that
// the browsers reach, stopped with the calculator, and reported when it cannot start.
#include "DemoBoard.h"

#include "BoardE2e.h"
#include "DemoMode.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QNetworkProxy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cerrno>
#include <csignal>

namespace {

using namespace std::chrono_literals;
using zentab::board::testing::ForumClient;

TEST(DemoBoardServer, ReadsThePortOnlyFromTheServersAnnouncement) {
    const struct {
        const char* line;
        std::optional<quint16> port;
    } cases[] = {
        {"listening on 127.0.0.1:8080\n", 8080},
        {"listening on 127.0.0.1:65535", 65535},
        {"listening on 127.0.0.1:0\n", std::nullopt},
        {"listening on 127.0.0.1:65536\n", std::nullopt},
        {"listening on 127.0.0.1:123456\n", std::nullopt},
        {"listening on 0.0.0.0:8080\n", std::nullopt},
        {"listening on 127.0.0.1:80 and more\n", std::nullopt},
        {"usage: zentab-board-server\n", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(app::listeningPort(c.line), c.port) << c.line;
}

TEST(DemoBoardServer, TheBrowsersReachItUntilTheCalculatorClosesAndItKeepsChanges) {
    ScriptedDialogs dialogs; // no box may appear
    const QString bin = QCoreApplication::applicationDirPath();
    const std::string host = "vaultmeres.proboards.com";
    qint64 server = 0;
    quint16 port = 0;
    {
        const auto board = app::startDemoBoard(bin);
        ASSERT_TRUE(board);
        server = board->processId();
        port = board->port();
        EXPECT_TRUE(logInThroughForum(app::DemoBoardUrl, "teller"));
        ForumClient client(board->port(), host);
        ASSERT_TRUE(client.login("member"));
        ASSERT_TRUE(client.post({{"action", "post2"},
                                 {"board", "vaultmeres"},
                                 {"subject", "Kept Between Runs"},
                                 {"message", "Galleons: 1"},
                                 {"nextaction", "post"}}));
    }
    EXPECT_TRUE(::kill(static_cast<pid_t>(server), 0) == -1 && errno == ESRCH); // gone
    // The browsers go to the forum itself again, not to where the board was.
    const QList<QNetworkProxy> route =
        QNetworkProxyFactory::proxyForQuery(QNetworkProxyQuery(QUrl(app::DemoBoardUrl)));
    EXPECT_FALSE(!route.isEmpty() && route.first().hostName() == "127.0.0.1" &&
                 route.first().port() == port);
    // In the user's data folder, for the next run.
    EXPECT_TRUE(
        QFileInfo::exists(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
                          "/demo-board-state.json"));
    const auto board = app::startDemoBoard(bin);
    ASSERT_TRUE(board);
    ForumClient client(board->port(), host);
    EXPECT_NE(client.page("board=vaultmeres").find("Kept Between Runs"), std::string::npos);
}

TEST(DemoBoardServer, AServerThatCannotServeIsReportedAndStopped) {
    const struct {
        QString program;
        QStringList arguments;
        std::chrono::milliseconds timeout;
        QStringList saying;
    } cases[] = {
        {"/nonexistent/zentab-board-server", {}, 10s, {"could not be started"}},
        {QCoreApplication::applicationDirPath() + "/zentab-board-server",
         {"--seed", "/nonexistent/board.json"},
         10s,
         {"stopped before it was ready", "/nonexistent/board.json"}},
        {"/bin/echo", {"hello"}, 10s, {"said something unexpected: hello"}},
        {"/bin/sleep", {"60"}, 100ms, {"did not answer within 0.1 seconds"}},
    };
    for (const auto& c : cases) {
        app::DemoBoard board;
        EXPECT_FALSE(board.start(c.program, c.arguments, c.timeout)) << c.program.toStdString();
        for (const QString& part : c.saying)
            EXPECT_TRUE(board.errorText().contains(part)) << board.errorText().toStdString();
        EXPECT_EQ(board.processId(), 0) << "nothing may be left running";
    }
}

TEST(DemoBoardServer, TheUserHearsWhyTheDemoBoardIsMissing) {
    QTemporaryDir emptyBin;
    ScriptedDialogs dialogs;
    dialogs.answer(platform::vbOK);
    EXPECT_FALSE(app::startDemoBoard(emptyBin.path()));
    ASSERT_EQ(dialogs.shown().size(), 1u);
    for (const char* part : {"zentab-board-server could not be started", "runs without the demo"})
        EXPECT_TRUE(dialogs.shown()[0].text.contains(part))
            << dialogs.shown()[0].text.toStdString();
}

} // namespace

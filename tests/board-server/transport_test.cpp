#include "board_test_support.h"
#include "loopback_socket.h"

#include <chrono>
#include <gtest/gtest.h>

namespace zentab::board::testing {
namespace {

// Sends one raw request and reads until the server closes the connection.
std::string rawExchange(int port, const std::string& request) {
    LoopbackSocket connection(port);
    return connection.send(request) ? connection.receiveAll(std::chrono::seconds(5))
                                    : std::string();
}

std::string proxyGet(int port, const std::string& url) {
    const auto host = url.substr(7, url.find('/', 7) - 7);
    return rawExchange(port, "GET " + url + " HTTP/1.1\r\nHost: " + host +
                                 "\r\nConnection: close\r\n\r\n");
}

TEST(BoardServerTransport, ProxyFormRequestLinesRouteByTheirHost) {
    TestServer server(smallState(2));
    struct Case {
        const char* url;
        const char* expected;
    };
    const Case cases[] = {
        {"http://testbank.proboards.com/index.cgi?board=accounts",
         "<title>Test Bank - Accounts</title>"},
        {"http://TESTBANK.proboards.com:80/index.cgi?board=accounts&action=display&thread=2",
         "<title>Test Bank - Account 2</title>"},
        {"http://nosuch.proboards.com/index.cgi?board=accounts", "This forum does not exist."},
        {"http://testbank.proboards.com/_control/faults?drop=5", "404 Not Found"},
        {"http://testbank.proboards.com/images/modify.gif", "404 Not Found"},
    };
    for (const auto& c : cases) {
        EXPECT_NE(proxyGet(server.port(), c.url).find(c.expected), std::string::npos) << c.url;
    }
    EXPECT_NE(proxyGet(server.port(), cases[0].url).find("200 OK"), std::string::npos)
        << "the control request through the proxy must not have switched faults on";
}

TEST(BoardServerTransport, ProxiedLoginRedirectsBackToTheForumHost) {
    TestServer server(smallState(1));
    const std::string body = "action=login2&board=accounts&username=member&password=member";
    const auto answer = rawExchange(
        server.port(),
        "POST http://testbank.proboards.com/index.cgi HTTP/1.1\r\nHost: testbank.proboards.com\r\n"
        "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
            std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
    EXPECT_NE(answer.find("303 See Other"), std::string::npos);
    EXPECT_NE(answer.find("Location: http://testbank.proboards.com/index.cgi?board=accounts"),
              std::string::npos);
    EXPECT_NE(answer.find("Set-Cookie: zentab_board_session="), std::string::npos);
}

TEST(BoardServerTransport, OversizeFormBodyIsRefusedUnread) {
    TestServer server(smallState(1));
    ForumClient client(server.port());
    ASSERT_TRUE(client.login("teller"));
    const auto result = client.post({{"action", "modifypost2"},
                                     {"board", "accounts"},
                                     {"thread", "1"},
                                     {"post", "1"},
                                     {"subject", "Account 1"},
                                     {"message", std::string(1 << 20, 'x')},
                                     {"nextaction", "post"}});
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 413);
    EXPECT_EQ(client.page("board=accounts&action=display&thread=1").find("xxxx"),
              std::string::npos);
}

TEST(BoardServerFaults, OverloadAnswersTheNextPagesWithTooManyConnections) {
    TestServer server(smallState(1));
    ForumClient client(server.port());
    ASSERT_TRUE(server.faults("overload=2"));
    const auto image = httplib::Client("127.0.0.1", server.port()).Get("/images/modify.gif");
    ASSERT_TRUE(image);
    EXPECT_EQ(image->status, 404) << "only forum pages count against the overload";
    EXPECT_EQ(titleOf(client.page("board=accounts")), "Too Many Connections");
    EXPECT_EQ(titleOf(client.page("board=accounts&action=display&thread=1")),
              "Too Many Connections");
    EXPECT_EQ(titleOf(client.page("board=accounts")), "Test Bank - Accounts");

    ASSERT_TRUE(server.faults("overload=5"));
    ASSERT_TRUE(server.faults("reset=1"));
    EXPECT_EQ(titleOf(client.page("board=accounts")), "Test Bank - Accounts");
}

TEST(BoardServerFaults, DropClosesConnectionsWithoutAnAnswer) {
    TestServer server(smallState(1));
    ASSERT_TRUE(server.faults("drop=2"));
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(proxyGet(server.port(), "http://testbank.proboards.com/index.cgi?board=accounts"),
                  "");
    }
    EXPECT_NE(proxyGet(server.port(), "http://testbank.proboards.com/index.cgi?board=accounts")
                  .find("200 OK"),
              std::string::npos);
}

TEST(BoardServerFaults, DropAlsoHitsAReusedConnection) {
    TestServer server(smallState(1));
    httplib::Client client("127.0.0.1", server.port());
    client.set_keep_alive(true);
    ASSERT_TRUE(client.Get("/index.cgi?board=accounts"));
    ASSERT_TRUE(server.faults("drop=1"));
    EXPECT_FALSE(client.Get("/index.cgi?board=accounts"));
    EXPECT_TRUE(client.Get("/index.cgi?board=accounts"));
}

TEST(BoardServerFaults, ClosingAnIdleConnectionDoesNotUseUpADrop) {
    TestServer server(smallState(1));
    {
        httplib::Client idle("127.0.0.1", server.port());
        idle.set_keep_alive(true);
        ASSERT_TRUE(idle.Get("/index.cgi?board=accounts"));
        ASSERT_TRUE(server.faults("drop=1"));
    }
    EXPECT_EQ(proxyGet(server.port(), "http://testbank.proboards.com/index.cgi?board=accounts"),
              "");
}

TEST(BoardServerFaults, SlowDelaysEveryForumAnswer) {
    TestServer server(smallState(1));
    ForumClient client(server.port());
    ASSERT_TRUE(server.faults("slow_ms=300&overload=1"));
    for (const auto* expected : {"Too Many Connections", "Test Bank - Accounts"}) {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(titleOf(client.page("board=accounts")), expected);
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
    }
}

TEST(BoardServerFaults, ControlRejectsValuesThatAreNotCounts) {
    TestServer server(smallState(1));
    for (const auto* query :
         {"overload=-1", "slow_ms=abc", "drop=1x", "drop=", "slow_ms=9999999"}) {
        EXPECT_FALSE(server.faults(query)) << query;
    }
    EXPECT_TRUE(server.faults("overload=0&slow_ms=0&drop=0"));
}

} // namespace
} // namespace zentab::board::testing

#include "board_test_support.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <deque>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <optional>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zentab::board::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Generous bounds that only catch a hang; the server's own limits are far shorter.
constexpr auto kCutOffDeadline = 30s;
constexpr auto kAnswerDeadline = 10s;
// Shorter than any wait for a single read, so only a bound on the whole request stops a dripper.
constexpr auto kDripInterval = 1s;

// A raw connection to the server, for requests that no well-behaved client sends.
class Connection {
public:
    explicit Connection(int port) : sock_(::socket(AF_INET, SOCK_STREAM, 0)) {
        // A server that stops reading must not hang the test in a blocked send.
        const timeval sendTimeout{10, 0};
        ::setsockopt(sock_, SOL_SOCKET, SO_SNDTIMEO, &sendTimeout, sizeof sendTimeout);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = ::connect(sock_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~Connection() { ::close(sock_); }
    Connection(const Connection&) = delete;

    // Sends all of data; false when the server closed or reset the connection.
    bool send(std::string_view data) {
        for (ssize_t sent = 0; connected_ && !data.empty(); data.remove_prefix(sent)) {
            if ((sent = ::send(sock_, data.data(), data.size(), MSG_NOSIGNAL)) <= 0) {
                return false;
            }
        }
        return connected_;
    }

    bool readable(std::chrono::milliseconds timeout) const {
        pollfd entry{sock_, POLLIN, 0};
        return ::poll(&entry, 1, static_cast<int>(timeout.count())) > 0;
    }

    // All the server sends until it closes the connection; nothing when a wait for the next
    // part of it is longer than wait.
    std::optional<std::string> receiveAll(std::chrono::seconds wait) {
        const timeval timeout{wait.count(), 0};
        ::setsockopt(sock_, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        std::string answer;
        char buffer[4096];
        ssize_t got = 0;
        while (connected_ && (got = ::recv(sock_, buffer, sizeof buffer, 0)) > 0) {
            answer.append(buffer, static_cast<std::size_t>(got));
        }
        return got < 0 && errno == EAGAIN ? std::nullopt : std::optional(answer);
    }

private:
    int sock_;
    bool connected_;
};

const std::string kIndexUrl = "http://testbank.proboards.com/index.cgi?board=accounts";

// A request whose target is a whole address, as browsers send to a proxy.
httplib::Result proxiedGet(int port, const std::string& url) {
    const auto host = url.substr(7, url.find('/', 7) - 7);
    return httplib::Client("127.0.0.1", port).Get(url, {{"Host", host}});
}

// Every end-to-end test reaches the forum as a proxy; these are the requests the program never
// sends.
TEST(BoardServerTransport, ProxyFormRequestsRouteByTheirHost) {
    TestServer server(smallState(2));
    const struct {
        std::string url;
        int status;
        const char* expected;
    } cases[] = {
        {"http://TESTBANK.proboards.com:80/index.cgi?board=accounts&action=display&thread=2", 200,
         "<title>Test Bank - Account 2</title>"},
        {"http://nosuch.proboards.com/index.cgi?board=accounts", 200, "This forum does not exist."},
        {"http://testbank.proboards.com/_control/faults?drop=5", 404, "Not Found"},
        {"http://testbank.proboards.com/images/modify.gif", 404, "Not Found"},
        {kIndexUrl, 200, "Test Bank"}, // the control request above switched no fault on
    };
    for (const auto& c : cases) {
        const auto result = proxiedGet(server.port(), c.url);
        ASSERT_TRUE(result) << c.url;
        EXPECT_EQ(result->status, c.status) << c.url;
        EXPECT_TRUE(contains(result->body, c.expected)) << c.url;
    }
}

TEST(BoardServerFaults, OverloadHitsForumPagesOnlyAndDropClosesConnectionsUnanswered) {
    TestServer server(smallState(1));
    ForumClient client(server.port());
    for (const auto* query :
         {"overload=-1", "slow_ms=abc", "drop=1x", "drop=", "slow_ms=9999999", "reset=x"}) {
        EXPECT_FALSE(server.faults(query)) << query;
    }
    ASSERT_TRUE(server.faults("overload=2"));
    const auto image = httplib::Client("127.0.0.1", server.port()).Get("/images/modify.gif");
    ASSERT_TRUE(image);
    EXPECT_EQ(image->status, 404) << "only forum pages count against the overload";
    EXPECT_EQ(titleOf(client.page("board=accounts")), "Too Many Connections");
    EXPECT_EQ(titleOf(client.page(accountsQuery("display", 1))), "Too Many Connections");
    EXPECT_EQ(titleOf(client.page("board=accounts")), "Test Bank - Accounts");
    ASSERT_TRUE(server.faults("overload=5"));
    ASSERT_TRUE(server.faults("reset=1&overload=1")) << "clears the five, then sets one";
    EXPECT_EQ(titleOf(client.page("board=accounts")), "Too Many Connections");
    EXPECT_EQ(titleOf(client.page("board=accounts")), "Test Bank - Accounts");

    httplib::Client reused("127.0.0.1", server.port());
    reused.set_keep_alive(true);
    ASSERT_TRUE(reused.Get("/index.cgi?board=accounts"));
    {
        httplib::Client idle("127.0.0.1", server.port());
        idle.set_keep_alive(true);
        ASSERT_TRUE(idle.Get("/index.cgi?board=accounts"));
        ASSERT_TRUE(server.faults("drop=2"));
    } // closing an idle connection does not use up a drop
    EXPECT_FALSE(reused.Get("/index.cgi?board=accounts"));
    EXPECT_FALSE(proxiedGet(server.port(), kIndexUrl));
    EXPECT_TRUE(proxiedGet(server.port(), kIndexUrl));
}

TEST(BoardServerHostileClients, SlowClientsNeitherStarveOthersNorHoldTheirConnections) {
    const struct {
        const char* name;
        int connections;
        const char* opening;
        bool drips; // a header line each round
    } cases[] = {
        {"idle", 64, "", false},
        {"dripping a header line at a time", 16,
         "GET /index.cgi?board=accounts HTTP/1.1\r\nHost: testbank.proboards.com\r\n", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestServer server(smallState(1));
        std::deque<Connection> slow;
        for (int i = 0; i < c.connections; ++i) {
            ASSERT_TRUE(slow.emplace_back(server.port()).send(c.opening));
        }
        EXPECT_EQ(titleOf(ForumClient(server.port()).page("board=accounts")),
                  "Test Bank - Accounts")
            << "an ordinary client must still be served";
        std::size_t closed = 0; // the server closes them in the order they came
        for (const auto end = Clock::now() + kCutOffDeadline;
             closed < slow.size() && Clock::now() < end;) {
            for (auto i = closed; c.drips && i < slow.size(); ++i) {
                slow[i].send("X-Drip: 1\r\n");
            }
            closed += slow[closed].receiveAll(kDripInterval) ? 1 : 0;
        }
        EXPECT_EQ(closed, slow.size()) << "the server must close slow connections";
    }
}

constexpr std::size_t kHugeBody = 64 << 20;

TEST(BoardServerHostileClients, BodiesOverTheCapAreRefusedBeforeTheyAreReadWhole) {
    const std::string form = "POST /index.cgi HTTP/1.1\r\nHost: testbank.proboards.com\r\n"
                             "Content-Type: application/x-www-form-urlencoded\r\n";
    const struct {
        const char* name;
        std::string head;
        bool chunked;
        const char* answer;
    } cases[] = {
        {"chunked form", form + "Transfer-Encoding: chunked\r\n\r\n", true, "HTTP/1.1 413 "},
        {"form of a declared length",
         form + "Content-Length: " + std::to_string(kHugeBody) + "\r\n\r\n", false,
         "HTTP/1.1 413 "},
        {"chunked upload by a method the forum does not serve",
         "PUT /index.cgi HTTP/1.1\r\nHost: testbank.proboards.com\r\n"
         "Transfer-Encoding: chunked\r\n\r\n",
         true, "HTTP/1.1 405 "},
    };
    TestServer server(smallState(1));
    const std::string piece(64 << 10, 'x');
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // The body goes out until the server answers or closes the connection.
        Connection connection(server.port());
        const auto framed = c.chunked ? "10000\r\n" + piece + "\r\n" : piece;
        std::size_t sent = 0;
        bool open = connection.send(c.head);
        while (open && sent < kHugeBody && !connection.readable(0ms)) {
            open = connection.send(framed);
            sent += open ? piece.size() : 0;
        }
        if (open && c.chunked && sent == kHugeBody) {
            connection.send("0\r\n\r\n");
        }
        const auto answer = connection.receiveAll(kAnswerDeadline).value_or("");
        EXPECT_LT(sent, kHugeBody / 2);
        EXPECT_TRUE(contains(answer, "\r\nConnection: close\r\n"))
            << "what is left of the body must not be read as a request";
        EXPECT_TRUE(answer.starts_with(c.answer)) << answer.substr(0, 40);
    }
    EXPECT_EQ(titleOf(ForumClient(server.port()).page("board=accounts")), "Test Bank - Accounts");

    httplib::Client client("127.0.0.1", server.port());
    client.set_compress(true);
    const auto packed =
        client.Post("/index.cgi", {{"Host", kForumHost}}, "message=" + std::string(32 << 20, 'x'),
                    "application/x-www-form-urlencoded");
    ASSERT_TRUE(packed);
    EXPECT_EQ(packed->status, 413) << "a compressed form is capped once unpacked";
}

TEST(BoardServerHostileClients, OnlyASingleRangeIsServedAsAPart) {
    TestServer server(smallState(1));
    httplib::Client client("127.0.0.1", server.port());
    const auto ranged = [&](const std::string& range) {
        const auto result =
            client.Get("/index.cgi?board=accounts", {{"Host", kForumHost}, {"Range", range}});
        return result ? std::to_string(result->status) + " " + std::to_string(result->body.size())
                      : "no answer";
    };
    const auto whole = ForumClient(server.port()).page("board=accounts").size();
    EXPECT_EQ(ranged("bytes=0-9"), "206 10");
    EXPECT_EQ(ranged("bytes=0-9,20-29"), "200 " + std::to_string(whole));
}

} // namespace
} // namespace zentab::board::testing

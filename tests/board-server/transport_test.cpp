#include "board_checks.h"

#include <arpa/inet.h>
#include <array>
#include <cerrno>
#include <chrono>
#include <deque>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <tuple>

namespace zentab::board::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Generous bounds that only catch a hang; the server's own limits are far shorter.
constexpr auto kCutOffDeadline = 30s, kAnswerDeadline = 10s;

// A raw connection to the server, for requests that no well-behaved client sends.
struct Connection {
    explicit Connection(int port) {
        // A server that stops reading must not hang the test in a blocked send.
        const timeval sendTimeout{10, 0};
        ::setsockopt(sock, SOL_SOCKET, SO_SNDTIMEO, &sendTimeout, sizeof sendTimeout);
        const sockaddr_in address{AF_INET, htons(uint16_t(port)), {htonl(INADDR_LOOPBACK)}, {}};
        connected =
            ::connect(sock, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    }
    ~Connection() { ::close(sock); }

    // Sends all of data; false when the server closed, reset or stopped reading the connection.
    bool send(std::string_view data) {
        return connected &&
               ::send(sock, data.data(), data.size(), MSG_NOSIGNAL) == ssize_t(data.size());
    }

    bool answered() const { return ::poll(std::array{pollfd{sock, POLLIN, 0}}.data(), 1, 0) > 0; }

    // All the server sends until it closes; nothing when a wait for its next part is longer.
    std::optional<std::string> receiveAll(std::chrono::seconds wait) {
        const timeval timeout{wait.count(), 0};
        ::setsockopt(sock, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        std::string answer;
        char buffer[4096];
        ssize_t got = 0;
        while (connected && (got = ::recv(sock, buffer, sizeof buffer, 0)) > 0)
            answer.append(buffer, static_cast<std::size_t>(got));
        return got < 0 && errno == EAGAIN ? std::nullopt : std::optional(answer);
    }

    int sock = ::socket(AF_INET, SOCK_STREAM, 0);
    bool connected = false;
};

// The end-to-end tests reach the forum as a proxy and switch faults on; these are the requests
// they never send.
TEST(BoardServerTransport, FaultControlProxyAndRangeRequests) {
    TestServer server(smallState(1));
    ForumClient client(server.port());
    for (const auto* query :
         {"overload=-1", "slow_ms=abc", "drop=1x", "drop=", "slow_ms=9999999", "reset=x",
          "overload_action=a%26b", "overload_action=abcdefghijklmnopqrstuvwxyz0123456"})
        EXPECT_FALSE(server.faults(query)) << query;
    ASSERT_TRUE(server.faults("overload=2"));
    httplib::Client raw("127.0.0.1", server.port()); // addressed by number, not by the forum's name
    const auto image = raw.Get("/images/modify.gif");
    EXPECT_TRUE(image && image->status == 404) << "only forum pages count against the overload";
    // Two forum pages are refused, then served; with an action named, only its pages count.
    for (const auto* title :
         {"Too Many Connections", "Too Many Connections", "Test Bank - Account 1"})
        EXPECT_EQ(titleOf(client.page(accountsQuery("display", 1))), title);
    ASSERT_TRUE(server.faults("overload=1&overload_action=display"));
    EXPECT_TRUE(titleOf(client.page("board=accounts")) == "Test Bank - Accounts" &&
                titleOf(client.page(accountsQuery("display", 1))) == "Too Many Connections");

    // Host, target, and the answer's status and a part of its body.
    const std::tuple<std::string, std::string, int, const char*> proxied[] = {
        {"TESTBANK.proboards.com:80", "/index.cgi?board=accounts&action=display&thread=1", 200,
         "<title>Test Bank - Account 1</title>"},
        {"nosuch.proboards.com", "/index.cgi?board=accounts", 200, "This forum does not exist."},
        {kForumHost, "/_control/faults?drop=5", 404, "Not Found"},
        {kForumHost, "/index.cgi?board=accounts", 200, "Test Bank"}, // no fault switched on
    };
    for (const auto& [host, target, status, expected] : proxied) {
        const auto result = raw.Get("http://" + host + target, {{"Host", host}});
        EXPECT_TRUE(result && result->status == status && contains(result->body, expected))
            << host << target;
    }

    std::optional<httplib::Client> reused, idle;
    for (auto* kept : {&reused, &idle}) {
        kept->emplace("127.0.0.1", server.port()).set_keep_alive(true);
        ASSERT_TRUE((*kept)->Get("/index.cgi?board=accounts"));
    }
    ASSERT_TRUE(server.faults("drop=2"));
    idle.reset(); // closing an idle connection does not use up a drop
    EXPECT_TRUE(!reused->Get("/index.cgi?board=accounts") && !client.get("board=accounts") &&
                client.get("board=accounts"));

    // Every part repeats what it covers, so only a single range is served as a part.
    const auto page = client.page("board=accounts");
    for (const auto& [range, expected] : {std::pair{"bytes=0-9", "206 " + page.substr(0, 10)},
                                          std::pair{"bytes=0-9,20-29", "200 " + page}}) {
        const auto result =
            raw.Get("/index.cgi?board=accounts", {{"Host", kForumHost}, {"Range", range}});
        EXPECT_TRUE(result && std::to_string(result->status) + " " + result->body == expected)
            << range;
    }
}

TEST(BoardServerHostileClients, SlowClientsNeitherStarveOthersNorHoldTheirConnections) {
    const std::pair<int, std::string> cases[] = {
        {64, ""},
        {16, "GET /index.cgi?board=accounts HTTP/1.1\r\nHost: testbank.proboards.com\r\n"}};
    for (const auto& [connections, opening] : cases) {
        SCOPED_TRACE(opening.empty() ? "idle" : "dripping");
        TestServer server(smallState(1));
        std::deque<Connection> slow;
        for (int i = 0; i < connections; ++i)
            ASSERT_TRUE(slow.emplace_back(server.port()).send(opening));
        // An ordinary client is still served.
        EXPECT_EQ(titleOf(ForumClient(server.port()).page("board=accounts")),
                  "Test Bank - Accounts");
        std::size_t closed = 0; // the server closes them in the order they came
        for (const auto end = Clock::now() + kCutOffDeadline;
             closed < slow.size() && Clock::now() < end;) {
            for (auto i = closed; !opening.empty() && i < slow.size(); ++i)
                slow[i].send("X-Drip: 1\r\n");
            // Shorter than a single read may wait: only the whole request's bound stops a dripper.
            closed += slow[closed].receiveAll(1s) ? 1 : 0;
        }
        EXPECT_EQ(closed, slow.size()) << "the server must close slow connections";
    }
}

constexpr std::size_t kHugeBody = 64 << 20;

TEST(BoardServerHostileClients, BodiesOverTheCapAreRefusedBeforeTheyAreReadWhole) {
    const std::string form = "POST /index.cgi HTTP/1.1\r\nHost: testbank.proboards.com\r\n"
                             "Content-Type: application/x-www-form-urlencoded\r\n";
    const std::string chunked = "Transfer-Encoding: chunked\r\n\r\n";
    const std::pair<std::string, const char*> cases[] = {
        {form + chunked, "HTTP/1.1 413 "},
        {form + "Content-Length: " + std::to_string(kHugeBody) + "\r\n\r\n", "HTTP/1.1 413 "},
        // by a method the forum does not serve
        {"PUT /index.cgi HTTP/1.1\r\nHost: testbank.proboards.com\r\n" + chunked, "HTTP/1.1 405 "},
    };
    TestServer server(smallState(1));
    const std::string piece(64 << 10, 'x');
    for (const auto& [head, expected] : cases) {
        SCOPED_TRACE(head);
        // The body goes out until the server answers or closes the connection.
        Connection connection(server.port());
        const auto framed = head.ends_with(chunked) ? "10000\r\n" + piece + "\r\n" : piece;
        std::size_t sent = 0;
        for (bool open = connection.send(head); open && sent < kHugeBody && !connection.answered();
             sent += piece.size())
            open = connection.send(framed);
        const auto answer = connection.receiveAll(kAnswerDeadline).value_or("");
        EXPECT_LT(sent, kHugeBody / 2);
        // What is left of the body must not be read as a request.
        EXPECT_TRUE(answer.starts_with(expected) && contains(answer, "\r\nConnection: close\r\n"))
            << answer.substr(0, 200);
    }
    EXPECT_EQ(titleOf(ForumClient(server.port()).page("board=accounts")), "Test Bank - Accounts");

    httplib::Client client("127.0.0.1", server.port());
    client.set_compress(true);
    const auto packed =
        client.Post("/index.cgi", {{"Host", kForumHost}}, "message=" + std::string(32 << 20, 'x'),
                    "application/x-www-form-urlencoded");
    EXPECT_TRUE(packed && packed->status == 413) << "a compressed form is capped once unpacked";
}

} // namespace
} // namespace zentab::board::testing

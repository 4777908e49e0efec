#include "board_test_support.h"
#include "loopback_socket.h"

#include <deque>
#include <future>
#include <gtest/gtest.h>
#include <stop_token>

namespace zentab::board::testing {
namespace {

using namespace std::chrono_literals;

// Generous bounds that only catch a hang; the server's own limits are far shorter.
constexpr auto kCutOffDeadline = 30s;
constexpr auto kAnswerDeadline = 10s;
// Shorter than any wait for a single read, so only a bound on the whole request stops a dripper.
constexpr auto kDripInterval = 1s;

// Keeps the connections slow (dripping a header line each round, or idle) until the server has
// closed every one of them or stop is requested; true when the server closed them all.
bool keepSlow(std::deque<LoopbackSocket>& connections, bool drips, std::stop_token stop) {
    std::vector<LoopbackSocket*> open;
    for (auto& connection : connections) {
        open.push_back(&connection);
    }
    while (!open.empty() && !stop.stop_requested()) {
        std::erase_if(open, [drips](LoopbackSocket* connection) {
            return (drips && !connection->send("X-Drip: 1\r\n")) || connection->closedByServer(0ms);
        });
        if (!open.empty() && open.front()->closedByServer(kDripInterval)) {
            open.erase(open.begin());
        }
    }
    return open.empty();
}

TEST(BoardServerHostileClients, SlowClientsNeitherStarveOthersNorHoldTheirConnections) {
    struct Case {
        const char* name;
        int connections;
        const char* opening;
        bool drips;
    };
    const Case cases[] = {
        {"idle", 64, "", false},
        {"dripping a header line at a time", 16,
         "GET /index.cgi?board=accounts HTTP/1.1\r\nHost: testbank.proboards.com\r\n", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestServer server(smallState(1));
        std::deque<LoopbackSocket> slow;
        for (int i = 0; i < c.connections; ++i) {
            ASSERT_TRUE(slow.emplace_back(server.port()).send(c.opening));
        }
        std::stop_source stop;
        auto allClosed =
            std::async(std::launch::async, keepSlow, std::ref(slow), c.drips, stop.get_token());

        const auto title = titleOf(ForumClient(server.port()).page("board=accounts"));
        const bool cutOff = allClosed.wait_for(kCutOffDeadline) == std::future_status::ready;
        stop.request_stop();

        EXPECT_EQ(title, "Test Bank - Accounts") << "an ordinary client must still be served";
        EXPECT_TRUE(cutOff && allClosed.get()) << "the server must close slow connections";
    }
}

struct Upload {
    std::size_t sent = 0; // body bytes the server took before it answered or closed
    std::string answer;
};

constexpr std::size_t kHugeBody = 64 << 20;

// Sends head and then a body of kHugeBody bytes, stopping early once the server answers or
// closes the connection.
Upload sendHugeBody(int port, const std::string& head, bool chunked) {
    LoopbackSocket connection(port);
    const std::string piece(64 << 10, 'x');
    const auto framed = chunked ? "10000\r\n" + piece + "\r\n" : piece;
    Upload upload;
    bool open = connection.send(head);
    while (open && upload.sent < kHugeBody && !connection.readable(0ms)) {
        open = connection.send(framed);
        upload.sent += open ? piece.size() : 0;
    }
    if (open && chunked && upload.sent == kHugeBody) {
        connection.send("0\r\n\r\n");
    }
    upload.answer = connection.receiveAll(kAnswerDeadline);
    return upload;
}

TEST(BoardServerHostileClients, BodiesOverTheCapAreRefusedBeforeTheyAreReadWhole) {
    struct Case {
        const char* name;
        std::string head;
        bool chunked;
        const char* answer;
    };
    const std::string form = "POST /index.cgi HTTP/1.1\r\nHost: testbank.proboards.com\r\n"
                             "Content-Type: application/x-www-form-urlencoded\r\n";
    const Case cases[] = {
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
    for (const auto& c : cases) {
        const auto upload = sendHugeBody(server.port(), c.head, c.chunked);
        EXPECT_LT(upload.sent, kHugeBody / 2) << c.name;
        EXPECT_NE(upload.answer.find("\r\nConnection: close\r\n"), std::string::npos)
            << c.name << ": what is left of the body must not be read as a request";
        EXPECT_TRUE(upload.answer.starts_with(c.answer))
            << c.name << ": " << upload.answer.substr(0, 40);
    }
    EXPECT_EQ(titleOf(ForumClient(server.port()).page("board=accounts")), "Test Bank - Accounts");
}

TEST(BoardServerHostileClients, ACompressedFormIsCappedOnceUnpacked) {
    TestServer server(smallState(1));
    httplib::Client client("127.0.0.1", server.port());
    client.set_compress(true);
    const auto result =
        client.Post("/index.cgi", {{"Host", kForumHost}}, "message=" + std::string(32 << 20, 'x'),
                    "application/x-www-form-urlencoded");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 413);
}

TEST(BoardServerHostileClients, OnlyASingleRangeIsServedAsAPart) {
    TestServer server(smallState(1));
    httplib::Client client("127.0.0.1", server.port());
    const httplib::Headers host = {{"Host", kForumHost}};
    const auto whole = client.Get("/index.cgi?board=accounts", host);
    ASSERT_TRUE(whole);
    std::string wholePageManyTimes = "bytes=0-";
    for (int i = 1; i < 2700; ++i) {
        wholePageManyTimes += ",0-";
    }
    struct Case {
        const char* name;
        std::string range;
        int status;
        std::size_t bytes;
    };
    const Case cases[] = {
        {"one part", "bytes=0-9", 206, 10},
        {"two parts", "bytes=0-9,20-29", 200, whole->body.size()},
        {"thousands of parts", wholePageManyTimes, 200, whole->body.size()},
    };
    for (const auto& c : cases) {
        auto headers = host;
        headers.emplace("Range", c.range);
        const auto result = client.Get("/index.cgi?board=accounts", headers);
        ASSERT_TRUE(result) << c.name;
        EXPECT_EQ(result->status, c.status) << c.name;
        EXPECT_EQ(result->body.size(), c.bytes) << c.name;
    }
}

} // namespace
} // namespace zentab::board::testing

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

} // namespace
} // namespace zentab::board::testing

#include "board_json.h"
#include "board_test_support.h"

#include <gtest/gtest.h>
#include <limits>
#include <unistd.h>

namespace zentab::board::testing {
namespace {

class BoardServerState : public ::testing::Test {
protected:
    void SetUp() override {
        directory_ = std::filesystem::temp_directory_path() /
                     ("zentab-board-state-" + std::to_string(::getpid()) + "-" +
                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(directory_);
        std::filesystem::create_directories(directory_);
    }
    void TearDown() override { std::filesystem::remove_all(directory_); }

    std::filesystem::path directory_;
};

const httplib::Params kEdit = {{"action", "modifypost2"},
                               {"board", "accounts"},
                               {"thread", "1"},
                               {"post", "1"},
                               {"subject", "Renamed"},
                               {"nextaction", "post"},
                               {"message", "Galleons: 12\r\nSickles: 3\r\nKnuts: 7\xFF"}};

TEST_F(BoardServerState, ChangesSurviveARestart) {
    const auto file = directory_ / "state.json";
    {
        TestServer server(smallState(2), file);
        ForumClient client(server.port());
        ASSERT_TRUE(client.login("teller"));
        ASSERT_EQ(client.post(kEdit)->status, 303);
        client.get("board=accounts&action=deletepost&thread=2&post=2");
    }
    ASSERT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(directory_),
                            std::filesystem::directory_iterator()),
              1)
        << "no temporary file may be left behind";

    TestServer restarted(loadStateFile(file, unixNow()), file);
    ForumClient client(restarted.port());
    const auto page = client.page("board=accounts&action=display&thread=1");
    EXPECT_NE(titleOf(page).find("Renamed"), std::string::npos);
    EXPECT_NE(page.find("Knuts: 7\xEF\xBF\xBD"), std::string::npos);
    EXPECT_NE(page.find("<i>Last Edit:</i>"), std::string::npos);
    EXPECT_NE(page.find("var pb_username = \"Guest\";"), std::string::npos);
    EXPECT_EQ(nthTable(client.page("board=accounts"), 7).find("thread=2\""), std::string::npos);

    ASSERT_TRUE(client.login("member"));
    const auto created = client.post({{"action", "post2"},
                                      {"board", "accounts"},
                                      {"subject", "After Restart"},
                                      {"message", "Galleons: 1"},
                                      {"nextaction", "post"}});
    EXPECT_EQ(threadOfLocation(created), 3) << "numbers deleted before the restart stay used";
}

TEST_F(BoardServerState, FailedWriteReportsAnErrorAndKeepsTheOldPost) {
    TestServer server(smallState(1), directory_ / "missing" / "state.json");
    ForumClient client(server.port());
    ASSERT_TRUE(client.login("teller"));
    const auto result = client.post(kEdit);
    ASSERT_TRUE(result);
    EXPECT_NE(titleOf(result->body).find("An Error Has Occurred"), std::string::npos);
    const auto page = client.page("board=accounts&action=display&thread=1");
    EXPECT_NE(titleOf(page).find("Account 1"), std::string::npos);
    EXPECT_EQ(page.find("<i>Last Edit:</i>"), std::string::npos);
}

TEST_F(BoardServerState, PostNumbersEndAtTheTopOfTheirRangeAndTheStateStillLoads) {
    constexpr int kTop = std::numeric_limits<int>::max();
    auto document = smallForum(1);
    auto& opening = document["forums"][0]["boards"][0]["threads"][0];
    opening["id"] = kTop - 1;
    opening["posts"][0]["id"] = kTop - 1;
    const auto write = [](ForumClient& client, int thread) {
        httplib::Params form = {{"action", "post2"},
                                {"board", "accounts"},
                                {"subject", "Top"},
                                {"message", "Galleons: 1"},
                                {"nextaction", "post"}};
        if (thread != 0) {
            form.emplace("thread", std::to_string(thread));
        }
        return client.post(form);
    };
    const auto file = directory_ / "state.json";
    {
        TestServer server(stateFromJson(document, unixNow()), file);
        ForumClient client(server.port());
        ASSERT_TRUE(client.login("member"));
        EXPECT_EQ(threadOfLocation(write(client, 0)), kTop);
    }

    TestServer restarted(loadStateFile(file, unixNow()), file);
    ForumClient client(restarted.port());
    ASSERT_TRUE(client.login("member"));
    for (const int thread : {0, kTop, kTop - 1}) {
        const auto refused = write(client, thread);
        ASSERT_TRUE(refused) << thread;
        EXPECT_NE(titleOf(refused->body).find("An Error Has Occurred"), std::string::npos)
            << thread;
    }
    const auto top = client.page("board=accounts&action=display&thread=" + std::to_string(kTop));
    EXPECT_EQ(titleOf(top), "Test Bank - Top");
    EXPECT_EQ(countOf(top, "<!-- google_ad_section_start -->"), 1u);
}

TEST(BoardServerSeed, MalformedDocumentsAreRefusedSayingWhere) {
    using Pointer = nlohmann::json::json_pointer;
    const auto document = smallForum(2);
    struct Case {
        const char* name;
        Pointer at;
        nlohmann::json value;
        const char* where;
    };
    const Case cases[] = {
        {"thread opened by another post", Pointer("/forums/0/boards/0/threads/0/posts/0/id"), 5,
         "forums[0].boards[0].threads[0]"},
        {"post number used twice", Pointer("/forums/0/boards/0/threads/1"),
         document["forums"][0]["boards"][0]["threads"][0],
         "forums[0].boards[0].threads[1].posts[0].id"},
        {"post number beyond the range", Pointer("/forums/0/boards/0/threads/1/posts/0/id"),
         4294967298, "forums[0].boards[0].threads[1].posts[0].id"},
        {"next number beyond the range", Pointer("/forums/0/next_id"), 4294967296,
         "forums[0].next_id"},
        {"unknown role", Pointer("/forums/0/users/0/role"), "janitor", "forums[0].users[0].role"},
        {"password not a text", Pointer("/forums/0/users/1/password"), nullptr,
         "forums[0].users[1].password"},
        {"unreadable time", Pointer("/forums/0/boards/0/threads/0/posts/0/time"), "yesterday",
         "forums[0].boards[0].threads[0].posts[0].time"},
    };
    for (const auto& c : cases) {
        auto malformed = document;
        malformed[c.at] = c.value;
        try {
            stateFromJson(malformed, unixNow());
            ADD_FAILURE() << c.name << " was accepted";
        } catch (const std::exception& e) {
            EXPECT_NE(std::string(e.what()).find(c.where), std::string::npos)
                << c.name << ": " << e.what();
        }
    }
}

TEST(BoardServerSeed, DemoBoardHasTwoPagesOfAccountsAndItsOddThreads) {
    const auto state = loadStateFile(ZENTAB_BOARD_DEMO_SEED, unixNow());
    const auto& board = state.forums.at(0).boards.at(0);
    int accounts = 0;
    int withoutCoins = 0;
    for (const auto& thread : board.threads) {
        if (thread.subject().find(':') != std::string::npos) {
            continue;
        }
        ++accounts;
        const auto& body = thread.posts.front().body;
        const bool coins = body.find("Galleons: ") != std::string::npos &&
                           body.find("\r\nSickles: ") != std::string::npos &&
                           body.find("\r\nKnuts: ") != std::string::npos;
        withoutCoins += coins ? 0 : 1;
    }
    EXPECT_GE(accounts, 21);
    EXPECT_EQ(withoutCoins, 1);

    TestServer server(loadStateFile(ZENTAB_BOARD_DEMO_SEED, unixNow()));
    ForumClient client(server.port(), "vaultmeres.proboards.com");
    const auto first = client.page("board=vaultmeres&page=1");
    EXPECT_EQ(countOf(nthTable(first, 7), "action=display&amp;thread="), 20u);
    EXPECT_NE(first.find(">Re: Loan</a>"), std::string::npos);
    EXPECT_NE(first.find("<B>Today</B> at"), std::string::npos);
    EXPECT_NE(first.find("<B>Yesterday</B> at"), std::string::npos);
    EXPECT_GT(countOf(nthTable(client.page("board=vaultmeres&page=2"), 7), "thread="), 0u);
    EXPECT_NE(titleOf(client.page("board=vaultmeres&page=3")).find("An Error Has Occurred"),
              std::string::npos);
    for (const auto* user : {"admin", "teller", "member"}) {
        ForumClient login(server.port(), "vaultmeres.proboards.com");
        const auto result =
            login.post({{"action", "login2"}, {"username", user}, {"password", user}});
        EXPECT_TRUE(result && result->has_header("Set-Cookie")) << user;
    }
}

} // namespace
} // namespace zentab::board::testing

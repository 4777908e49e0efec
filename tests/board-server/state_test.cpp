#include "board_checks.h"
#include "board_json.h"

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <limits>
#include <sys/wait.h>

namespace zentab::board::testing {
namespace {

constexpr int kTop = std::numeric_limits<int>::max();
const auto kNewThread = postForm("post2", 0, 0, "Top", "Galleons: 1");

TEST(BoardServerState, ChangesAndUsedNumbersSurviveRestartsAndAFailedWriteKeepsTheOldPost) {
    auto document = smallForum(2);
    document["forums"][0]["next_id"] = kTop - 1;
    ScratchFolder folder;
    const auto file = folder.path / "state.json";
    {
        TestServer server(stateFromJson(document, unixNow()), file);
        ForumClient teller(server.port());
        ASSERT_TRUE(teller.login("teller"));
        EXPECT_TRUE(threadOfLocation(
            teller.post(postForm("modifypost2", 1, 1, "Renamed", "Galleons: 12\r\nKnuts: 7\xFF"))));
        teller.get(accountsQuery("deletepost", 2, 2));
        EXPECT_EQ(threadOfLocation(teller.post(kNewThread)), kTop - 1);
        teller.get(accountsQuery("deletepost", kTop - 1, kTop - 1));
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path), {}), 1)
        << "the state file and no temporary file beside it";
    {
        TestServer restarted(loadStateFile(file, unixNow()), file);
        ForumClient client(restarted.port());
        const auto page = client.page(accountsQuery("display", 1));
        EXPECT_TRUE(contains(titleOf(page), "Renamed"));
        EXPECT_TRUE(contains(page, "Knuts: 7\xEF\xBF\xBD"));
        EXPECT_TRUE(contains(page, "<i>Last Edit:</i>"));
        EXPECT_TRUE(contains(page, "pb_username = \"Guest\";")) << "sessions end with the server";
        EXPECT_FALSE(contains(client.page("board=accounts"), "thread=2\""));
        ASSERT_TRUE(client.login("teller"));
        EXPECT_EQ(threadOfLocation(client.post(kNewThread)), kTop)
            << "numbers deleted before the restart stay used";
        for (const int thread : {0, kTop}) { // a new thread, a reply
            const auto refused = client.post(postForm("post2", thread, 0, "Top", "Galleons: 1"));
            EXPECT_TRUE(refused && isErrorPage(refused->body)) << "numbers end at " << kTop;
        }
    }
    // The top number loads, and a state file in a folder that is not there cannot be written.
    TestServer again(loadStateFile(file, unixNow()), folder.path / "missing" / "state.json");
    ForumClient client(again.port());
    ASSERT_TRUE(client.login("teller"));
    const auto unsaved = client.post(postForm("modifypost2", kTop, kTop, "Renamed", "G"));
    EXPECT_TRUE(unsaved && isErrorPage(unsaved->body));
    const auto top = client.page(accountsQuery("display", kTop));
    EXPECT_EQ(titleOf(top), "Test Bank - Top");
    EXPECT_EQ(countOf(top, "<!-- google_ad_section_start -->"), 1u);
    EXPECT_FALSE(contains(top, "<i>Last Edit:</i>"));
}

TEST(BoardServerSeed, MalformedDocumentsAreRefusedSayingWhere) {
    const auto document = smallForum(2);
    const struct {
        const char* name;
        std::string at;
        nlohmann::json value;
        const char* where;
    } cases[] = {
        {"thread opened by another post", "/forums/0/boards/0/threads/0/posts/0/id", 5,
         "forums[0].boards[0].threads[0]"},
        {"post number used twice", "/forums/0/boards/0/threads/1",
         document["forums"][0]["boards"][0]["threads"][0],
         "forums[0].boards[0].threads[1].posts[0].id"},
        {"post number beyond the range", "/forums/0/boards/0/threads/1/posts/0/id", 4294967298,
         "forums[0].boards[0].threads[1].posts[0].id"},
        {"next number beyond the range", "/forums/0/next_id", 4294967296, "forums[0].next_id"},
        {"unknown role", "/forums/0/users/0/role", "janitor", "forums[0].users[0].role"},
        {"null password", "/forums/0/users/1/password", nullptr, "forums[0].users[1].password"},
        {"unreadable time", "/forums/0/boards/0/threads/0/posts/0/time", "yesterday",
         "forums[0].boards[0].threads[0].posts[0].time"},
    };
    for (const auto& c : cases) {
        auto malformed = document;
        malformed[nlohmann::json::json_pointer(c.at)] = c.value;
        try {
            stateFromJson(malformed, unixNow());
            ADD_FAILURE() << c.name << " was accepted";
        } catch (const std::exception& e) {
            EXPECT_TRUE(contains(e.what(), c.where)) << c.name;
        }
    }
}

// Runs the board server with the arguments, killing it when it still runs after 15 s; its exit
// status and what it wrote.
std::pair<int, std::string> runServer(const std::vector<std::string>& arguments) {
    std::string command = "timeout -s KILL 15 '" ZENTAB_BOARD_SERVER "'";
    for (const auto& argument : arguments) {
        command += " '" + argument + "'";
    }
    FILE* output = ::popen((command + " 2>&1").c_str(), "r");
    std::string said(1 << 12, '\0');
    said.resize(std::fread(said.data(), 1, said.size(), output));
    const int status = ::pclose(output);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, said};
}

TEST(BoardServerStartup, CommandLinesAndUnusableFilesEndItWithAMessage) {
    ScratchFolder folder;
    const auto broken = (folder.path / "broken.json").string();
    std::ofstream(broken) << "{\n  \"forums\": [\n    {,\n";
    const auto incomplete = (folder.path / "incomplete.json").string();
    std::ofstream(incomplete) << R"({"forums": [{"name": "x", "title": "X",
                                   "users": [{"username": "a"}], "boards": []}]})";
    const auto absent = (folder.path / "absent.json").string(), inAbsentFolder = absent + "/x",
               inPlainFile = broken + "/state.json";
    const struct {
        std::vector<std::string> arguments;
        int exitCode;
        std::vector<std::string> said; // parts of what it writes
    } cases[] = {
        {{"--seed", absent}, 1, {"--seed", absent, "No such file or directory"}},
        {{"--seed", broken}, 1, {"--seed", broken, "line 3"}},
        {{"--seed", incomplete}, 1, {"--seed", incomplete, "forums[0].users[0]", "password"}},
        {{"--state", broken}, 1, {"--state", broken, "line 3"}},
        {{"--state", inAbsentFolder}, 1, {"--state", inAbsentFolder, "No such file or directory"}},
        {{"--state", inPlainFile}, 1, {"--state", inPlainFile, "Not a directory"}},
        {{"--port", "x"}, 2, {"'x' is no port number", "Try 'zentab-board-server --help'"}},
        {{"--help"}, 0, {"--port N", "--seed FILE", "--state FILE", "vaultmeres.json)"}},
        {{"--version"}, 0, {"zentab-board-server "}},
    };
    for (const auto& c : cases) {
        const auto [exitCode, said] = runServer(c.arguments);
        SCOPED_TRACE(c.arguments.back() + " said: " + said);
        EXPECT_EQ(exitCode, c.exitCode);
        for (const auto& part : c.said) {
            EXPECT_TRUE(contains(said, part));
        }
    }
}

} // namespace
} // namespace zentab::board::testing

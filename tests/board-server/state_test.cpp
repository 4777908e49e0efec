#include "board_checks.h"
#include "board_json.h"

#include <cstdio>
#include <fstream>
#include <limits>
#include <sys/wait.h>
#include <tuple>

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
        EXPECT_TRUE(contains(page, "<title>Test Bank - Renamed</title>", "Knuts: 7\xEF\xBF\xBD",
                             "<i>Last Edit:</i>", "pb_username = \"Guest\";"))
            << "sessions end with the server";
        EXPECT_FALSE(contains(client.page("board=accounts"), "thread=2\""));
        ASSERT_TRUE(client.login("teller"));
        EXPECT_EQ(threadOfLocation(client.post(kNewThread)), kTop)
            << "numbers deleted before the restart stay used";
        EXPECT_TRUE(refused(client.post(kNewThread)) &&
                    refused(client.post(postForm("post2", kTop, 0, "Re: Top", "Galleons: 1"))))
            << "numbers, of threads and of replies, end at " << kTop;
    }
    // The top number loads, and a state file in a folder that is not there cannot be written.
    TestServer again(loadStateFile(file, unixNow()), folder.path / "missing" / "state.json");
    ForumClient client(again.port());
    ASSERT_TRUE(client.login("teller"));
    EXPECT_TRUE(refused(client.post(postForm("modifypost2", kTop, kTop, "Renamed", "G"))));
    const auto top = client.page(accountsQuery("display", kTop));
    EXPECT_TRUE(contains(top, "<title>Test Bank - Top</title>") &&
                countOf(top, "<!-- google_ad_section_start -->") == 1 &&
                !contains(top, "Last Edit"));
}

// Runs the board server with the arguments (killed after 15 s): its exit code and what it wrote.
std::pair<int, std::string> runServer(const std::vector<std::string>& arguments) {
    std::string command = "timeout -s KILL 15 '" ZENTAB_BOARD_SERVER "'";
    for (const auto& argument : arguments)
        command += " '" + argument + "'";
    FILE* output = ::popen((command + " 2>&1").c_str(), "r");
    std::string said(1 << 12, '\0');
    said.resize(std::fread(said.data(), 1, said.size(), output));
    const int status = ::pclose(output);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, said};
}

TEST(BoardServerStartup, CommandLinesAndUnusableFilesEndItWithAMessageThatSaysWhere) {
    ScratchFolder folder;
    // Command line, exit code and parts of what it writes; seed() writes a malformed seed.
    using Case = std::tuple<std::vector<std::string>, int, std::vector<std::string>>;
    int seeds = 0;
    const auto seed = [&](const std::string& at, const nlohmann::json& value, const char* where) {
        auto document = smallForum(2);
        document[nlohmann::json::json_pointer(at)] = value;
        const auto path = (folder.path / ("seed" + std::to_string(++seeds) + ".json")).string();
        std::ofstream(path) << document;
        return Case{{"--seed", path}, 1, {"--seed", where}};
    };
    const auto thread = smallForum(1)["forums"][0]["boards"][0]["threads"][0];
    const auto broken = (folder.path / "broken.json").string();
    std::ofstream(broken) << "{\n  \"forums\": [\n    {,\n";
    const auto absent = (folder.path / "absent.json").string(), noFolder = absent + "/x",
               inFile = broken + "/state.json";
    const Case cases[] = {
        {{"--port", "0", "--seed", absent}, 1, {"--seed", absent, "No such file or directory"}},
        {{"--seed", broken}, 1, {"--seed", broken, "line 3"}},
        seed("/forums/0/users/0", {{"username", "a"}},
             "forums[0].users[0]: \"password\" is missing"),
        seed("/forums/0/users/1/password", nullptr, "forums[0].users[1].password"),
        seed("/forums/0/users/0/role", "janitor", "forums[0].users[0].role"),
        seed("/forums/0/next_id", 4294967296, "forums[0].next_id"),
        // a thread opened by another post, a post number used twice or beyond the range
        seed("/forums/0/boards/0/threads/0/posts/0/id", 5, "forums[0].boards[0].threads[0]"),
        seed("/forums/0/boards/0/threads/1", thread, "forums[0].boards[0].threads[1].posts[0].id"),
        seed("/forums/0/boards/0/threads/1/posts/0/id", 4294967298,
             "forums[0].boards[0].threads[1].posts[0].id"),
        seed("/forums/0/boards/0/threads/0/posts/0/time", "yesterday",
             "forums[0].boards[0].threads[0].posts[0].time"),
        {{"--state", broken}, 1, {"--state", broken, "line 3"}},
        {{"--state", noFolder}, 1, {"--state", noFolder, "No such file or directory"}},
        {{"--port", "65535", "--state", inFile}, 1, {"--state", inFile, "Not a directory"}},
        {{"--port", "x"}, 2, {"'x' is no port number", "Try 'zentab-board-server --help'"}},
        {{"--port", "65536"}, 2, {"'65536' is no port number"}},
        {{"--port", "-1"}, 2, {"'-1' is no port number"}},
        {{"--seed", "s.json", "--port"}, 2, {"--port needs a value"}},
        {{"--verbose"}, 2, {"unknown option '--verbose'"}},
        {{"--port", "80x"}, 2, {"'80x' is no port number"}},
        {{"--help"}, 0, {"--port N", "--seed FILE", "--state FILE", "vaultmeres.json)"}},
        {{"--port", "1", "-h"}, 0, {"--port N"}},
        {{"-v"}, 0, {"zentab-board-server "}},
    };
    for (const auto& [arguments, exitCode, parts] : cases) {
        const auto [exited, said] = runServer(arguments);
        SCOPED_TRACE(arguments.back() + " said: " + said);
        EXPECT_EQ(exited, exitCode);
        for (const auto& part : parts)
            EXPECT_TRUE(contains(said, part));
    }
}

} // namespace
} // namespace zentab::board::testing

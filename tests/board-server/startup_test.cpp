#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

// Generous: a start-up that fails takes a moment; one that does not fail never ends by itself.
constexpr std::chrono::seconds kExitDeadline(15);

struct Outcome {
    bool exited = false; // by itself, before the deadline
    int exitCode = -1;
    std::string errors; // standard error
};

// Runs the board server with the arguments; stops it when it is still running at the deadline.
Outcome runServer(const std::vector<std::string>& arguments) {
    std::vector<std::string> words = {ZENTAB_BOARD_SERVER};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);

    int errorPipe[2];
    if (::pipe(errorPipe) != 0) {
        return {};
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, errorPipe[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, errorPipe[0]);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(errorPipe[1]);

    Outcome outcome;
    const auto deadline = std::chrono::steady_clock::now() + kExitDeadline;
    char buffer[4096];
    while (spawned == 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd entry{errorPipe[0], POLLIN, 0};
        if (left.count() <= 0 || ::poll(&entry, 1, static_cast<int>(left.count())) <= 0) {
            ::kill(pid, SIGKILL);
            break;
        }
        const auto got = ::read(errorPipe[0], buffer, sizeof buffer);
        if (got <= 0) {
            outcome.exited = true;
            break;
        }
        outcome.errors.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(errorPipe[0]);
    int status = 0;
    if (spawned == 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status)) {
        outcome.exitCode = WEXITSTATUS(status);
    }
    return outcome;
}

void writeFile(const std::filesystem::path& path, const std::string& content) {
    std::ofstream(path) << content;
}

TEST(BoardServerStartup, UnusableFilesStopItWithAMessageNamingThem) {
    const auto directory = std::filesystem::temp_directory_path() /
                           ("zentab-board-startup-" + std::to_string(::getpid()));
    std::filesystem::remove_all(directory);
    std::filesystem::create_directories(directory);
    const auto broken = directory / "broken.json";
    writeFile(broken, "{\n  \"forums\": [\n    {,\n");
    const auto incomplete = directory / "incomplete.json";
    writeFile(incomplete, R"({"forums": [{"name": "x", "title": "X", "users": [{"username": "a"}],
                            "boards": []}]})");
    const auto plainFile = directory / "plain";
    writeFile(plainFile, "");
    const auto absent = directory / "absent.json";
    const auto inAbsentFolder = directory / "absent" / "state.json";
    const auto inPlainFile = plainFile / "state.json";

    struct Case {
        std::vector<std::string> arguments;
        std::vector<std::string> said; // parts of the message
    };
    const Case cases[] = {
        {{"--seed", absent}, {"--seed", absent, "No such file or directory"}},
        {{"--seed", broken}, {"--seed", broken, "line 3"}},
        {{"--seed", incomplete}, {"--seed", incomplete, "forums[0].users[0]", "password"}},
        {{"--state", broken}, {"--state", broken, "line 3"}},
        {{"--state", inAbsentFolder}, {"--state", inAbsentFolder, "No such file or directory"}},
        {{"--state", inPlainFile}, {"--state", inPlainFile, "Not a directory"}},
    };
    for (const auto& c : cases) {
        const auto outcome = runServer(c.arguments);
        SCOPED_TRACE(c.arguments.back() + " said: " + outcome.errors);
        EXPECT_TRUE(outcome.exited);
        EXPECT_NE(outcome.exitCode, 0);
        for (const auto& part : c.said) {
            EXPECT_NE(outcome.errors.find(part), std::string::npos) << part;
        }
    }
    std::filesystem::remove_all(directory);
}

} // namespace

// How long the program takes from process start to its main window on screen,
// library loading included, against a Qt program that shows one line edit.
// Both run in turns, so that a busy machine slows both alike; the figure that
// counts is the ratio. Run it as the program is run: under X, or offscreen.
//
//   startup_bench [ROUNDS]
#include "Median.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds from spawning the program to its word that the window is up.
std::optional<double> startUpMs(const std::filesystem::path& program) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    std::string path = program.string();
    char* arguments[] = {path.data(), nullptr};

    const Clock::time_point start = Clock::now();
    pid_t child = 0;
    const int spawned = posix_spawn(&child, path.c_str(), &actions, nullptr, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    std::string said;
    char buffer[64];
    for (ssize_t got; spawned == 0 && said.find('\n') == std::string::npos &&
                      (got = read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        said.append(buffer, static_cast<std::size_t>(got));
    const Clock::time_point shown = Clock::now();
    close(pipeEnds[0]);
    int status = 0;
    if (spawned != 0 || waitpid(child, &status, 0) != child || status != 0 || said != "shown\n")
        return std::nullopt;
    return std::chrono::duration<double, std::milli>(shown - start).count();
}

} // namespace

int main(int argc, char* argv[]) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    const std::filesystem::path folder = std::filesystem::canonical("/proc/self/exe").parent_path();
    std::vector<double> minimal, calculator, ratios;
    for (int round = 0; round < rounds; ++round) {
        const auto yardstick = startUpMs(folder / "startup_minimal_window");
        const auto program = startUpMs(folder / "startup_calculator");
        if (!yardstick || !program) {
            std::fputs("a start-up program failed; is QT_QPA_PLATFORM or DISPLAY set?\n", stderr);
            return 1;
        }
        minimal.push_back(*yardstick);
        calculator.push_back(*program);
        ratios.push_back(*program / *yardstick);
    }
    std::printf("median of %d rounds: one line edit %.1f ms, main window %.1f ms\n", rounds,
                median(minimal), median(calculator));
    std::printf("median ratio of each round's pair: %.3f\n", median(ratios));
    return 0;
}

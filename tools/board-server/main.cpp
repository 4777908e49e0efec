#include "board_json.h"
#include "board_server.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <iostream>
#include <pthread.h>
#include <string>
#include <thread>

namespace {

struct Options {
    int port = 0;
    std::filesystem::path seed = ZENTAB_BOARD_DEMO_SEED;
    std::optional<std::filesystem::path> state;
};

constexpr const char* kUsage =
    "usage: zentab-board-server [--port N] [--seed FILE] [--state FILE]\n";

std::optional<Options> parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string flag = argv[i];
        if (i + 1 >= argc) {
            return std::nullopt;
        }
        const std::string value = argv[++i];
        if (flag == "--port") {
            std::size_t used = 0;
            try {
                options.port = std::stoi(value, &used);
            } catch (const std::exception&) {
                return std::nullopt;
            }
            if (used != value.size() || options.port < 0 || options.port > 65535) {
                return std::nullopt;
            }
        } else if (flag == "--seed") {
            options.seed = value;
        } else if (flag == "--state") {
            options.state = value;
        } else {
            return std::nullopt;
        }
    }
    return options;
}

} // namespace

int main(int argc, char** argv) {
    using namespace zentab::board;
    const auto options = parseOptions(argc, argv);
    if (!options) {
        std::cerr << kUsage;
        return 2;
    }
    // A state file that cannot even be looked at counts as absent; writing it then says why.
    std::error_code unknown;
    const bool resume = options->state && std::filesystem::exists(*options->state, unknown);
    BoardState state;
    try {
        state = loadStateFile(resume ? *options->state : options->seed, unixNow());
    } catch (const std::exception& e) {
        std::cerr << "zentab-board-server: cannot read " << (resume ? "--state " : "--seed ")
                  << e.what() << "\n";
        return 1;
    }
    // An unwritable state file is found now rather than when a user's change cannot be saved.
    if (options->state && !saveStateFile(*options->state, state)) {
        std::cerr << "zentab-board-server: cannot write --state " << options->state->string()
                  << ": " << std::strerror(errno) << "\n";
        return 1;
    }

    // Signals are taken by a thread of their own, so that stopping is an ordinary call.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    BoardServer server(std::move(state), options->state);
    const int port = server.bind(options->port);
    if (port < 0) {
        std::cerr << "zentab-board-server: cannot listen on 127.0.0.1:" << options->port << ": "
                  << std::strerror(errno) << "\n";
        return 1;
    }
    std::cout << "listening on 127.0.0.1:" << port << std::endl;

    std::thread signalWaiter([&server, stopSignals] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        server.stop();
    });
    const bool served = server.serve();
    pthread_kill(signalWaiter.native_handle(), SIGTERM);
    signalWaiter.join();
    return served ? 0 : 1;
}

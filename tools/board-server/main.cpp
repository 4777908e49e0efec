#include "InstalledLayout.h"
#include "board_json.h"
#include "board_server.h"
#include "options.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <iostream>
#include <pthread.h>
#include <string>
#include <thread>

int main(int argc, char** argv) {
    using namespace zentab::board;
    const auto defaultSeed = layout::demoBoardFile(layout::runningExecutableDirectory());
    const auto options = parseServerOptions({argv + 1, argv + argc}, defaultSeed);
    switch (options.action) {
    case ServerOptions::Action::ShowHelp:
        std::cout << serverHelpText(defaultSeed);
        return 0;
    case ServerOptions::Action::ShowVersion:
        std::cout << "zentab-board-server " ZENTAB_VERSION "\n";
        return 0;
    case ServerOptions::Action::Refuse:
        std::cerr << "zentab-board-server: " << options.refusal << "\n"
                  << "Try 'zentab-board-server --help'.\n";
        return 2;
    case ServerOptions::Action::Serve:
        break;
    }
    // A state file that cannot even be looked at counts as absent; writing it then says why.
    std::error_code unknown;
    const bool resume = options.state && std::filesystem::exists(*options.state, unknown);
    BoardState state;
    try {
        state = loadStateFile(resume ? *options.state : options.seed, unixNow());
    } catch (const std::exception& e) {
        std::cerr << "zentab-board-server: cannot read " << (resume ? "--state " : "--seed ")
                  << e.what() << "\n";
        return 1;
    }
    // An unwritable state file is found now rather than when a user's change cannot be saved.
    if (options.state && !saveStateFile(*options.state, state)) {
        std::cerr << "zentab-board-server: cannot write --state " << options.state->string()
                  << ": " << std::strerror(errno) << "\n";
        return 1;
    }

    // Signals are taken by a thread of their own, so that stopping is an ordinary call.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    BoardServer server(std::move(state), options.state);
    const int port = server.bind(options.port);
    if (port < 0) {
        std::cerr << "zentab-board-server: cannot listen on 127.0.0.1:" << options.port << ": "
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

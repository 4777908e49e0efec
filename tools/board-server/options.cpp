#include "options.h"

#include <stdexcept>

namespace zentab::board {

namespace {

std::optional<int> portNumber(const std::string& text) {
    std::size_t used = 0;
    int port = -1;
    try {
        port = std::stoi(text, &used);
    } catch (const std::exception&) {
        return std::nullopt;
    }
    if (used != text.size() || port < 0 || port > 65535)
        return std::nullopt;
    return port;
}

ServerOptions refused(std::string why) {
    ServerOptions options;
    options.action = ServerOptions::Action::Refuse;
    options.refusal = std::move(why);
    return options;
}

} // namespace

ServerOptions parseServerOptions(const std::vector<std::string>& arguments,
                                 const std::filesystem::path& defaultSeed) {
    ServerOptions options;
    options.seed = defaultSeed;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& flag = arguments[i];
        if (flag == "-h" || flag == "--help") {
            options.action = ServerOptions::Action::ShowHelp;
            return options;
        }
        if (flag == "-v" || flag == "--version") {
            options.action = ServerOptions::Action::ShowVersion;
            return options;
        }
        if (flag != "--port" && flag != "--seed" && flag != "--state")
            return refused("unknown option '" + flag + "'");
        if (i + 1 == arguments.size())
            return refused(flag + " needs a value");
        const std::string& value = arguments[++i];
        if (flag == "--port") {
            const auto port = portNumber(value);
            if (!port)
                return refused("'" + value + "' is no port number");
            options.port = *port;
        } else if (flag == "--seed") {
            options.seed = value;
        } else {
            options.state = value;
        }
    }
    return options;
}

std::string serverHelpText(const std::filesystem::path& defaultSeed) {
    return "usage: zentab-board-server [--port N] [--seed FILE] [--state FILE]\n"
           "\n"
           "Serves forum boards on 127.0.0.1 only, a stand-in for the forum service.\n"
           "Its first line on standard output is 'listening on 127.0.0.1:PORT'.\n"
           "\n"
           "  --port N       the port to listen on; 0, the default, picks a free one\n"
           "  --seed FILE    the board to serve (default: " +
           defaultSeed.string() +
           ")\n"
           "  --state FILE   resume from FILE when it exists and keep every change in it\n"
           "  -h, --help     show this help\n"
           "  -v, --version  show the version\n";
}

} // namespace zentab::board

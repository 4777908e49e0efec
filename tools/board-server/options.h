#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace zentab::board {

struct ServerOptions {
    enum class Action { Serve, ShowHelp, ShowVersion, Refuse };
    Action action = Action::Serve;
    int port = 0;
    std::filesystem::path seed;
    std::optional<std::filesystem::path> state;
    std::string refusal; // why the command line was refused
};

// Reads the arguments after the program name; the seed is `defaultSeed` unless --seed names
// another.
ServerOptions parseServerOptions(const std::vector<std::string>& arguments,
                                 const std::filesystem::path& defaultSeed);

std::string serverHelpText(const std::filesystem::path& defaultSeed);

} // namespace zentab::board

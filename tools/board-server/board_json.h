#pragma once

#include "board_model.h"

#include <filesystem>
#include <nlohmann/json.hpp>

namespace zentab::board {

// Reads a seed or state document. A time is Unix seconds, or in seed files "-Nd HH:MM": that
// clock time N days before now, so that a demo always has posts from today and yesterday.
// Throws std::runtime_error saying where the document is malformed and how.
BoardState stateFromJson(const nlohmann::json& document, UnixTime now);
nlohmann::json stateToJson(const BoardState& state);

// Throws std::runtime_error naming the file and what is wrong with it.
BoardState loadStateFile(const std::filesystem::path& path, UnixTime now);
// Replaces the file atomically; false when that failed, with errno saying why.
bool saveStateFile(const std::filesystem::path& path, const BoardState& state);

} // namespace zentab::board

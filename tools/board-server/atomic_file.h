#pragma once

#include <filesystem>
#include <string_view>

namespace zentab::board {

// Replaces the file's content through a temporary file and a rename, so that a reader or a
// crash sees either the old or the new content, never a mix. False when anything failed, with
// errno saying why.
bool writeFileAtomically(const std::filesystem::path& path, std::string_view content);

} // namespace zentab::board

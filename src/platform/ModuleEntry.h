#pragma once

#include <QString>
#include <QtGlobal>
#include <filesystem>

namespace platform {

// The function `name` exported by the module at `path`, which is loaded now if it was not;
// nullptr, with the loader's reason in `error`, when it cannot be. A module is never
// unloaded: what it made may live until the program ends.
QFunctionPointer moduleEntry(const std::filesystem::path& path, const char* name, QString& error);

} // namespace platform

#pragma once

#include <filesystem>

// Where the program's files lie relative to its executables. Both executables sit in one
// bin/ folder with their data in ../share/<package>/ and their modules in ../lib/<package>/,
// in a build folder as in an installed prefix, so the same rule finds them in both.
namespace layout {

std::filesystem::path dataDirectory(const std::filesystem::path& executableDirectory);

// The board the demo starts from.
std::filesystem::path demoBoardFile(const std::filesystem::path& executableDirectory);

std::filesystem::path boardServerExecutable(const std::filesystem::path& executableDirectory);

// The module that draws the balance chart, in ../lib/<package>/.
std::filesystem::path balanceChartModule(const std::filesystem::path& executableDirectory);

// The module of the bank manager's windows, in ../lib/<package>/.
std::filesystem::path bankSideModule(const std::filesystem::path& executableDirectory);

// The folder of the running executable, whatever the working folder and argv[0] say.
std::filesystem::path runningExecutableDirectory();

} // namespace layout

#include "InstalledLayout.h"

namespace layout {

std::filesystem::path dataDirectory(const std::filesystem::path& executableDirectory) {
    return (executableDirectory / ".." / "share" / ZENTAB_PACKAGE_NAME).lexically_normal();
}

std::filesystem::path demoBoardFile(const std::filesystem::path& executableDirectory) {
    return dataDirectory(executableDirectory) / "vaultmeres.json";
}

std::filesystem::path boardServerExecutable(const std::filesystem::path& executableDirectory) {
    return (executableDirectory / "zentab-board-server").lexically_normal();
}

namespace {

std::filesystem::path module(const std::filesystem::path& executableDirectory, const char* file) {
    return (executableDirectory / ".." / "lib" / ZENTAB_PACKAGE_NAME / file).lexically_normal();
}

} // namespace

std::filesystem::path balanceChartModule(const std::filesystem::path& executableDirectory) {
    return module(executableDirectory, "zentab-balance-chart.so");
}

std::filesystem::path bankSideModule(const std::filesystem::path& executableDirectory) {
    return module(executableDirectory, "zentab-bank-side.so");
}

std::filesystem::path runningExecutableDirectory() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

} // namespace layout

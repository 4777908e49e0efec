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

std::filesystem::path balanceChartModule(const std::filesystem::path& executableDirectory) {
    return (executableDirectory / ".." / "lib" / ZENTAB_PACKAGE_NAME / "zentab-balance-chart.so")
        .lexically_normal();
}

std::filesystem::path runningExecutableDirectory() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

} // namespace layout

#include "ProgramLog.h"

namespace platform {
namespace {

std::function<void(const QString&)>& sink() {
    static std::function<void(const QString&)> log;
    return log;
}

} // namespace

void setProgramLog(std::function<void(const QString&)> log) {
    sink() = std::move(log);
}

void logProblem(const QString& line) {
    if (sink())
        sink()(line);
}

} // namespace platform

#pragma once

#include <QString>
#include <functional>

// Problems the program meets on its own (a page that could not be fetched, a
// settings file that was refused) go to the program's log through here.
namespace platform {

// Receives every line; nullptr drops them.
void setProgramLog(std::function<void(const QString&)> log);

void logProblem(const QString& line);

} // namespace platform

#pragma once

#include <QString>
#include <QStringList>

namespace app {

// What the command line asks of the calculator.
struct CommandLine {
    enum class Action { Run, ShowHelp, ShowVersion, Refuse };
    Action action = Action::Run;
    bool demo = false;
    QString text; // printed for every action but Run
};

// Reads the arguments, the program's name first, as the application holds them once Qt
// has taken out its own options.
CommandLine parseCommandLine(const QStringList& arguments);

// Prints what a command line that does not run the calculator says; the exit status.
int answer(const CommandLine& commandLine);

} // namespace app

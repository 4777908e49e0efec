#include "CommandLine.h"

#include "ApplicationTitle.h"
#include "DemoMode.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

namespace app {

CommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A calculator for Galleons, Sickles and Knuts, with a bank manager for "
                       "forum boards.\n\nThe demo board: %1\n(%2).")
            .arg(DemoBoardUrl, DemoBoardUsers));
    // Our own help option: the one Qt adds brings --help-all, which lists options that
    // only a running application knows.
    const QCommandLineOption help({"h", "help"}, QStringLiteral("Show this help."));
    const QCommandLineOption version({"v", "version"}, QStringLiteral("Show the version."));
    const QCommandLineOption demo(
        "demo", QStringLiteral("Start the demo board on a free loopback port and use it "
                               "in place of the forum; closing the calculator stops it."));
    parser.addOptions({help, version, demo});

    CommandLine result;
    const auto refuse = [&](const QString& why) {
        result.action = CommandLine::Action::Refuse;
        result.text = why + QStringLiteral("\nTry '--help'.\n");
        return result;
    };
    if (!parser.parse(arguments))
        return refuse(parser.errorText());
    if (parser.isSet(help)) {
        result.action = CommandLine::Action::ShowHelp;
        result.text = parser.helpText();
    } else if (parser.isSet(version)) {
        result.action = CommandLine::Action::ShowVersion;
        result.text =
            platform::applicationTitle() + ' ' + QCoreApplication::applicationVersion() + '\n';
    } else if (!parser.positionalArguments().isEmpty()) {
        return refuse(QStringLiteral("Unexpected argument '%1'.")
                          .arg(parser.positionalArguments().constFirst()));
    }
    result.demo = parser.isSet(demo);
    return result;
}

int answer(const CommandLine& commandLine) {
    const bool refused = commandLine.action == CommandLine::Action::Refuse;
    std::fputs(commandLine.text.toLocal8Bit().constData(), refused ? stderr : stdout);
    return refused ? 2 : 0;
}

} // namespace app

#include "DemoBoard.h"

#include "BankSide.h"

#include <QEventLoop>
#include <QRegularExpression>
#include <QTimer>
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace app {

std::optional<quint16> listeningPort(const QByteArray& line) {
    static const QRegularExpression announcement(
        QStringLiteral("^listening on 127\\.0\\.0\\.1:(\\d{1,5})\\n?$"));
    const auto match = announcement.match(QString::fromLatin1(line));
    const uint port = match.hasMatch() ? match.captured(1).toUInt() : 0;
    if (port == 0 || port > 65535)
        return std::nullopt;
    return static_cast<quint16>(port);
}

DemoBoard::~DemoBoard() {
    if (port_ != 0)
        loadedBankSide()->routeThroughSystemProxies();
    stop();
}

bool DemoBoard::start(const QString& serverProgram, const QStringList& arguments,
                      std::chrono::milliseconds timeout) {
    // The server must not outlive a calculator that ends without running its destructors.
    const pid_t calculator = ::getpid();
    server_.setChildProcessModifier([calculator] {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != calculator)
            ::_exit(127);
    });

    QEventLoop loop;
    QObject::connect(&server_, &QProcess::readyReadStandardOutput, &loop, [&] {
        if (server_.canReadLine())
            loop.quit();
    });
    QObject::connect(&server_, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&server_, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeout, &loop, &QEventLoop::quit);
    server_.start(serverProgram, arguments, QIODevice::ReadOnly);
    // A program that cannot be started is reported before the loop could hear of it.
    if (server_.state() != QProcess::NotRunning)
        loop.exec();

    if (server_.error() == QProcess::FailedToStart)
        return fail(QStringLiteral("%1 could not be started: %2")
                        .arg(serverProgram, server_.errorString()));
    // A program that ends at once may still have said what it is.
    const QByteArray announcement = server_.canReadLine() ? server_.readLine() : QByteArray();
    const auto port = listeningPort(announcement);
    if (!announcement.isEmpty() && !port)
        return fail(QStringLiteral("%1 said something unexpected: %2")
                        .arg(serverProgram, QString::fromLocal8Bit(announcement).trimmed()));
    if (server_.state() != QProcess::Running)
        return fail(QStringLiteral("%1 stopped before it was ready:\n%2")
                        .arg(serverProgram,
                             QString::fromLocal8Bit(server_.readAllStandardError()).trimmed()));
    if (!port)
        return fail(QStringLiteral("%1 did not answer within %2 seconds.")
                        .arg(serverProgram)
                        .arg(std::chrono::duration<double>(timeout).count()));
    // The browsers live in the bank side, which the demo therefore loads at once.
    QString error;
    BankSide* side = bankSide(error);
    if (!side)
        return fail(QStringLiteral("The bank manager could not be loaded: %1").arg(error));
    port_ = *port;
    side->routeThroughLoopbackProxy(port_);
    return true;
}

bool DemoBoard::fail(const QString& why) {
    errorText_ = why;
    stop();
    return false;
}

void DemoBoard::stop() {
    if (server_.state() == QProcess::NotRunning)
        return;
    // SIGTERM lets the server finish the request it is writing to its state file.
    server_.terminate();
    if (!server_.waitForFinished(5000)) {
        server_.kill();
        server_.waitForFinished();
    }
}

} // namespace app

#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <chrono>
#include <optional>

namespace app {

// The port of the server's "listening on 127.0.0.1:PORT" line.
std::optional<quint16> listeningPort(const QByteArray& line);

// The demo's board server, a child process of the calculator: while it runs, every browser
// of the process reaches the forum through it.
class DemoBoard {
public:
    DemoBoard() = default;
    // Stops the server and gives the browsers their own proxies back.
    ~DemoBoard();
    DemoBoard(const DemoBoard&) = delete;
    DemoBoard& operator=(const DemoBoard&) = delete;

    // Starts the server and waits, pumping events, until it listens; false, with the
    // reason in errorText(), when it does not.
    bool start(const QString& serverProgram, const QStringList& arguments,
               std::chrono::milliseconds timeout);

    quint16 port() const { return port_; }
    qint64 processId() const { return server_.processId(); }
    QString errorText() const { return errorText_; }

private:
    bool fail(const QString& why);
    void stop();

    QProcess server_;
    quint16 port_ = 0;
    QString errorText_;
};

} // namespace app

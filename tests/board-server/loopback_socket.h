#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace zentab::board::testing {

// A raw connection to the server on 127.0.0.1, for requests that no well-behaved client sends.
class LoopbackSocket {
public:
    explicit LoopbackSocket(int port);
    ~LoopbackSocket();
    LoopbackSocket(const LoopbackSocket&) = delete;
    LoopbackSocket& operator=(const LoopbackSocket&) = delete;

    // Sends all of data; false when the connection failed or the server closed or reset it.
    bool send(std::string_view data);
    // Whether the server answered or closed the connection within the timeout.
    bool readable(std::chrono::milliseconds timeout) const;
    // Whether the server closed the connection within the timeout; what it sent is discarded.
    bool closedByServer(std::chrono::milliseconds timeout);
    // Everything the server sends until it closes the connection or the deadline passes.
    std::string receiveAll(std::chrono::milliseconds deadline);

private:
    // Appends what arrives to answer; true when the server closed before the deadline.
    bool receiveUntilClosed(std::chrono::milliseconds deadline, std::string& answer);

    int sock_;
    bool connected_;
};

} // namespace zentab::board::testing

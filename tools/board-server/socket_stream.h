#pragma once

#include <array>
#include <chrono>
#include <httplib.h>

namespace zentab::board {

// A buffered httplib stream over one accepted connection, for the server's own connection loop.
// Each request may be read only until its deadline and only up to its byte budget, so that a
// client can neither drip a request forever nor send one without end.
class SocketStream : public httplib::Stream {
public:
    SocketStream(socket_t sock, std::chrono::milliseconds writeTimeout);

    void beginRequest(std::chrono::steady_clock::time_point deadline, std::size_t budget);
    // Whether the request ran past its deadline or its budget; its connection must not be reused.
    bool overran() const { return overran_; }

    bool is_readable() const override;
    bool is_writable() const override;
    ssize_t read(char* ptr, size_t size) override;
    ssize_t write(const char* ptr, size_t size) override;
    void get_remote_ip_and_port(std::string& ip, int& port) const override;
    void get_local_ip_and_port(std::string& ip, int& port) const override;
    socket_t socket() const override;

private:
    std::chrono::milliseconds timeLeft() const;

    socket_t sock_;
    std::chrono::milliseconds writeTimeout_;
    std::chrono::steady_clock::time_point deadline_;
    std::size_t budget_ = 0;
    bool overran_ = false;
    std::array<char, 4096> buffer_{};
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
};

// Waits for the socket to become readable (events POLLIN) or writable (POLLOUT).
bool waitForSocket(socket_t sock, short events, std::chrono::milliseconds timeout);

} // namespace zentab::board

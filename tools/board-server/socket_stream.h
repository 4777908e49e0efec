#pragma once

#include <array>
#include <chrono>
#include <httplib.h>

namespace zentab::board {

// A buffered httplib stream over one accepted connection, for the server's own connection loop.
class SocketStream : public httplib::Stream {
public:
    SocketStream(socket_t sock, std::chrono::milliseconds readTimeout,
                 std::chrono::milliseconds writeTimeout);

    bool is_readable() const override;
    bool is_writable() const override;
    ssize_t read(char* ptr, size_t size) override;
    ssize_t write(const char* ptr, size_t size) override;
    void get_remote_ip_and_port(std::string& ip, int& port) const override;
    void get_local_ip_and_port(std::string& ip, int& port) const override;
    socket_t socket() const override;

private:
    socket_t sock_;
    std::chrono::milliseconds readTimeout_;
    std::chrono::milliseconds writeTimeout_;
    std::array<char, 4096> buffer_{};
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
};

// Waits for the socket to become readable (events POLLIN) or writable (POLLOUT).
bool waitForSocket(socket_t sock, short events, std::chrono::milliseconds timeout);

} // namespace zentab::board

#include "socket_stream.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

namespace zentab::board {

namespace {

void addressOf(const sockaddr_storage& address, std::string& ip, int& port) {
    char text[INET6_ADDRSTRLEN] = {};
    if (address.ss_family == AF_INET) {
        const auto& v4 = reinterpret_cast<const sockaddr_in&>(address);
        inet_ntop(AF_INET, &v4.sin_addr, text, sizeof text);
        port = ntohs(v4.sin_port);
    } else if (address.ss_family == AF_INET6) {
        const auto& v6 = reinterpret_cast<const sockaddr_in6&>(address);
        inet_ntop(AF_INET6, &v6.sin6_addr, text, sizeof text);
        port = ntohs(v6.sin6_port);
    }
    ip = text;
}

} // namespace

bool waitForSocket(socket_t sock, short events, std::chrono::milliseconds timeout) {
    pollfd entry{sock, events, 0};
    int ready = 0;
    do {
        ready = ::poll(&entry, 1, static_cast<int>(timeout.count()));
    } while (ready < 0 && errno == EINTR);
    return ready > 0;
}

SocketStream::SocketStream(socket_t sock, std::chrono::milliseconds writeTimeout)
    : sock_(sock), writeTimeout_(writeTimeout) {}

void SocketStream::beginRequest(std::chrono::steady_clock::time_point deadline,
                                std::size_t budget) {
    deadline_ = deadline;
    budget_ = budget;
    overran_ = false;
}

std::chrono::milliseconds SocketStream::timeLeft() const {
    return std::max(
        std::chrono::milliseconds(0),
        std::chrono::ceil<std::chrono::milliseconds>(deadline_ - std::chrono::steady_clock::now()));
}

bool SocketStream::is_readable() const {
    return begin_ < end_ || waitForSocket(sock_, POLLIN, timeLeft());
}

bool SocketStream::is_writable() const {
    return waitForSocket(sock_, POLLOUT, writeTimeout_);
}

ssize_t SocketStream::read(char* ptr, size_t size) {
    if (budget_ == 0 || !is_readable()) {
        overran_ = true;
        return -1;
    }
    if (begin_ == end_) {
        ssize_t received = 0;
        do {
            received = ::recv(sock_, buffer_.data(), buffer_.size(), 0);
        } while (received < 0 && errno == EINTR);
        if (received <= 0) {
            return received;
        }
        begin_ = 0;
        end_ = static_cast<std::size_t>(received);
    }
    const auto count = std::min({size, end_ - begin_, budget_});
    std::memcpy(ptr, buffer_.data() + begin_, count);
    begin_ += count;
    budget_ -= count;
    return static_cast<ssize_t>(count);
}

ssize_t SocketStream::write(const char* ptr, size_t size) {
    if (!is_writable()) {
        return -1;
    }
    ssize_t sent = 0;
    do {
        sent = ::send(sock_, ptr, size, MSG_NOSIGNAL);
    } while (sent < 0 && errno == EINTR);
    return sent;
}

void SocketStream::get_remote_ip_and_port(std::string& ip, int& port) const {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (::getpeername(sock_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        addressOf(address, ip, port);
    }
}

void SocketStream::get_local_ip_and_port(std::string& ip, int& port) const {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (::getsockname(sock_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        addressOf(address, ip, port);
    }
}

socket_t SocketStream::socket() const {
    return sock_;
}

} // namespace zentab::board

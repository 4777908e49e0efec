#include "loopback_socket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zentab::board::testing {

namespace {

// A server that stops reading must not hang the test in a blocked send.
constexpr timeval kSendTimeout{10, 0};

} // namespace

LoopbackSocket::LoopbackSocket(int port) : sock_(::socket(AF_INET, SOCK_STREAM, 0)) {
    ::setsockopt(sock_, SOL_SOCKET, SO_SNDTIMEO, &kSendTimeout, sizeof kSendTimeout);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connected_ = ::connect(sock_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
}

LoopbackSocket::~LoopbackSocket() {
    ::close(sock_);
}

bool LoopbackSocket::send(std::string_view data) {
    while (connected_ && !data.empty()) {
        const auto sent = ::send(sock_, data.data(), data.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) {
            continue;
        }
        if (sent <= 0) {
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(sent));
    }
    return connected_;
}

bool LoopbackSocket::readable(std::chrono::milliseconds timeout) const {
    pollfd entry{sock_, POLLIN, 0};
    return ::poll(&entry, 1, static_cast<int>(timeout.count())) > 0;
}

bool LoopbackSocket::closedByServer(std::chrono::milliseconds timeout) {
    std::string ignored;
    return receiveUntilClosed(timeout, ignored);
}

std::string LoopbackSocket::receiveAll(std::chrono::milliseconds deadline) {
    std::string answer;
    receiveUntilClosed(deadline, answer);
    return answer;
}

bool LoopbackSocket::receiveUntilClosed(std::chrono::milliseconds deadline, std::string& answer) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    char buffer[4096];
    while (connected_) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !readable(left)) {
            return false;
        }
        const auto got = ::recv(sock_, buffer, sizeof buffer, 0);
        if (got <= 0) {
            return true;
        }
        answer.append(buffer, static_cast<std::size_t>(got));
    }
    return true;
}

} // namespace zentab::board::testing

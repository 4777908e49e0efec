#include "faulting_server.h"

#include "socket_stream.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zentab::board {

namespace {

std::chrono::milliseconds duration(time_t seconds, time_t microseconds) {
    return std::chrono::milliseconds(seconds * 1000 + microseconds / 1000);
}

// Short enough that stopping the server does not wait long for idle connections.
constexpr std::chrono::milliseconds kStopCheckInterval(100);

} // namespace

void FaultingServer::halt() {
    const socket_t sock = svr_sock_.exchange(INVALID_SOCKET);
    if (sock != INVALID_SOCKET) {
        ::shutdown(sock, SHUT_RDWR);
        ::close(sock);
    }
}

bool FaultingServer::waitForRequest(socket_t sock) const {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(keep_alive_timeout_sec_);
    while (svr_sock_ != INVALID_SOCKET && std::chrono::steady_clock::now() < deadline) {
        if (waitForSocket(sock, POLLIN, kStopCheckInterval)) {
            // A client closing its idle connection is readable too, but brings no request.
            char byte = 0;
            return ::recv(sock, &byte, 1, MSG_PEEK) > 0;
        }
    }
    return false;
}

bool FaultingServer::process_and_close_socket(socket_t sock) {
    // Headers and body leave in separate writes; without this each answer waits for an ACK.
    const int noDelay = 1;
    ::setsockopt(sock, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
    SocketStream stream(sock, duration(read_timeout_sec_, read_timeout_usec_),
                        duration(write_timeout_sec_, write_timeout_usec_));
    bool closed = false;
    for (std::size_t served = 0; !closed && served < keep_alive_max_count_; ++served) {
        if (!waitForRequest(sock) || faults_.takeDrop()) {
            break;
        }
        const bool last = served + 1 == keep_alive_max_count_;
        if (!process_request(stream, last, closed, nullptr)) {
            break;
        }
    }
    ::shutdown(sock, SHUT_RDWR);
    ::close(sock);
    return true;
}

} // namespace zentab::board

#include "faulting_server.h"

#include "connection_threads.h"
#include "server_limits.h"
#include "socket_stream.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zentab::board {

namespace {

// Short enough that stopping the server does not wait long for idle connections.
constexpr std::chrono::milliseconds kStopCheckInterval(100);

// A body may be refused before it is read to its end, and what is left of it must never be taken
// for a request; so a request with a body is the last on its connection.
void closeAfterBody(httplib::Request& request, bool& closed) {
    if (request.has_header("Content-Length") || request.has_header("Transfer-Encoding")) {
        // httplib answers "Connection: close" to a request that asks for it.
        request.headers.erase("Connection");
        request.headers.emplace("Connection", "close");
        closed = true;
    }
}

// Every part repeats what it covers, so many parts of one page would multiply it; a request for
// more parts than allowed gets the whole page instead, as HTTP lets a server answer.
void limitRanges(httplib::Request& request) {
    if (request.ranges.size() > kMaxRangeParts) {
        request.ranges.clear();
    }
}

} // namespace

FaultingServer::FaultingServer(Faults& faults) : faults_(faults) {
    new_task_queue = [] {
        return new ConnectionThreads(kMaxConnections);
    };
    set_keep_alive_max_count(kMaxRequestsPerConnection);
    set_keep_alive_timeout(kIdleTimeout.count());
    set_payload_max_length(kMaxBodyBytes);
}

int FaultingServer::bindTo(const std::string& host, int port) {
    int bound = port;
    if (port == 0) {
        bound = bind_to_any_port(host);
    } else if (!bind_to_port(host, port)) {
        bound = -1;
    }
    // httplib's own backlog is too short for a burst of connections on a busy machine: the
    // kernel drops the rest, and their clients only try again a second later.
    if (bound >= 0 && ::listen(svr_sock_, kListenBacklog) != 0) {
        return -1;
    }
    return bound;
}

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
    SocketStream stream(sock, kWriteTimeout);
    bool closed = false;
    const auto limit = [&closed](httplib::Request& request) {
        closeAfterBody(request, closed);
        limitRanges(request);
    };
    for (std::size_t served = 0; !closed && served < keep_alive_max_count_; ++served) {
        if (!waitForRequest(sock) || faults_.takeDrop()) {
            break;
        }
        stream.beginRequest(std::chrono::steady_clock::now() + kRequestDeadline, kMaxRequestBytes);
        const bool last = served + 1 == keep_alive_max_count_;
        if (!process_request(stream, last, closed, limit) || stream.overran()) {
            break;
        }
    }
    ::shutdown(sock, SHUT_RDWR);
    ::close(sock);
    return true;
}

} // namespace zentab::board

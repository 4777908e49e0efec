#pragma once

#include "faults.h"

#include <httplib.h>

namespace zentab::board {

// An httplib server that runs its own connection loop: every connection on a thread of its own,
// every request read within a deadline and a byte budget, and a dropped request closing its
// connection before any answer, on fresh and reused connections alike.
class FaultingServer : public httplib::Server {
public:
    explicit FaultingServer(Faults& faults);

    // Binds host:port (0 picks a free port); the bound port, or -1.
    int bindTo(const std::string& host, int port);

    // Stops serving; unlike stop() it also works before serving has begun.
    void halt();

private:
    bool process_and_close_socket(socket_t sock) override;
    // Waits for the next request; false when the connection idled out or closed, or the server
    // stops.
    bool waitForRequest(socket_t sock) const;

    Faults& faults_;
};

} // namespace zentab::board

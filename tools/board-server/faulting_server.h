#pragma once

#include "faults.h"

#include <httplib.h>

namespace zentab::board {

// An httplib server that runs its own keep-alive loop, so that a dropped request can close
// its connection before any answer is written, on fresh and reused connections alike.
class FaultingServer : public httplib::Server {
public:
    explicit FaultingServer(Faults& faults) : faults_(faults) {}

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

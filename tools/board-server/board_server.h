#pragma once

#include "board_model.h"
#include "faulting_server.h"
#include "faults.h"
#include "forum_service.h"

#include <filesystem>
#include <optional>

namespace zentab::board {

// The forum board double on 127.0.0.1: forum pages for ordinary and proxy-form request lines,
// routed by host name "NAME.proboards.com" (any other host gets the first forum), and the
// loopback-only fault control at /_control/faults.
class BoardServer {
public:
    BoardServer(BoardState state, std::optional<std::filesystem::path> statePath);

    // Binds 127.0.0.1:port (0 picks a free port); the bound port, or -1.
    int bind(int port);
    // Serves until stop(); false when it could not serve.
    bool serve();
    void stop();

private:
    void handle(const httplib::Request& request, const httplib::Params& params,
                httplib::Response& response);
    void control(const httplib::Request& request, const httplib::Params& params,
                 httplib::Response& response);

    Faults faults_;
    ForumService forum_;
    FaultingServer http_;
};

} // namespace zentab::board

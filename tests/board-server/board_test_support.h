#pragma once

#include "board_model.h"
#include "board_server.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <httplib.h>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <thread>

namespace zentab::board::testing {

inline constexpr const char* kForumHost = "testbank.proboards.com";

// Forum "testbank", board "accounts", users admin, teller, member and other (passwords equal
// the names). Thread n (1..threads) holds an account post; thread 1 belongs to member, the
// rest to teller; lower numbers are more recent.
nlohmann::json smallForum(int threads);
BoardState smallState(int threads);

// The board server serving on an ephemeral loopback port for the lifetime of the object.
class TestServer {
public:
    explicit TestServer(BoardState state, std::optional<std::filesystem::path> statePath = {});
    ~TestServer();

    int port() const { return port_; }
    // Sends a fault control request; true when the server accepted it.
    bool faults(const std::string& query) const;

private:
    BoardServer server_;
    int port_;
    std::thread thread_;
};

// A client that addresses the forum by its host name and keeps the session cookie.
class ForumClient {
public:
    explicit ForumClient(int port, std::string host = kForumHost);

    httplib::Result get(const std::string& query);
    httplib::Result post(const httplib::Params& form);
    // Logs in; true when the server set a session.
    bool login(const std::string& user);
    // The page's body; empty unless it was answered with 200.
    std::string page(const std::string& query);

private:
    httplib::Result keepCookie(httplib::Result result);

    httplib::Client client_;
    std::string host_;
};

std::size_t countOf(const std::string& text, const std::string& part);

} // namespace zentab::board::testing

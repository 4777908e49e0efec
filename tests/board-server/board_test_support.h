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
    explicit TestServer(BoardState state, std::optional<std::filesystem::path> statePath = {})
        : server_(std::move(state), std::move(statePath)), port_(server_.bind(0)),
          thread_([this] { server_.serve(); }) {}
    ~TestServer() {
        server_.stop();
        thread_.join();
    }

    int port() const { return port_; }
    // Sends a fault control request; true when the server accepted it.
    bool faults(const std::string& query) const {
        const auto result = httplib::Client("127.0.0.1", port_).Get("/_control/faults?" + query);
        return result && result->status == 200;
    }

private:
    BoardServer server_;
    int port_;
    std::thread thread_;
};

// A client that addresses the forum by its host name and keeps the session cookie.
class ForumClient {
public:
    explicit ForumClient(int port, std::string host = kForumHost)
        : client_("127.0.0.1", port), host_(std::move(host)) {
        client_.set_read_timeout(10, 0);
        client_.set_default_headers({{"Host", host_}});
    }

    httplib::Result get(const std::string& query) {
        return keepCookie(client_.Get("/index.cgi?" + query));
    }
    httplib::Result post(const httplib::Params& form) {
        return keepCookie(client_.Post("/index.cgi", form));
    }
    // Logs in; true when the server set a session.
    bool login(const std::string& user) {
        const auto result = post(
            {{"action", "login2"}, {"board", "accounts"}, {"username", user}, {"password", user}});
        return result && result->status == 303 && result->has_header("Set-Cookie");
    }
    // The page's body; empty unless it was answered with 200.
    std::string page(const std::string& query) {
        const auto result = get(query);
        return result && result->status == 200 ? result->body : std::string();
    }

private:
    httplib::Result keepCookie(httplib::Result result) {
        if (result && result->has_header("Set-Cookie")) {
            const auto header = result->get_header_value("Set-Cookie");
            client_.set_default_headers(
                {{"Host", host_}, {"Cookie", header.substr(0, header.find(';'))}});
        }
        return result;
    }

    httplib::Client client_;
    std::string host_;
};

std::size_t countOf(const std::string& text, const std::string& part);

} // namespace zentab::board::testing

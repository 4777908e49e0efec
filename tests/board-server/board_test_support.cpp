#include "board_test_support.h"

#include "board_json.h"

namespace zentab::board::testing {

nlohmann::json smallForum(int threads) {
    auto forum = nlohmann::json::parse(R"({"forums": [{"name": "testbank", "title": "Test Bank",
      "boards": [{"id": "accounts", "title": "Accounts", "threads": []}], "users": [
      {"username": "admin", "password": "admin", "display_name": "The admin", "role": "admin"},
      {"username": "teller", "password": "teller", "display_name": "The teller", "role": "teller"},
      {"username": "member", "password": "member", "display_name": "The member", "role": "member"},
      {"username": "other", "password": "other", "display_name": "Zed Other", "role": "member"}
    ]}]})");
    const auto now = unixNow();
    for (int n = 1; n <= threads; ++n) {
        const auto number = std::to_string(n);
        forum["forums"][0]["boards"][0]["threads"].push_back(
            {{"id", n},
             {"posts",
              {{{"id", n},
                {"author", n == 1 ? "member" : "teller"},
                {"subject", "Account " + number},
                {"body", "Galleons: " + number + "\r\nSickles: 1\r\nKnuts: 2\r\n"},
                {"time", now - n * 3600}}}}});
    }
    return forum;
}

BoardState smallState(int threads) {
    return stateFromJson(smallForum(threads), unixNow());
}

TestServer::TestServer(BoardState state, std::optional<std::filesystem::path> statePath)
    : server_(std::move(state), std::move(statePath)), port_(server_.bind(0)),
      thread_([this] { server_.serve(); }) {}

TestServer::~TestServer() {
    server_.stop();
    thread_.join();
}

bool TestServer::faults(const std::string& query) const {
    const auto result = httplib::Client("127.0.0.1", port_).Get("/_control/faults?" + query);
    return result && result->status == 200;
}

ForumClient::ForumClient(int port, std::string host)
    : client_("127.0.0.1", port), host_(std::move(host)) {
    client_.set_read_timeout(10, 0);
    client_.set_default_headers({{"Host", host_}});
}

httplib::Result ForumClient::keepCookie(httplib::Result result) {
    if (result && result->has_header("Set-Cookie")) {
        const auto header = result->get_header_value("Set-Cookie");
        client_.set_default_headers(
            {{"Host", host_}, {"Cookie", header.substr(0, header.find(';'))}});
    }
    return result;
}

httplib::Result ForumClient::get(const std::string& query) {
    return keepCookie(client_.Get("/index.cgi?" + query));
}

httplib::Result ForumClient::post(const httplib::Params& form) {
    return keepCookie(client_.Post("/index.cgi", form));
}

bool ForumClient::login(const std::string& user) {
    const auto result =
        post({{"action", "login2"}, {"board", "accounts"}, {"username", user}, {"password", user}});
    return result && result->status == 303 && result->has_header("Set-Cookie");
}

std::string ForumClient::page(const std::string& query) {
    const auto result = get(query);
    return result && result->status == 200 ? result->body : std::string();
}

std::size_t countOf(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

} // namespace zentab::board::testing

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
    auto& list = forum["forums"][0]["boards"][0]["threads"];
    for (int n = 1; n <= threads; ++n) {
        const auto number = std::to_string(n);
        nlohmann::json post = {{"id", n}, {"author", n == 1 ? "member" : "teller"}};
        post["time"] = now - n * 3600;
        post["subject"] = "Account " + number;
        post["body"] = "Galleons: " + number + "\r\nSickles: 1\r\nKnuts: 2\r\n";
        list.push_back({{"id", n}, {"posts", nlohmann::json::array({post})}});
    }
    return forum;
}

BoardState smallState(int threads) {
    return stateFromJson(smallForum(threads), unixNow());
}

std::size_t countOf(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

} // namespace zentab::board::testing

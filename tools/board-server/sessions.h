#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace zentab::board {

// Login sessions, kept in memory only: a restarted server has everyone logged out.
class Sessions {
public:
    // A fresh random token for the user of the forum.
    std::string open(const std::string& forum, const std::string& username);
    // The user of the token, when it belongs to this forum.
    std::optional<std::string> user(std::string_view token, std::string_view forum) const;
    void close(std::string_view token);

private:
    struct Session {
        std::string forum;
        std::string username;
    };
    mutable std::mutex mutex_;
    std::map<std::string, Session, std::less<>> sessions_;
};

} // namespace zentab::board

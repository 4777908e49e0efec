#include "sessions.h"

#include <random>

namespace zentab::board {

namespace {

std::string randomToken() {
    static constexpr char kHex[] = "0123456789abcdef";
    std::random_device device;
    std::string token;
    for (int i = 0; i < 8; ++i) {
        auto word = device();
        for (int k = 0; k < 4; ++k, word >>= 8) {
            token += kHex[(word >> 4) & 0xF];
            token += kHex[word & 0xF];
        }
    }
    return token;
}

} // namespace

std::string Sessions::open(const std::string& forum, const std::string& username) {
    auto token = randomToken();
    std::lock_guard lock(mutex_);
    sessions_[token] = Session{forum, username};
    return token;
}

std::optional<std::string> Sessions::user(std::string_view token, std::string_view forum) const {
    std::lock_guard lock(mutex_);
    const auto found = sessions_.find(token);
    if (found == sessions_.end() || found->second.forum != forum) {
        return std::nullopt;
    }
    return found->second.username;
}

void Sessions::close(std::string_view token) {
    std::lock_guard lock(mutex_);
    if (const auto found = sessions_.find(token); found != sessions_.end()) {
        sessions_.erase(found);
    }
}

} // namespace zentab::board

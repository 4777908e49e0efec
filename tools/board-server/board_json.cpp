#include "board_json.h"

#include "server_limits.h"

#include <fstream>
#include <regex>
#include <set>
#include <stdexcept>

namespace zentab::board {

using nlohmann::json;

namespace {

UnixTime readTime(const json& value, UnixTime now) {
    if (value.is_number_integer()) {
        return value.get<UnixTime>();
    }
    static const std::regex relative(R"(-(\d{1,4})d (\d{1,2}):(\d{2}))");
    std::smatch match;
    const auto text = value.get<std::string>();
    if (!std::regex_match(text, match, relative)) {
        throw std::runtime_error("bad time \"" + text + "\"");
    }
    return std::min(
        now, localTimeDaysAgo(now, std::stoi(match[1]), std::stoi(match[2]), std::stoi(match[3])));
}

// Read wide, so that a number past int is refused instead of wrapping round.
int postNumber(const json& value) {
    const auto number = value.get<std::int64_t>();
    if (number < 1 || number > kLastPostNumber) {
        throw std::runtime_error("post number " + std::to_string(number) + " is out of range");
    }
    return static_cast<int>(number);
}

User readUser(const json& j) {
    const auto role = roleFromName(j.value("role", "member"));
    if (!role) {
        throw std::runtime_error("unknown role of user " + j.at("username").get<std::string>());
    }
    return User{j.at("username"), j.at("password"),
                j.value("display_name", j.at("username").get<std::string>()), *role};
}

Post readPost(const json& j, UnixTime now) {
    Post post{postNumber(j.at("id")),      j.at("author"), j.at("subject"), j.at("body"),
              readTime(j.at("time"), now), std::nullopt};
    if (j.contains("edited")) {
        const auto& edit = j.at("edited");
        post.lastEdit = PostEdit{edit.at("by"), readTime(edit.at("time"), now)};
    }
    return post;
}

Thread readThread(const json& j, UnixTime now, std::set<int>& ids) {
    Thread thread{postNumber(j.at("id")), {}};
    for (const auto& post : j.at("posts")) {
        thread.posts.push_back(readPost(post, now));
        if (!ids.insert(thread.posts.back().id).second) {
            throw std::runtime_error("duplicate post number " +
                                     std::to_string(thread.posts.back().id));
        }
    }
    if (thread.posts.empty() || thread.posts.front().id != thread.id) {
        throw std::runtime_error("thread " + std::to_string(thread.id) +
                                 " must start with a post of its own number");
    }
    return thread;
}

Forum readForum(const json& j, UnixTime now) {
    Forum forum{j.at("name"), j.at("title"), {}, {}, 1};
    for (const auto& user : j.at("users")) {
        forum.users.push_back(readUser(user));
    }
    std::set<int> ids;
    for (const auto& b : j.at("boards")) {
        Board board{b.at("id"), b.at("title"), b.value("description", ""), {}};
        for (const auto& thread : b.at("threads")) {
            board.threads.push_back(readThread(thread, now, ids));
        }
        forum.boards.push_back(std::move(board));
    }
    const std::int64_t firstFree = ids.empty() ? 1 : std::int64_t{*ids.rbegin()} + 1;
    const auto stored = j.value("next_id", std::int64_t{1});
    if (stored < 1 || stored > std::int64_t{kLastPostNumber} + 1) {
        throw std::runtime_error("next_id " + std::to_string(stored) + " is out of range");
    }
    forum.nextId = std::max(firstFree, stored);
    return forum;
}

json postToJson(const Post& post) {
    json j = {{"id", post.id},
              {"author", post.author},
              {"subject", post.subject},
              {"body", post.body},
              {"time", post.time}};
    if (post.lastEdit) {
        j["edited"] = {{"by", post.lastEdit->editor}, {"time", post.lastEdit->time}};
    }
    return j;
}

json forumToJson(const Forum& forum) {
    json users = json::array();
    for (const auto& u : forum.users) {
        users.push_back({{"username", u.username},
                         {"password", u.password},
                         {"display_name", u.displayName},
                         {"role", roleName(u.role)}});
    }
    json boards = json::array();
    for (const auto& board : forum.boards) {
        json threads = json::array();
        for (const auto& thread : board.threads) {
            json posts = json::array();
            for (const auto& post : thread.posts) {
                posts.push_back(postToJson(post));
            }
            threads.push_back({{"id", thread.id}, {"posts", posts}});
        }
        boards.push_back({{"id", board.id},
                          {"title", board.title},
                          {"description", board.description},
                          {"threads", threads}});
    }
    return {{"name", forum.name},
            {"title", forum.title},
            {"next_id", forum.nextId},
            {"users", users},
            {"boards", boards}};
}

} // namespace

BoardState stateFromJson(const json& document, UnixTime now) {
    BoardState state;
    for (const auto& forum : document.at("forums")) {
        state.forums.push_back(readForum(forum, now));
    }
    if (state.forums.empty()) {
        throw std::runtime_error("no forum defined");
    }
    return state;
}

json stateToJson(const BoardState& state) {
    json forums = json::array();
    for (const auto& forum : state.forums) {
        forums.push_back(forumToJson(forum));
    }
    return {{"forums", forums}};
}

BoardState loadStateFile(const std::filesystem::path& path, UnixTime now) {
    std::ifstream in(path);
    if (!in) {
        throw std::runtime_error("cannot read " + path.string());
    }
    return stateFromJson(json::parse(in), now);
}

} // namespace zentab::board

#include "board_json.h"

#include "atomic_file.h"
#include "json_field.h"
#include "server_limits.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <regex>
#include <set>
#include <stdexcept>
#include <unistd.h>

namespace zentab::board {

using nlohmann::json;

namespace {

UnixTime readTime(const JsonField& field, UnixTime now) {
    if (field.isWholeNumber()) {
        return field.number(std::numeric_limits<UnixTime>::min(),
                            std::numeric_limits<UnixTime>::max());
    }
    static const std::regex relative(R"(-(\d{1,4})d (\d{1,2}):(\d{2}))");
    std::smatch match;
    const auto text = field.text();
    if (!std::regex_match(text, match, relative)) {
        field.fail("\"" + text + "\" is neither Unix seconds nor \"-Nd HH:MM\"");
    }
    return std::min(
        now, localTimeDaysAgo(now, std::stoi(match[1]), std::stoi(match[2]), std::stoi(match[3])));
}

int postNumber(const JsonField& field) {
    return static_cast<int>(field.number(1, kLastPostNumber));
}

User readUser(const JsonField& j) {
    const auto roleField = j.find("role");
    const auto role = roleField ? roleFromName(roleField->text()) : Role::Member;
    if (!role) {
        roleField->fail("unknown role \"" + roleField->text() + "\"");
    }
    const auto username = j["username"].text();
    return User{username, j["password"].text(), j.textOr("display_name", username), *role};
}

Post readPost(const JsonField& j, UnixTime now) {
    Post post{postNumber(j["id"]), j["author"].text(),       j["subject"].text(),
              j["body"].text(),    readTime(j["time"], now), std::nullopt};
    if (const auto edit = j.find("edited")) {
        post.lastEdit = PostEdit{(*edit)["by"].text(), readTime((*edit)["time"], now)};
    }
    return post;
}

Thread readThread(const JsonField& j, UnixTime now, std::set<int>& ids) {
    Thread thread{postNumber(j["id"]), {}};
    for (const auto& post : j["posts"].elements()) {
        thread.posts.push_back(readPost(post, now));
        if (!ids.insert(thread.posts.back().id).second) {
            post["id"].fail("post number " + std::to_string(thread.posts.back().id) +
                            " is used twice");
        }
    }
    if (thread.posts.empty() || thread.posts.front().id != thread.id) {
        j.fail("must start with a post of its own number");
    }
    return thread;
}

Forum readForum(const JsonField& j, UnixTime now) {
    Forum forum{j["name"].text(), j["title"].text(), {}, {}, 1};
    for (const auto& user : j["users"].elements()) {
        forum.users.push_back(readUser(user));
    }
    std::set<int> ids;
    for (const auto& b : j["boards"].elements()) {
        Board board{b["id"].text(), b["title"].text(), b.textOr("description", ""), {}};
        for (const auto& thread : b["threads"].elements()) {
            board.threads.push_back(readThread(thread, now, ids));
        }
        forum.boards.push_back(std::move(board));
    }
    const std::int64_t firstFree = ids.empty() ? 1 : std::int64_t{*ids.rbegin()} + 1;
    const auto stored = j.find("next_id");
    forum.nextId =
        std::max(firstFree, stored ? stored->number(1, std::int64_t{kLastPostNumber} + 1) : 1);
    return forum;
}

// Throws std::runtime_error with the reason.
std::string readWholeFile(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        throw std::runtime_error(std::strerror(errno));
    }
    std::string text;
    std::array<char, 1 << 16> buffer;
    ssize_t got = 0;
    while ((got = ::read(fd, buffer.data(), buffer.size())) > 0 || (got < 0 && errno == EINTR)) {
        text.append(buffer.data(), static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
    }
    const int error = errno;
    ::close(fd);
    if (got < 0) {
        throw std::runtime_error(std::strerror(error));
    }
    return text;
}

// Throws std::runtime_error with the line and column where the text stops being JSON.
json parseDocument(const std::string& text) {
    try {
        return json::parse(text);
    } catch (const json::parse_error& e) {
        // e.byte counts the characters read, the offending one last.
        const auto offending = std::min<std::size_t>(e.byte == 0 ? 0 : e.byte - 1, text.size());
        const auto before = std::string_view(text).substr(0, offending);
        const auto line = 1 + std::count(before.begin(), before.end(), '\n');
        const auto lineStart = before.rfind('\n');
        const auto column =
            offending - (lineStart == std::string_view::npos ? 0 : lineStart + 1) + 1;
        throw std::runtime_error("not valid JSON at line " + std::to_string(line) + ", column " +
                                 std::to_string(column));
    }
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
    const JsonField root(document, "");
    BoardState state;
    for (const auto& forum : root["forums"].elements()) {
        state.forums.push_back(readForum(forum, now));
    }
    if (state.forums.empty()) {
        root["forums"].fail("no forum defined");
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
    try {
        return stateFromJson(parseDocument(readWholeFile(path)), now);
    } catch (const std::runtime_error& e) {
        throw std::runtime_error(path.string() + ": " + e.what());
    }
}

bool saveStateFile(const std::filesystem::path& path, const BoardState& state) {
    return writeFileAtomically(path, stateToJson(state).dump(1));
}

} // namespace zentab::board

#pragma once

#include "board_model.h"
#include "sessions.h"

#include <filesystem>
#include <functional>
#include <httplib.h>
#include <mutex>
#include <optional>
#include <string>

namespace zentab::board {

struct ForumRequest {
    bool post = false;        // POST rather than GET
    std::string forumName;    // empty: the first forum
    httplib::Params params;   // query and form fields together
    std::string sessionToken; // from the session cookie, may be empty
};

struct ForumReply {
    std::string html;                      // the page, when not redirecting
    std::string redirect;                  // "index.cgi?..." to send the browser to instead
    std::optional<std::string> setSession; // new session token; empty to log out
};

// The forum itself: pages, forms, rights and the state they change. Safe to call from many
// threads; each change is written to the state file, when there is one, before it counts.
class ForumService {
public:
    ForumService(BoardState state, std::optional<std::filesystem::path> statePath);

    ForumReply handle(const ForumRequest& request);

private:
    struct Call;

    ForumReply dispatch(Call& call);
    ForumReply boardIndex(Call& call);
    ForumReply display(Call& call);
    ForumReply login(Call& call);
    ForumReply logout(Call& call);
    ForumReply postForm(Call& call);
    ForumReply savePost(Call& call);
    ForumReply modifyForm(Call& call);
    ForumReply saveModify(Call& call);
    ForumReply deletePost(Call& call);
    ForumReply members(Call& call);
    ForumReply profile(Call& call);

    // Applies the change; with a state file it stands only once written, else it is undone.
    bool commit(Forum& forum, const std::function<void()>& change);

    std::mutex mutex_;
    BoardState state_;
    Sessions sessions_;
    std::optional<std::filesystem::path> statePath_;
};

} // namespace zentab::board

#pragma once
// What the board server's own tests read from its answers and send to it.
#include "board_test_support.h"

#include <unistd.h>

namespace zentab::board::testing {

inline std::string titleOf(const std::string& html) {
    const auto start = html.find("<title>"), end = html.find("</title>");
    return end == std::string::npos ? "" : html.substr(start + 7, end - start - 7);
}

// The forum refuses with its error page, answered with 200.
inline bool refused(const httplib::Result& result) {
    return result && result->status == 200 &&
           titleOf(result->body).find("An Error Has Occurred") != std::string::npos;
}

// The number following "thread=" in a redirect address; 0 without one.
inline int threadOfLocation(const httplib::Result& result) {
    const auto location = result ? result->get_header_value("Location") : std::string();
    const auto at = location.find("thread=");
    return at == std::string::npos ? 0 : std::stoi(location.substr(at + 7));
}

// Whether text holds every part; a failure names the first one missing.
template <typename... Parts>
::testing::AssertionResult contains(const std::string& text, const Parts&... parts) {
    for (const auto& part : {std::string(parts)...})
        if (text.find(part) == std::string::npos)
            return ::testing::AssertionFailure() << "no \"" << part << "\" in " << text.size();
    return ::testing::AssertionSuccess() << "holds \"" << (std::string(parts) + ...) << "\"";
}

inline std::string accountsQuery(const std::string& action, int thread, int post = 0) {
    return "board=accounts&action=" + action + "&thread=" + std::to_string(thread) +
           (post == 0 ? "" : "&post=" + std::to_string(post));
}

// A form of board accounts: post2 starts a thread (thread 0) or replies, modifypost2 edits a
// post; thread and post 0 are left out.
inline httplib::Params postForm(const std::string& action, int thread, int post,
                                const std::string& subject, const std::string& message) {
    httplib::Params form = {{"action", action}, {"subject", subject}, {"message", message}};
    form.emplace("board", "accounts");
    form.emplace("nextaction", "post");
    for (const auto& [name, number] : {std::pair{"thread", thread}, std::pair{"post", post}})
        if (number != 0)
            form.emplace(name, std::to_string(number));
    return form;
}

// A folder of the running test's own, empty at first and removed with the object.
struct ScratchFolder {
    ScratchFolder() { std::filesystem::create_directories(path); }
    ~ScratchFolder() { std::filesystem::remove_all(path); }
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("zentab-board-" + std::to_string(::getpid()) + "-" +
         ::testing::UnitTest::GetInstance()->current_test_info()->name());
};

} // namespace zentab::board::testing

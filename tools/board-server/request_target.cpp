#include "request_target.h"

#include "text.h"

namespace zentab::board {

namespace {

constexpr std::string_view kServiceDomain = ".proboards.com";

// Only plain host names and IP literals go back out in redirect addresses.
std::string cleanAuthority(std::string_view authority) {
    const auto lower = toLower(authority);
    const bool clean =
        lower.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789.-:[]") == std::string::npos;
    return clean ? lower : std::string();
}

std::string hostOf(std::string_view authority) {
    if (authority.starts_with('[')) {
        return std::string(authority.substr(0, authority.find(']') + 1));
    }
    return std::string(authority.substr(0, authority.find(':')));
}

} // namespace

RequestTarget parseRequestTarget(std::string_view target, std::string_view hostHeader) {
    RequestTarget result;
    auto rest = target;
    if (startsWithNoCase(target, "http://")) {
        result.absolute = true;
        rest.remove_prefix(7);
        const auto pathStart = rest.find_first_of("/?");
        result.authority = cleanAuthority(rest.substr(0, pathStart));
        rest = pathStart == std::string_view::npos ? std::string_view("/") : rest.substr(pathStart);
    } else {
        result.authority = cleanAuthority(hostHeader);
    }
    result.host = hostOf(result.authority);
    const auto path = rest.substr(0, rest.find('?'));
    result.path = path.empty() ? std::string(1, '/') : std::string(path);
    return result;
}

std::string forumNameOfHost(std::string_view host) {
    if (host.size() <= kServiceDomain.size() || !host.ends_with(kServiceDomain)) {
        return {};
    }
    return std::string(host.substr(0, host.size() - kServiceDomain.size()));
}

} // namespace zentab::board

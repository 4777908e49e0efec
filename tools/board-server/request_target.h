#pragma once

#include <string>
#include <string_view>

namespace zentab::board {

struct RequestTarget {
    bool absolute = false; // proxy-form request line: "GET http://host/path HTTP/1.1"
    std::string authority; // host[:port] as addressed, lower case; empty when unusable
    std::string host;      // authority without the port
    std::string path;      // without the query
};

RequestTarget parseRequestTarget(std::string_view target, std::string_view hostHeader);

// NAME of "NAME.proboards.com"; empty for every other host.
std::string forumNameOfHost(std::string_view host);

} // namespace zentab::board

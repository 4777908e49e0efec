#include "board_server.h"

#include "pages.h"
#include "request_target.h"
#include "server_limits.h"
#include "text.h"

#include <nlohmann/json.hpp>
#include <thread>

namespace zentab::board {

namespace {

constexpr const char* kHtml = "text/html; charset=UTF-8";
constexpr std::string_view kSessionCookie = "zentab_board_session";

std::string sessionToken(const httplib::Request& request) {
    const auto cookies = request.get_header_value("Cookie");
    std::string_view rest = cookies;
    while (!rest.empty()) {
        const auto end = rest.find(';');
        const auto pair = trim(rest.substr(0, end));
        if (pair.size() > kSessionCookie.size() && pair.starts_with(kSessionCookie) &&
            pair[kSessionCookie.size()] == '=') {
            return pair.substr(kSessionCookie.size() + 1);
        }
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    return {};
}

// httplib itself refuses form bodies above 8 KiB, and an account post with a long
// transaction list is larger; so POST bodies are read here. Nothing when the body could not
// be read whole (too large, or the connection broke).
std::optional<httplib::Params> formParams(const httplib::Request& request,
                                          const httplib::ContentReader& reader) {
    std::string body;
    const bool complete = reader([&](const char* data, std::size_t length) {
        if (length > kMaxBodyBytes - body.size()) {
            return false;
        }
        body.append(data, length);
        return true;
    });
    if (!complete) {
        return std::nullopt;
    }
    auto params = request.params;
    if (startsWithNoCase(request.get_header_value("Content-Type"),
                         "application/x-www-form-urlencoded")) {
        httplib::detail::parse_query_text(body, params);
    }
    return params;
}

// httplib reads the body of any other method whole before it looks for a handler.
httplib::Server::HandlerResponse refuseOtherMethods(const httplib::Request& request,
                                                    httplib::Response& response) {
    if (request.method == "GET" || request.method == "HEAD" || request.method == "POST") {
        return httplib::Server::HandlerResponse::Unhandled;
    }
    response.status = 405;
    response.set_header("Allow", "GET, HEAD, POST");
    response.set_content("Method Not Allowed\n", "text/plain");
    return httplib::Server::HandlerResponse::Handled;
}

bool fromLoopback(const httplib::Request& request) {
    return request.remote_addr.starts_with("127.") || request.remote_addr == "::1" ||
           request.remote_addr.starts_with("::ffff:127.");
}

} // namespace

BoardServer::BoardServer(BoardState state, std::optional<std::filesystem::path> statePath)
    : forum_(std::move(state), std::move(statePath)), http_(faults_) {
    http_.set_pre_routing_handler(refuseOtherMethods);
    http_.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
        handle(request, request.params, response);
    });
    http_.Post(".*", [this](const httplib::Request& request, httplib::Response& response,
                            const httplib::ContentReader& reader) {
        if (const auto params = formParams(request, reader)) {
            handle(request, *params, response);
        } else {
            response.status = 413;
            response.set_content("The request body was too large or incomplete.\n", "text/plain");
        }
    });
}

int BoardServer::bind(int port) {
    return http_.bindTo("127.0.0.1", port);
}

bool BoardServer::serve() {
    return http_.listen_after_bind();
}

void BoardServer::stop() {
    http_.halt();
}

void BoardServer::handle(const httplib::Request& request, const httplib::Params& params,
                         httplib::Response& response) {
    const auto target = parseRequestTarget(request.target, request.get_header_value("Host"));
    if (!target.absolute && target.path == "/_control/faults") {
        control(request, params, response);
        return;
    }
    if (const auto delay = faults_.slowMs(); delay > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
    }
    if (target.path != "/" && target.path != "/index.cgi") {
        response.status = 404;
        response.set_content("Not Found\n", "text/plain");
        return;
    }
    const auto action = params.find("action");
    if (faults_.takeOverload(action == params.end() ? std::string() : action->second)) {
        response.set_content(overloadPage(), kHtml);
        return;
    }
    const auto reply = forum_.handle(ForumRequest{
        request.method == "POST", forumNameOfHost(target.host), params, sessionToken(request)});
    if (reply.setSession) {
        response.set_header("Set-Cookie", std::string(kSessionCookie) + "=" + *reply.setSession +
                                              "; Path=/; HttpOnly" +
                                              (reply.setSession->empty() ? "; Max-Age=0" : ""));
    }
    if (!reply.redirect.empty()) {
        const auto origin = target.authority.empty() ? "" : "http://" + target.authority;
        response.set_redirect(origin + "/" + reply.redirect, 303);
        return;
    }
    response.set_content(reply.html, kHtml);
}

void BoardServer::control(const httplib::Request& request, const httplib::Params& params,
                          httplib::Response& response) {
    if (!fromLoopback(request)) {
        response.status = 403;
        response.set_content("Forbidden\n", "text/plain");
        return;
    }
    const auto settings = faults_.apply(params);
    if (!settings) {
        response.status = 400;
        response.set_content("reset, overload, slow_ms and drop take whole numbers from 0 to " +
                                 std::to_string(kMaxFaultValue) +
                                 ", overload_action a word of letters and digits\n",
                             "text/plain");
        return;
    }
    const nlohmann::json state = {{"overload", settings->overload},
                                  {"slow_ms", settings->slowMs},
                                  {"drop", settings->drop},
                                  {"overload_action", settings->overloadAction}};
    response.set_content(state.dump() + "\n", "application/json");
}

} // namespace zentab::board

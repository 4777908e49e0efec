#include "markup.h"

#include "text.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace zentab::board {

namespace {

struct Tag {
    std::string name;
    std::string arg;
    bool closing = false;
    std::size_t length = 0;
};

constexpr std::string_view kKnownTags[] = {"b",    "i",   "u",    "s",     "color", "size",
                                           "font", "url", "list", "quote", "*"};

std::optional<Tag> readTag(std::string_view text, std::size_t at) {
    const auto end = text.find(']', at);
    if (end == std::string_view::npos) {
        return std::nullopt;
    }
    auto inner = text.substr(at + 1, end - at - 1);
    Tag tag;
    tag.length = end - at + 1;
    if (!inner.empty() && inner.front() == '/') {
        tag.closing = true;
        inner.remove_prefix(1);
    }
    const auto eq = inner.find('=');
    tag.name = toLower(inner.substr(0, eq));
    if (eq != std::string_view::npos) {
        if (tag.closing) {
            return std::nullopt;
        }
        tag.arg = trim(inner.substr(eq + 1));
    }
    if (std::find(std::begin(kKnownTags), std::end(kKnownTags), tag.name) == std::end(kKnownTags)) {
        return std::nullopt;
    }
    return tag;
}

bool allOf(std::string_view text, std::string_view allowed, std::size_t maxLength) {
    return !text.empty() && text.size() <= maxLength &&
           text.find_first_not_of(allowed) == std::string_view::npos;
}

constexpr std::string_view kLetters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr std::string_view kHexDigits = "0123456789abcdefABCDEF";

bool safeColor(std::string_view color) {
    if (!color.empty() && color.front() == '#') {
        return color.size() == 4 || color.size() == 7 ? allOf(color.substr(1), kHexDigits, 6)
                                                      : false;
    }
    return allOf(color, kLetters, 20);
}

bool safeUrl(std::string_view url) {
    if (url.empty() || std::any_of(url.begin(), url.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x20; })) {
        return false;
    }
    const auto colon = url.find(':');
    const auto delimiter = url.find_first_of("/?#");
    if (colon == std::string_view::npos ||
        (delimiter != std::string_view::npos && delimiter < colon)) {
        return true; // relative address, no scheme
    }
    const auto scheme = toLower(url.substr(0, colon));
    return scheme == "http" || scheme == "https" || scheme == "mailto";
}

std::string link(std::string_view url) {
    return "<a href=\"" + htmlEscape(trim(url)) + "\" target=\"_blank\">";
}

// Opening HTML of a tag, or nothing when its argument is missing where needed or unsafe.
std::optional<std::string> openingHtml(const Tag& tag) {
    const auto& n = tag.name;
    const auto& a = tag.arg;
    if (n == "b" || n == "i" || n == "u" || n == "s") {
        return a.empty() ? std::optional<std::string>("<" + n + ">") : std::nullopt;
    }
    if (n == "list") {
        return a.empty() ? std::optional<std::string>("<ul>") : std::nullopt;
    }
    if (n == "quote") {
        return a.empty() ? std::optional<std::string>("<blockquote>") : std::nullopt;
    }
    if (n == "color" && safeColor(a)) {
        return "<font color=\"" + a + "\">";
    }
    if (n == "size" && a.size() == 1 && a[0] >= '1' && a[0] <= '7') {
        return "<font size=\"" + a + "\">";
    }
    if (n == "font" && allOf(a, std::string(kLetters) + "0123456789 -", 40)) {
        return "<font face=\"" + a + "\">";
    }
    if (n == "url" && safeUrl(a)) {
        return link(a);
    }
    return std::nullopt;
}

std::string closingHtml(std::string_view name) {
    if (name == "color" || name == "size" || name == "font") {
        return "</font>";
    }
    if (name == "url") {
        return "</a>";
    }
    if (name == "list") {
        return "</ul>";
    }
    if (name == "quote") {
        return "</blockquote>";
    }
    return "</" + std::string(name) + ">";
}

class Renderer {
public:
    explicit Renderer(std::string_view text) : text_(text) {}

    std::string run() {
        while (at_ < text_.size()) {
            const char c = text_[at_];
            if (c == '\r' || c == '\n') {
                out_ += "<br>";
                at_ += (c == '\r' && at_ + 1 < text_.size() && text_[at_ + 1] == '\n') ? 2 : 1;
            } else if (c != '[' || !applyTag()) {
                const auto next = text_.find_first_of("[\r\n", at_ + 1);
                out_ += htmlEscape(text_.substr(at_, next - at_));
                at_ = std::min(next, text_.size());
            }
        }
        while (!open_.empty()) {
            out_ += closingHtml(open_.back());
            open_.pop_back();
        }
        return std::move(out_);
    }

private:
    bool applyTag() {
        const auto tag = readTag(text_, at_);
        if (!tag) {
            return false;
        }
        if (tag->closing) {
            return close(*tag);
        }
        if (tag->name == "*") {
            if (std::find(open_.begin(), open_.end(), "list") == open_.end() || !tag->arg.empty()) {
                return false;
            }
            out_ += "<li>";
        } else if (tag->name == "url" && tag->arg.empty()) {
            return bareLink(*tag);
        } else {
            const auto html = openingHtml(*tag);
            if (!html) {
                return false;
            }
            out_ += *html;
            open_.push_back(tag->name);
        }
        at_ += tag->length;
        return true;
    }

    bool close(const Tag& tag) {
        const auto found = std::find(open_.rbegin(), open_.rend(), tag.name);
        if (found == open_.rend()) {
            return false;
        }
        const auto keep = static_cast<std::size_t>(open_.rend() - found) - 1;
        while (open_.size() > keep) {
            out_ += closingHtml(open_.back());
            open_.pop_back();
        }
        at_ += tag.length;
        return true;
    }

    // [url]address[/url]: the address is also the link text.
    bool bareLink(const Tag& tag) {
        const auto start = at_ + tag.length;
        const auto end = toLower(text_.substr(start)).find("[/url]");
        if (end == std::string::npos) {
            return false;
        }
        const auto address = text_.substr(start, end);
        if (!safeUrl(trim(address))) {
            return false;
        }
        out_ += link(address) + htmlEscape(address) + "</a>";
        at_ = start + end + 6;
        return true;
    }

    std::string_view text_;
    std::size_t at_ = 0;
    std::string out_;
    std::vector<std::string> open_;
};

} // namespace

std::string renderMarkup(std::string_view text) {
    return Renderer(text).run();
}

} // namespace zentab::board

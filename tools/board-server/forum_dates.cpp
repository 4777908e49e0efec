#include "forum_dates.h"

#include <chrono>
#include <ctime>

namespace zentab::board {

namespace {

std::tm localParts(UnixTime when) {
    const auto seconds = static_cast<std::time_t>(when);
    std::tm parts{};
    localtime_r(&seconds, &parts);
    return parts;
}

bool sameDay(const std::tm& a, const std::tm& b) {
    return a.tm_year == b.tm_year && a.tm_yday == b.tm_yday;
}

std::string clockTime(const std::tm& parts) {
    char text[16];
    std::strftime(text, sizeof text, "%I:%M%p", &parts);
    std::string out = text[0] == '0' ? text + 1 : text;
    for (char& c : out) {
        c = c == 'A' ? 'a' : c == 'P' ? 'p' : c == 'M' ? 'm' : c;
    }
    return out;
}

} // namespace

UnixTime unixNow() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::string forumDate(UnixTime when, UnixTime now) {
    const auto parts = localParts(when);
    if (sameDay(parts, localParts(now))) {
        return "<B>Today</B> at " + clockTime(parts);
    }
    if (sameDay(parts, localParts(localTimeDaysAgo(now, 1, 12, 0)))) {
        return "<B>Yesterday</B> at " + clockTime(parts);
    }
    char date[32];
    std::strftime(date, sizeof date, "%b %d, %Y, ", &parts);
    return date + clockTime(parts);
}

UnixTime localTimeDaysAgo(UnixTime now, int daysAgo, int hour, int minute) {
    auto parts = localParts(now);
    parts.tm_mday -= daysAgo;
    parts.tm_hour = hour;
    parts.tm_min = minute;
    parts.tm_sec = 0;
    parts.tm_isdst = -1;
    return static_cast<UnixTime>(std::mktime(&parts));
}

} // namespace zentab::board

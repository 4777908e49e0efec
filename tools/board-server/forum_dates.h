#pragma once

#include <cstdint>
#include <string>

namespace zentab::board {

// Times are Unix seconds; pages show them in the server's local time zone.
using UnixTime = std::int64_t;

UnixTime unixNow();

// "<B>Today</B> at 9:41am" and "<B>Yesterday</B> at 4:05pm" for the last two calendar days,
// otherwise "Dec 03, 2026, 9:41am".
std::string forumDate(UnixTime when, UnixTime now);

// The local clock time hour:minute, daysAgo calendar days before the date of now.
UnixTime localTimeDaysAgo(UnixTime now, int daysAgo, int hour, int minute);

} // namespace zentab::board

#pragma once

#include "Module1.h"

#include <functional>

namespace bank {

// A wait for the forum: lets the windows work between polls and ends early,
// with false, once the window it waits for has gone or the program quits.
class ForumWait {
public:
    ForumWait(std::function<bool()> stillWanted, int pollMs)
        : stillWanted_(std::move(stillWanted)), pollMs_(pollMs) {}

    bool whileTrue(const std::function<bool()>& condition) const {
        while (stillWanted_() && condition())
            if (!Module1::Delay(pollMs_))
                return false;
        return stillWanted_();
    }

    bool pause(int ms) const { return Module1::Delay(ms) && stillWanted_(); }

private:
    std::function<bool()> stillWanted_;
    int pollMs_;
};

} // namespace bank

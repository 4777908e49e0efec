#pragma once

#include <httplib.h>
#include <mutex>
#include <optional>
#include <string>

namespace zentab::board {

struct FaultSettings {
    int overload = 0;           // forum requests still to be answered with the overload page
    int slowMs = 0;             // delay before every forum answer
    int drop = 0;               // requests still to be met by closing the connection unanswered
    std::string overloadAction; // when set, only forum requests of this action are overloaded
};

// Faults switched on by tests through the control request; shared by all server threads.
class Faults {
public:
    // reset=1 clears everything first; overload, slow_ms, drop and overload_action then set
    // their values. Nothing changes when a value is not a whole number in range, or the action
    // not a short word.
    std::optional<FaultSettings> apply(const httplib::Params& params);

    bool takeOverload(const std::string& action);
    bool takeDrop();
    int slowMs() const;

private:
    mutable std::mutex mutex_;
    FaultSettings settings_;
};

} // namespace zentab::board

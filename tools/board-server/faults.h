#pragma once

#include <httplib.h>
#include <mutex>
#include <optional>

namespace zentab::board {

struct FaultSettings {
    int overload = 0; // forum requests still to be answered with the overload page
    int slowMs = 0;   // delay before every forum answer
    int drop = 0;     // requests still to be met by closing the connection unanswered
};

// Faults switched on by tests through the control request; shared by all server threads.
class Faults {
public:
    // reset=1 clears everything first; overload, slow_ms and drop then set their values.
    // Nothing changes when a value is not a whole number in range.
    std::optional<FaultSettings> apply(const httplib::Params& params);

    bool takeOverload();
    bool takeDrop();
    int slowMs() const;

private:
    mutable std::mutex mutex_;
    FaultSettings settings_;
};

} // namespace zentab::board

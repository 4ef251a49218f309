#pragma once

// How often a long step's progress reaches the screen. A step stores its latest text and value on every
// update, thousands of times; the window or console line shows them at most about 30 times a second, so
// that the work never waits for drawing.

#include <chrono>
#include <optional>

class ProgressPace {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr Clock::duration kInterval = std::chrono::milliseconds(33);

    // True when the progress may be shown at `now`: the first time after a restart, then once an interval.
    bool due(Clock::time_point now = Clock::now()) {
        if (last_ && now - *last_ < kInterval) return false;
        last_ = now;
        return true;
    }
    // The next due() is true: a new step shows at once.
    void restart() { last_.reset(); }

private:
    std::optional<Clock::time_point> last_;
};

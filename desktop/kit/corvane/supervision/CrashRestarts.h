#pragma once

#include <chrono>
#include <functional>

namespace corvane {

// How many unexpected exits within a window are followed by a relaunch.
struct CrashRestarts {
    using Clock = std::chrono::steady_clock;

    int limit = 3;
    std::chrono::duration<double> window = std::chrono::seconds(300);
    std::function<Clock::time_point()> now = [] { return Clock::now(); };

    static CrashRestarts standard() { return {}; }
};

} // namespace corvane

#pragma once

#include <chrono>

namespace corvane::RefreshPolicy {

using std::chrono::seconds;

// The server allows this many requests per window; the periodic reads take a fixed share of it.
inline constexpr int serverRequestBudget = 100;
inline constexpr seconds serverWindow{900};
inline constexpr seconds pairingCodeInterval{30};
inline constexpr seconds voiceProgressInterval{5};
inline constexpr seconds keepAwakeInterval{15};

inline constexpr seconds tick{1};
inline constexpr int ticksBetweenVoiceProgressRefreshes = voiceProgressInterval / tick;
inline constexpr int ticksBetweenKeepAwakeRefreshes = keepAwakeInterval / tick;
inline constexpr int ticksBetweenPairingCodeRefreshes = pairingCodeInterval / tick;
inline constexpr int periodicRequestsPerWindow = serverWindow / pairingCodeInterval;
inline constexpr int headroomPerWindow = serverRequestBudget - periodicRequestsPerWindow;

static_assert(ticksBetweenVoiceProgressRefreshes == 5);
static_assert(ticksBetweenKeepAwakeRefreshes == 15);
static_assert(ticksBetweenPairingCodeRefreshes == 30);
static_assert(periodicRequestsPerWindow == 30);
static_assert(headroomPerWindow == 70);

} // namespace corvane::RefreshPolicy

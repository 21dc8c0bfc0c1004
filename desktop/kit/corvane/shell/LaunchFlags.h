#pragma once

#include <KestrinBuildFlags.h>

namespace corvane::LaunchFlags {

// Whether any face offers the live-previews switch. Fixed when the application is configured (off
// unless the build asks for it); the switch's model is built either way.
inline constexpr bool livePreviewsSwitch = KESTRIN_LIVE_PREVIEWS_SWITCH;

} // namespace corvane::LaunchFlags

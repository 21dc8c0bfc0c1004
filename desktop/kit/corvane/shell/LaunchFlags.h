#pragma once

namespace corvane::LaunchFlags {

// Whether any screen offers the live-previews switch. Fixed when the application is built.
inline constexpr bool livePreviewsSwitch = false;

} // namespace corvane::LaunchFlags

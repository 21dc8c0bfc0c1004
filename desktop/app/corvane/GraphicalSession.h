#pragma once

#include <corvane/shell/Environment.h>

namespace corvane::GraphicalSession {

// Whether a display server answers where the environment says one is (DISPLAY for X11,
// WAYLAND_DISPLAY for Wayland). A variable left over from elsewhere, such as an ssh session that
// forwards no display, must lead to the terminal face, not to the toolkit giving up at start.
bool answers(const Environment& environment);

} // namespace corvane::GraphicalSession

#pragma once

#include <corvane/shell/Environment.h>

#include <QStringView>

namespace corvane::WelcomeLaunch {

inline constexpr QStringView suppressVariable = u"CORVANE_SUPPRESS_WELCOME";
inline constexpr QStringView completedKey = u"welcomeCompleted";

// Whether the welcome opens by itself at launch: not once it was finished, and not when the
// environment asks it not to ("1" exactly, for automated runs).
bool shouldAutoOpen(bool welcomeCompleted, const Environment& environment);

} // namespace corvane::WelcomeLaunch

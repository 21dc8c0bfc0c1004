#pragma once

#include <QString>

namespace corvane::MenuWords {

inline constexpr QStringView setUpGlasses = u"Set up my glasses…";
inline constexpr QStringView agentPermissions = u"What can the agents do…";
inline constexpr QStringView setupGuide = u"Open Setup Guide…";
inline constexpr QStringView serverLog = u"Server Log…";
inline constexpr QStringView startAtLogin = u"Start when I log in";
inline constexpr QStringView offSentence = u"Your phone can't reach Kestrin while it's off.";
inline constexpr QStringView checkForUpdates = u"Check for updates…";
inline constexpr QStringView updateReady = u"Update ready — restart to install";

inline QString youHave(const QString& text) {
    return QStringLiteral("You have ") + text;
}

} // namespace corvane::MenuWords

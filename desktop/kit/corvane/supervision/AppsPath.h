#pragma once

#include <corvane/supervision/LoginShellPathResult.h>

#include <QString>
#include <QStringList>

#include <functional>

namespace corvane::AppsPath {

inline constexpr QStringView environmentKey = u"CORVANE_APPS_PATH";

// Folders where people commonly keep their programs, for when the login shell did not answer.
QStringList fallbackDirectories(const QString& home);

// The search path for the programs the server runs for the user: the login shell's folders first,
// else the server's own path followed by whichever fallback folders exist.
QString forApps(const LoginShellPathResult& loginShell, const QString& serverPath, const QString& home,
                const std::function<bool(const QString&)>& directoryExists);

} // namespace corvane::AppsPath

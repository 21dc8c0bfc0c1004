#include "AppsPath.h"

#include <corvane/supervision/ServerLaunchPlan.h>

namespace corvane::AppsPath {

using namespace Qt::Literals::StringLiterals;

QStringList fallbackDirectories(const QString& home) {
    return {u"/opt/homebrew/bin"_s, u"/usr/local/bin"_s, home + u"/.volta/bin"_s, home + u"/.bun/bin"_s};
}

QString forApps(const LoginShellPathResult& loginShell, const QString& serverPath, const QString& home,
                const std::function<bool(const QString&)>& directoryExists) {
    const QStringList serverEntries = splitSearchPath(serverPath);
    if (const QString* shellPath = loginShell.path())
        return joinSearchPath(splitSearchPath(*shellPath) + serverEntries);
    QStringList pieces = serverEntries;
    for (const QString& folder : fallbackDirectories(home)) {
        if (directoryExists(folder))
            pieces.append(folder);
    }
    return joinSearchPath(pieces);
}

} // namespace corvane::AppsPath

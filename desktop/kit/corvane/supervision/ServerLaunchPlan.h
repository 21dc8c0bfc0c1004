#pragma once

#include <corvane/shell/Environment.h>
#include <corvane/supervision/LocalAdminSecret.h>

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

class QDebug;

namespace corvane {

// Exactly what to run for the local server. Its environment is the server's whole environment.
struct ServerLaunchPlan {
    QString executable;
    QStringList arguments; // one element: the entry script
    QString workingDirectory;
    Environment environment;
    int port = 0;
    std::optional<QString> logFile;
    std::optional<LocalAdminSecret> localAdminSecret;

    bool operator==(const ServerLaunchPlan&) const = default;

    static constexpr std::array systemFallbackDirectories{u"/usr/local/bin", u"/usr/bin", u"/bin"};
    static constexpr QStringView entryScript = u"/dist/index.js";
    static constexpr QStringView secretsOnStdinVariable = u"CORVANE_SECRETS_ON_STDIN";

    // Everything but where the server lives, shared by both shapes.
    struct Parts {
        QString nodePath;
        int port = 0;
        QString home;
        QStringList toolDirectories;
        Environment extraEnvironment;
        std::optional<QString> logFile;
        std::optional<LocalAdminSecret> localAdminSecret;
        std::optional<QString> appsPath;
    };

    // A server built into a folder (the application folder's copy).
    static ServerLaunchPlan fromServerDirectory(const QString& serverDirectory, Parts parts);
    // A development checkout: the server is in <root>/apps/server.
    static ServerLaunchPlan fromRepoRoot(const QString& root, Parts parts);

    // PATH for the server: node's own folder, the tool folders, then the system's, without repeats.
    static QString searchPath(const QString& nodePath, const QStringList& toolDirectories);
};

QDebug operator<<(QDebug debug, const ServerLaunchPlan& plan);

// Splits a ":"-separated path, and joins pieces back without empty entries or repeats (first wins).
QStringList splitSearchPath(const QString& path);
QString joinSearchPath(const QStringList& pieces);

} // namespace corvane

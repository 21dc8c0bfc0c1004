#include "ServerLaunchPlan.h"

#include <corvane/supervision/AppsPath.h>

#include <QDebug>
#include <QSet>

#include <algorithm>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

QStringList splitSearchPath(const QString& path) {
    return path.split(u':', Qt::SkipEmptyParts);
}

QString joinSearchPath(const QStringList& pieces) {
    QStringList kept;
    QSet<QString> seen;
    for (const QString& piece : pieces) {
        if (piece.isEmpty() || seen.contains(piece))
            continue;
        seen.insert(piece);
        kept.append(piece);
    }
    return kept.join(u':');
}

QString ServerLaunchPlan::searchPath(const QString& nodePath, const QStringList& toolDirectories) {
    const qsizetype slash = nodePath.lastIndexOf(u'/');
    // Node's folder; for a node directly under the root that is "/" itself.
    QStringList pieces{slash < 0 ? QString() : nodePath.left(std::max<qsizetype>(slash, 1))};
    pieces += toolDirectories;
    for (const char16_t* folder : systemFallbackDirectories)
        pieces.append(QString::fromUtf16(folder));
    return joinSearchPath(pieces);
}

namespace {

ServerLaunchPlan makePlan(const QString& serverDirectory, ServerLaunchPlan::Parts parts) {
    Environment environment = std::move(parts.extraEnvironment);
    environment.insert(u"PATH"_s, ServerLaunchPlan::searchPath(parts.nodePath, parts.toolDirectories));
    environment.insert(u"HOME"_s, parts.home);
    environment.insert(u"PORT"_s, QString::number(parts.port));
    if (parts.appsPath)
        environment.insert(AppsPath::environmentKey.toString(), *parts.appsPath);
    // Only a launch that carries a secret may tell the server to wait for one: a pass-through value
    // without a secret would leave the server waiting for a line that never comes.
    if (parts.localAdminSecret)
        environment.insert(ServerLaunchPlan::secretsOnStdinVariable.toString(), u"1"_s);
    else
        environment.remove(ServerLaunchPlan::secretsOnStdinVariable.toString());
    return ServerLaunchPlan{
        .executable = parts.nodePath,
        .arguments = {serverDirectory + ServerLaunchPlan::entryScript.toString()},
        .workingDirectory = serverDirectory,
        .environment = std::move(environment),
        .port = parts.port,
        .logFile = std::move(parts.logFile),
        .localAdminSecret = std::move(parts.localAdminSecret),
    };
}

} // namespace

ServerLaunchPlan ServerLaunchPlan::fromServerDirectory(const QString& serverDirectory, Parts parts) {
    return makePlan(serverDirectory, std::move(parts));
}

ServerLaunchPlan ServerLaunchPlan::fromRepoRoot(const QString& root, Parts parts) {
    const QString trimmed = root.endsWith(u'/') ? root.chopped(1) : root;
    return makePlan(trimmed + u"/apps/server"_s, std::move(parts));
}

QDebug operator<<(QDebug debug, const ServerLaunchPlan& plan) {
    const QDebugStateSaver saver(debug);
    debug.nospace() << "ServerLaunchPlan(" << plan.executable << ", " << plan.arguments << ", "
                    << plan.workingDirectory << ", port " << plan.port << ", log "
                    << plan.logFile.value_or(u"none"_s) << ", ";
    if (plan.localAdminSecret)
        debug << *plan.localAdminSecret;
    else
        debug << "no secret";
    debug << ')';
    return debug;
}

} // namespace corvane

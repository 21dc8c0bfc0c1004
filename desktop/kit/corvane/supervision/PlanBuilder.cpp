#include "PlanBuilder.h"

#include <corvane/shell/AppConfiguration.h>
#include <corvane/supervision/AppsPath.h>
#include <corvane/supervision/ServerLog.h>

namespace corvane::PlanBuilder {

using namespace Qt::Literals::StringLiterals;

QStringList loginSessionVariables() {
    return {
        u"USER"_s, u"LOGNAME"_s, u"TMPDIR"_s, u"SHELL"_s, u"LANG"_s, u"TZ"_s, u"__CF_USER_TEXT_ENCODING"_s};
}

namespace {

// Later sources win: the session's own variables, the network preference, then the pass-through ones.
Environment baseEnvironment(const Inputs& inputs) {
    Environment base;
    for (const QString& name : loginSessionVariables()) {
        const QString value = inputs.environment.value(name);
        if (!value.isEmpty())
            base.insert(name, value);
    }
    base.insert(NetworkPreferences::serverSettings(inputs.networkPreference));
    base.insert(AppConfiguration::resolveExtraServerEnvironment(inputs.environment));
    return base;
}

ServerLaunchPlan::Parts partsFor(const Inputs& inputs, const QString& nodePath,
                                 std::optional<QString> logFile) {
    const QStringList tools = ToolLocator::toolDirectories(inputs.home);
    std::optional<QString> appsPath;
    if (inputs.loginShell)
        appsPath = AppsPath::forApps(*inputs.loginShell, ServerLaunchPlan::searchPath(nodePath, tools),
                                     inputs.home, inputs.directoryExists);
    return {.nodePath = nodePath,
            .port = AppConfiguration::resolvePort(inputs.environment),
            .home = inputs.home,
            .toolDirectories = tools,
            .extraEnvironment = baseEnvironment(inputs),
            .logFile = std::move(logFile),
            .localAdminSecret = inputs.localAdminSecret,
            .appsPath = std::move(appsPath)};
}

std::expected<ServerLaunchPlan, PlanBuildError> bundled(const Inputs& inputs, const BundledServer& server) {
    if (!inputs.fileExists(server.nodePath))
        return std::unexpected(PlanBuildError::BundledServerDamaged{server.nodePath});
    const QString log = ServerLog::file(inputs.environment, inputs.home);
    ServerLaunchPlan plan =
        ServerLaunchPlan::fromServerDirectory(server.serverDirectory, partsFor(inputs, server.nodePath, log));
    if (!inputs.fileExists(plan.arguments.first()))
        return std::unexpected(PlanBuildError::BundledServerDamaged{plan.arguments.first()});
    return plan;
}

std::expected<ServerLaunchPlan, PlanBuildError> checkout(const Inputs& inputs, const QString& root) {
    const std::optional<QString> node = inputs.locator.firstExisting(ToolLocator::nodeCandidates());
    if (!node)
        return std::unexpected(PlanBuildError::NodeNotFound{});
    ServerLaunchPlan plan = ServerLaunchPlan::fromRepoRoot(root, partsFor(inputs, *node, std::nullopt));
    if (!inputs.fileExists(plan.arguments.first()))
        return std::unexpected(PlanBuildError::ServerNotBuilt{plan.arguments.first()});
    return plan;
}

} // namespace

std::expected<ServerLaunchPlan, PlanBuildError> build(const Inputs& inputs) {
    const QString namedRoot = inputs.environment.value(AppConfiguration::repoRootVariable.toString());
    if (!namedRoot.isEmpty())
        return checkout(inputs, namedRoot);
    if (inputs.bundledServer)
        return bundled(inputs, *inputs.bundledServer);
    if (const auto root = AppConfiguration::resolveRepoRoot(inputs.environment, inputs.bundledRepoRoot))
        return checkout(inputs, *root);
    return std::unexpected(PlanBuildError::NoRepoRoot{});
}

} // namespace corvane::PlanBuilder

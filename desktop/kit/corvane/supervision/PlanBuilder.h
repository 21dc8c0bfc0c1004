#pragma once

#include <corvane/shell/Environment.h>
#include <corvane/supervision/BundledServer.h>
#include <corvane/supervision/LocalAdminSecret.h>
#include <corvane/supervision/LoginShellPathResult.h>
#include <corvane/supervision/NetworkPreference.h>
#include <corvane/supervision/PlanBuildError.h>
#include <corvane/supervision/ServerLaunchPlan.h>
#include <corvane/supervision/ToolLocator.h>

#include <QStringList>

#include <expected>
#include <functional>
#include <optional>

namespace corvane::PlanBuilder {

// Copied from the application's environment into the server's when set and non-empty.
QStringList loginSessionVariables();

// What the caller knows on every start. Platform queries are passed in so building stays pure.
struct Inputs {
    Environment environment;
    std::optional<BundledServer> bundledServer;
    std::optional<QString> bundledRepoRoot;
    QString home;
    NetworkPreference networkPreference = NetworkPreference::thisComputerOnly;
    std::optional<LocalAdminSecret> localAdminSecret;
    ToolLocator locator;
    std::optional<LoginShellPathResult> loginShell; // absent: no login-shell information was asked for
    std::function<bool(const QString&)> directoryExists;
    std::function<bool(const QString&)> fileExists;
};

// Decides what to run: a development checkout when one is named, else the application's own server.
std::expected<ServerLaunchPlan, PlanBuildError> build(const Inputs& inputs);

} // namespace corvane::PlanBuilder

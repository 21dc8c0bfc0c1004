#pragma once

#include <corvane/shell/Environment.h>

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace corvane::AppConfiguration {

inline constexpr int defaultPort = 9111;
inline constexpr QStringView portVariable = u"CORVANE_PORT";
inline constexpr QStringView repoRootVariable = u"CORVANE_REPO_ROOT";
inline constexpr QStringView bundledRepoRootKey = u"CVDevelopmentRepoRoot";
inline constexpr QStringView serverSettingPrefix = u"CORVANE_SERVER_";
inline constexpr QStringView defaultBundleIdentifier = u"com.mossgate.corvane.mac";

// The one port of the application: the server listens on it and every setup client connects to it.
// A missing, malformed or out-of-range value falls back to the default silently.
int resolvePort(const Environment& environment);

// The development checkout to run the server from, if any. An empty variable does not hide the
// value baked into the bundle.
std::optional<QString> resolveRepoRoot(const Environment& environment,
                                       const std::optional<QString>& bundledValue);

// Every "CORVANE_SERVER_<name>" variable, as <name> = value, for the server's environment.
Environment resolveExtraServerEnvironment(const Environment& environment);

// This application's folder for private support files; not created here. `dataLocations` is the
// platform's answer for the user's data folders, most important first.
QString applicationSupportDirectory(const std::optional<QString>& bundleIdentifier, const QString& home,
                                    const QStringList& dataLocations);
QString applicationSupportDirectory(const std::optional<QString>& bundleIdentifier, const QString& home);

// This application's folder for files it can make again (downloads on their way); not created here.
QString cacheDirectory(const std::optional<QString>& bundleIdentifier);

} // namespace corvane::AppConfiguration

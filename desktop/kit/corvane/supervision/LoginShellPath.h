#pragma once

#include <corvane/shell/Environment.h>
#include <corvane/supervision/CommandRunner.h>
#include <corvane/supervision/LoginShellPathResult.h>

#include <QString>
#include <QStringList>
#include <QStringView>
#include <qcorotask.h>

#include <chrono>
#include <optional>

namespace corvane::LoginShellPath {

inline constexpr QStringView begin = u"__CORVANE_PATH_BEGIN__";
inline constexpr QStringView end = u"__CORVANE_PATH_END__";
inline constexpr QStringView script =
    u"echo __CORVANE_PATH_BEGIN__; /usr/bin/printenv PATH; echo __CORVANE_PATH_END__";
inline constexpr std::chrono::seconds timeout{3};

// The user's shell: SHELL when it is an absolute path, else /bin/zsh.
QString shell(const Environment& environment);
// Login, interactive, run the script.
QStringList arguments();

// The absolute folders printed between the markers, once each, joined by ":"; nothing if none.
std::optional<QString> parse(const QString& output);

// Asks the login shell for its search path; every failure is `failed`.
QCoro::Task<LoginShellPathResult> read(Environment environment, CommandRunner& runner);

} // namespace corvane::LoginShellPath

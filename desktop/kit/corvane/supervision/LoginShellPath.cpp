#include "LoginShellPath.h"

#include <corvane/supervision/ServerLaunchPlan.h>

namespace corvane::LoginShellPath {

QString shell(const Environment& environment) {
    const QString fromEnvironment = environment.value(QStringLiteral("SHELL"));
    return fromEnvironment.startsWith(u'/') ? fromEnvironment : QStringLiteral("/bin/zsh");
}

QStringList arguments() {
    return {QStringLiteral("-l"), QStringLiteral("-i"), QStringLiteral("-c"), script.toString()};
}

std::optional<QString> parse(const QString& output) {
    const qsizetype opened = output.indexOf(begin);
    if (opened < 0)
        return std::nullopt;
    const qsizetype from = opened + begin.size();
    const qsizetype closed = output.indexOf(end, from);
    if (closed < 0)
        return std::nullopt;
    QStringList folders;
    for (const QString& piece : splitSearchPath(output.mid(from, closed - from).trimmed())) {
        if (piece.startsWith(u'/'))
            folders.append(piece);
    }
    const QString joined = joinSearchPath(folders);
    return joined.isEmpty() ? std::nullopt : std::optional(joined);
}

QCoro::Task<LoginShellPathResult> read(Environment environment, CommandRunner& runner) {
    const std::optional<QString> output =
        co_await runner.run(shell(environment), arguments(),
                            std::chrono::duration_cast<std::chrono::milliseconds>(timeout), end.toString());
    if (!output)
        co_return LoginShellPathResult::failed();
    const std::optional<QString> path = parse(*output);
    co_return path ? LoginShellPathResult::read(*path) : LoginShellPathResult::failed();
}

} // namespace corvane::LoginShellPath

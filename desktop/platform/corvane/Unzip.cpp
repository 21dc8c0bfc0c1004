#include "Unzip.h"

#include <corvane/ProcessRelease.h>

#include <QProcess>
#include <qcoroprocess.h>

#include <memory>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

QCoro::Task<std::expected<void, QString>> runUnzip(QString program, QStringList arguments,
                                                   std::chrono::milliseconds timeLimit) {
    auto process = std::make_unique<QProcess>();
    process->setProgram(program);
    process->setArguments(arguments);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    process->start();
    auto running = qCoro(process.get());
    const bool started = co_await running.waitForStarted();
    const bool finished = started && co_await running.waitForFinished(timeLimit);
    const bool succeeded =
        finished && process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
    if (started && !finished)
        process->kill();
    releaseUntilFinished(std::move(process));
    if (!started)
        co_return std::unexpected(u"unzip could not be started."_s);
    if (!succeeded)
        co_return std::unexpected(finished ? u"unzip could not expand the archive."_s
                                           : u"unzip took too long and was stopped."_s);
    co_return std::expected<void, QString>{};
}

} // namespace corvane

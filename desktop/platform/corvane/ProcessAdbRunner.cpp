#include "ProcessAdbRunner.h"

#include <corvane/support/OneShot.h>

#include <corvane/ProcessRelease.h>

#include <QProcess>
#include <QTimer>

#include <memory>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

ProcessAdbRunner::ProcessAdbRunner(QString executable, std::chrono::milliseconds timeout)
    : m_executable(std::move(executable))
    , m_timeout(timeout) {}

QCoro::Task<std::expected<AdbResult, QString>> ProcessAdbRunner::runWithInput(AdbCommand command) {
    using Outcome = std::expected<AdbResult, QString>;
    auto process = std::make_unique<QProcess>();
    QProcess* const child = process.get();
    const auto output = std::make_shared<QByteArray>();
    OneShot<Outcome> result;

    child->setProgram(m_executable);
    child->setArguments(command.arguments);
    if (command.input.isEmpty())
        child->setStandardInputFile(QProcess::nullDevice());
    child->setProcessChannelMode(QProcess::MergedChannels);
    QObject::connect(child, &QProcess::readyReadStandardOutput, child, [child, output] {
        const QByteArray bytes = child->readAllStandardOutput();
        output->append(bytes.first(std::min(bytes.size(), maxOutputBytes - output->size())));
    });
    QObject::connect(child, &QProcess::finished, child,
                     [child, output, result](int code, QProcess::ExitStatus how) mutable {
                         const QByteArray rest = child->readAllStandardOutput();
                         output->append(rest.first(std::min(rest.size(), maxOutputBytes - output->size())));
                         if (how == QProcess::NormalExit)
                             result.set(AdbResult{QString::fromUtf8(*output), code});
                         else
                             result.set(std::unexpected(u"adb ended abnormally."_s));
                     });
    QObject::connect(child, &QProcess::errorOccurred, child,
                     [child, result](QProcess::ProcessError error) mutable {
                         if (error == QProcess::FailedToStart)
                             result.set(std::unexpected(child->errorString()));
                     });
    QTimer limit;
    limit.setSingleShot(true);
    const QString tooLong = u"adb did not finish within %1 seconds."_s.arg(m_timeout.count() / 1000.0);
    QObject::connect(&limit, &QTimer::timeout, child, [child, result, tooLong]() mutable {
        if (result.set(std::unexpected(tooLong)))
            child->kill();
    });

    child->start();
    if (!command.input.isEmpty()) {
        child->write(command.input);
        child->closeWriteChannel(); // once written
    }
    limit.start(m_timeout);
    Outcome outcome = co_await result;
    releaseUntilFinished(std::move(process));
    co_return outcome;
}

} // namespace corvane

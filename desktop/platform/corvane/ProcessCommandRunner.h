#pragma once

#include <corvane/supervision/CommandRunner.h>

#include <QList>

#include <memory>

namespace corvane {

// Runs a program with QProcess, in a session of its own (no controlling terminal): the application's
// environment, standard input and error on the null device, standard output collected. Past the time
// limit, or when runs are cancelled, the caller gets nothing and the program's whole process group is
// sent SIGTERM.
class ProcessCommandRunner final : public CommandRunner {
public:
    QCoro::Task<std::optional<QString>> run(QString executable, QStringList arguments,
                                            std::chrono::milliseconds timeout,
                                            std::optional<QString> finishedBy) override;
    void cancelRuns() override;

private:
    struct RunState;
    QList<std::weak_ptr<RunState>> m_runs;
};

} // namespace corvane

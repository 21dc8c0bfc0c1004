#pragma once

#include <QString>
#include <QStringList>
#include <qcorotask.h>

#include <chrono>
#include <optional>

namespace corvane {

// Runs a program and hands back its standard output, or nothing when it could not be started, did
// not finish in time or ended with a non-zero status.
class CommandRunner {
public:
    virtual ~CommandRunner() = default;
    // With `finishedBy`, the output counts as complete as soon as it contains that text, even if the
    // program keeps its output open.
    virtual QCoro::Task<std::optional<QString>> run(QString executable, QStringList arguments,
                                                    std::chrono::milliseconds timeout,
                                                    std::optional<QString> finishedBy) = 0;
    // Ends every run under way: each answers nothing, and its program is told to stop. For a quit
    // that cannot wait for a program to finish.
    virtual void cancelRuns() = 0;
};

} // namespace corvane

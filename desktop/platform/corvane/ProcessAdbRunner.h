#pragma once

#include <corvane/glasses/AdbRunner.h>

#include <chrono>

namespace corvane {

// Runs adb as a child process: standard output and standard error through one pipe, so they read in
// the order written; on its standard input the command's input, then its end. A run that outlasts its time
// limit is ended and fails. Output past `maxOutputBytes` is read and dropped, so a runaway adb cannot fill
// the memory.
class ProcessAdbRunner final : public AdbRunner {
public:
    static constexpr qsizetype maxOutputBytes = 4 * 1024 * 1024;

    explicit ProcessAdbRunner(QString executable,
                              std::chrono::milliseconds timeout = std::chrono::seconds(120));

    QCoro::Task<std::expected<AdbResult, QString>> runWithInput(AdbCommand command) override;

private:
    QString m_executable;
    std::chrono::milliseconds m_timeout;
};

} // namespace corvane

#pragma once

#include <QString>
#include <QStringList>
#include <qcorotask.h>

#include <expected>

namespace corvane {

// What one run of adb printed, standard output and standard error in the order written, and how it
// ended.
struct AdbResult {
    QString output;
    qint32 exitCode = 0;
    bool operator==(const AdbResult&) const = default;
};

// One run of adb: its arguments, and what it reads on its standard input. Words that must not show
// in the process list (a device key) go on the input, to the device's shell, never in the arguments.
struct AdbCommand {
    QStringList arguments;
    QByteArray input;
    bool operator==(const AdbCommand&) const = default;
};

// Runs adb (the executable is fixed when the runner is made). A run fails only when adb could not be
// started or did not finish in time; a non-zero exit status is an ordinary result.
class AdbRunner {
public:
    virtual ~AdbRunner() = default;
    virtual QCoro::Task<std::expected<AdbResult, QString>> runWithInput(AdbCommand command) = 0;
    // With nothing on its standard input.
    QCoro::Task<std::expected<AdbResult, QString>> run(QStringList arguments) {
        return runWithInput(AdbCommand{std::move(arguments), {}});
    }
};

} // namespace corvane

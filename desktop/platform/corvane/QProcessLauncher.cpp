#include "QProcessLauncher.h"

#include <corvane/supervision/LocalAdminHandover.h>
#include <corvane/supervision/ServerLog.h>
#include <corvane/support/UniqueFd.h>

#include <corvane/ProcessRelease.h>

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTimer>

#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace corvane {

namespace {

class QProcessSupervisedProcess final : public SupervisedProcess {
public:
    explicit QProcessSupervisedProcess(std::unique_ptr<QProcess> process)
        : m_process(std::move(process))
        , m_pid(static_cast<qint32>(m_process->processId())) {}

    ~QProcessSupervisedProcess() override {
        if (isRunning()) {
            kill();
            m_process->waitForFinished();
        }
    }

    qint32 processIdentifier() const override { return m_pid; }
    bool isRunning() const override { return m_process->state() != QProcess::NotRunning; }
    void terminate() override { signal(SIGTERM); }
    void kill() override { signal(SIGKILL); }

private:
    // Only a live child of ours: a reaped pid may already belong to someone else.
    void signal(int number) const {
        if (m_pid > 0 && isRunning())
            ::kill(m_pid, number);
    }

    std::unique_ptr<QProcess> m_process;
    qint32 m_pid;
};

// The log, prepared and opened for appending; an invalid handle when that cannot be done, and the
// server then runs without a log rather than not at all.
UniqueFd openLog(const std::optional<QString>& logFile) {
    if (!logFile || !ServerLog::prepare(*logFile))
        return {};
    const QByteArray path = QFile::encodeName(*logFile);
    return UniqueFd(::open(path.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600));
}

QProcessEnvironment exactly(const Environment& environment) {
    QProcessEnvironment result;
    for (auto entry = environment.cbegin(); entry != environment.cend(); ++entry)
        result.insert(entry.key(), entry.value());
    return result;
}

} // namespace

std::expected<std::shared_ptr<SupervisedProcess>, QString>
QProcessLauncher::launch(const ServerLaunchPlan& plan, ExitHandler onExit) {
    auto process = std::make_unique<QProcess>();
    process->setProgram(plan.executable);
    process->setArguments(plan.arguments);
    process->setWorkingDirectory(plan.workingDirectory);
    process->setProcessEnvironment(exactly(plan.environment));
    // Qt leaves the standard descriptors to us; the modifier below points them at the log and the pipe.
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setInputChannelMode(QProcess::ForwardedInputChannel);

    const UniqueFd log = openLog(plan.logFile);
    UniqueFd secretReader;
    UniqueFd secretWriter;
    if (plan.localAdminSecret) {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0)
            return std::unexpected(QStringLiteral("could not create a pipe for the server's input"));
        secretReader = UniqueFd(ends[0]);
        secretWriter = UniqueFd(ends[1]);
    }

    // Runs in the child between fork and exec: async-signal-safe calls only.
    const int logFd = log.get();
    const int inputFd = secretReader.get();
    const pid_t keeper = ::getpid();
    process->setChildProcessModifier([logFd, inputFd, keeper] {
        // Out of the terminal's reach: a Ctrl-C there is Kestrin's to handle, through its held quit.
        ::setsid();
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != keeper)
            ::raise(SIGTERM); // the keeper died before the request took hold
        ::signal(SIGPIPE, SIG_DFL);
        if (logFd >= 0) {
            ::dup2(logFd, STDOUT_FILENO);
            ::dup2(logFd, STDERR_FILENO);
        }
        if (inputFd >= 0)
            ::dup2(inputFd, STDIN_FILENO);
    });

    // The status reaches the owner from the event loop, never inside QProcess's own signal, so the
    // owner may drop the process object straight away.
    QObject::connect(process.get(), &QProcess::finished, process.get(),
                     [onExit = std::move(onExit)](int code, QProcess::ExitStatus how) {
                         const qint32 status = how == QProcess::CrashExit && code == 0 ? 1 : code;
                         QTimer::singleShot(0, [onExit, status] { onExit(status); });
                     });

    process->start();
    if (!process->waitForStarted(-1))
        return std::unexpected(process->errorString());
    secretReader.reset(); // the child has its copy; without ours, a dead server is EPIPE for the writer

    if (plan.localAdminSecret) {
        const auto handed = m_handover(*plan.localAdminSecret, std::move(secretWriter));
        if (!handed) {
            process->terminate(); // signals only a child that still has a pid, never pid 0's whole group
            releaseUntilFinished(std::move(process));
            return std::unexpected(handed.error().description());
        }
    }
    return std::make_shared<QProcessSupervisedProcess>(std::move(process));
}

} // namespace corvane

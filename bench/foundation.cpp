// Measures what the foundation promises but no test times: how many pauses a quit waits for a server
// that exits promptly on SIGTERM, and how long a port probe of a closed loopback port takes.
#include <corvane/supervision/ServerSupervisor.h>

#include <corvane/QProcessLauncher.h>
#include <corvane/SocketPortProbe.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTcpServer>
#include <QTemporaryDir>
#include <qcorotimer.h>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace corvane;

namespace {

class FreePort final : public PortProbe {
public:
    bool isBusy(int) override { return false; }
};

void quitWithPromptServer(int rounds) {
    std::vector<int> pauses;
    std::vector<qint64> millis;
    for (int round = 0; round < rounds; ++round) {
        const QTemporaryDir dir;
        int count = 0;
        ServerSupervisor supervisor(std::make_shared<FreePort>(), std::make_shared<QProcessLauncher>(),
                                    CrashRestarts::standard(), [&count]() -> QCoro::Task<> {
                                        ++count;
                                        co_await QCoro::sleepFor(ServerSupervisor::checkInterval);
                                    });
        supervisor.start(
            ServerLaunchPlan{.executable = QStringLiteral(FIXTURE_SERVER),
                             .arguments = {QStringLiteral("serve"), dir.path()},
                             .workingDirectory = dir.path(),
                             .environment = {{QStringLiteral("PATH"), QStringLiteral("/usr/bin")}},
                             .logFile = dir.filePath(QStringLiteral("server.log"))});
        while (!QFileInfo::exists(dir.filePath(QStringLiteral("ready"))))
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        QElapsedTimer clock;
        clock.start();
        QCoro::waitFor(supervisor.stopAndWait());
        millis.push_back(clock.elapsed());
        pauses.push_back(count);
    }
    std::printf("stopAndWait, prompt server, %d rounds: pauses max %d, min %d; wall time max %lld ms\n",
                rounds, *std::max_element(pauses.begin(), pauses.end()),
                *std::min_element(pauses.begin(), pauses.end()),
                static_cast<long long>(*std::max_element(millis.begin(), millis.end())));
}

void probeClosedPort(int calls) {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    const int port = server.serverPort();
    server.close(); // a port that was just in use and is now closed
    SocketPortProbe probe;
    std::vector<qint64> nanos;
    nanos.reserve(static_cast<size_t>(calls));
    for (int call = 0; call < calls; ++call) {
        QElapsedTimer clock;
        clock.start();
        if (probe.isBusy(port))
            std::printf("unexpected: port %d busy\n", port);
        nanos.push_back(clock.nsecsElapsed());
    }
    std::sort(nanos.begin(), nanos.end());
    double total = 0;
    for (const qint64 n : nanos)
        total += static_cast<double>(n);
    std::printf("SocketPortProbe::isBusy, closed port, %d calls: mean %.1f us, p99 %.1f us, max %.1f us\n",
                calls, total / calls / 1000.0, static_cast<double>(nanos[nanos.size() * 99 / 100]) / 1000.0,
                static_cast<double>(nanos.back()) / 1000.0);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    quitWithPromptServer(10);
    probeClosedPort(10000);
    return 0;
}

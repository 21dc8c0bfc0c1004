#include "support/TestSupport.h"

#include <corvane/supervision/ServerSupervisor.h>

#include <corvane/QProcessLauncher.h>
#include <corvane/SocketPortProbe.h>

#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <qcorotimer.h>

#include <cerrno>
#include <csignal>
#include <unistd.h>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;
using namespace std::chrono_literals;

namespace {

class FreePort final : public PortProbe {
public:
    bool isBusy(int) override { return false; }
};

ServerLaunchPlan fixturePlan(const QString& mode, const QTemporaryDir& dir, Environment environment = {}) {
    environment.insert(u"PATH"_s, u"/usr/bin:/bin"_s);
    environment.insert(u"HOME"_s, dir.path());
    return ServerLaunchPlan{.executable = QStringLiteral(FIXTURE_SERVER),
                            .arguments = {mode, dir.path()},
                            .workingDirectory = dir.path(),
                            .environment = std::move(environment),
                            .port = 9111};
}

// A supervisor over the real launcher; the port always looks free, and a pause is 20 ms.
struct RealSupervisor {
    ServerSupervisor supervisor{std::make_shared<FreePort>(), std::make_shared<QProcessLauncher>(),
                                CrashRestarts::standard(), [] { return QCoro::sleepFor(20ms); }};
    ~RealSupervisor() { QCoro::waitFor(supervisor.stopAndWait()); }
};

} // namespace

class TestProcessLauncher : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void childGetsExactlyThePlanAndTheSecretLine() {
        const QTemporaryDir dir;
        ServerLaunchPlan plan = fixturePlan(u"serve"_s, dir,
                                            {{u"BIND_HOST"_s, u"127.0.0.1"_s},
                                             {u"CORVANE_SECRETS_ON_STDIN"_s, u"1"_s},
                                             {u"EMPTY"_s, u""_s},
                                             {u"SPACED"_s, u"a b  c"_s}});
        plan.localAdminSecret = *LocalAdminSecret::mint();
        qputenv("KESTRIN_MUST_NOT_LEAK", "1");
        RealSupervisor real;
        real.supervisor.start(plan);
        QVERIFY(real.supervisor.state().isRunning());
        QTRY_VERIFY(QFileInfo::exists(dir.filePath(u"ready"_s)));

        QStringList expected;
        for (auto entry = plan.environment.cbegin(); entry != plan.environment.cend(); ++entry)
            expected.append(entry.key() + u'=' + entry.value());
        QStringList seen =
            QString::fromUtf8(contentOf(dir.filePath(u"environment"_s))).split(u'\n', Qt::SkipEmptyParts);
        seen.sort();
        QCOMPARE(seen, expected);
        // The fixture wrote this only after reading to end of file.
        const QByteArray input = contentOf(dir.filePath(u"stdin"_s));
        QCOMPARE(input.size(), 83);
        QCOMPARE(input, plan.localAdminSecret->handoverLine());
        QCOMPARE(real.supervisor.state(), ServerState::running(contentOf(dir.filePath(u"ready"_s)).toInt()));
    }

    // A Ctrl-C in the terminal Kestrin runs in must reach Kestrin only: the server is stopped by
    // Kestrin's held quit, never directly, so it runs in a session of its own without a terminal.
    void theServerRunsInASessionOfItsOwn() {
        const QTemporaryDir dir;
        RealSupervisor real;
        real.supervisor.start(fixturePlan(u"serve"_s, dir));
        QTRY_VERIFY(QFileInfo::exists(dir.filePath(u"ready"_s)));
        const SessionFacts server = sessionFacts(contentOf(dir.filePath(u"session"_s)));
        QCOMPARE(server.session, server.process);
        QVERIFY(server.session != ::getsid(0));
        QVERIFY(!server.hasTerminal);
    }

    void bothStreamsAreAppendedToTheLog_data() {
        QTest::addColumn<qint64>("earlierSize");
        QTest::addColumn<bool>("rotated");
        QTest::newRow("small log grows") << qint64(8) << false;
        QTest::newRow("one byte short of the limit") << qint64(4'999'999) << false;
        QTest::newRow("at the limit: rotated first") << qint64(5'000'000) << true;
    }
    void bothStreamsAreAppendedToTheLog() {
        QFETCH(qint64, earlierSize);
        QFETCH(bool, rotated);
        const QTemporaryDir dir;
        const QString log = dir.filePath(u"logs/server.log"_s);
        QVERIFY(QDir(dir.path()).mkpath(u"logs"_s));
        {
            QFile earlier(log);
            QVERIFY(earlier.open(QIODevice::WriteOnly));
            earlier.write("earlier\n");
            QVERIFY(earlier.resize(earlierSize));
        }
        ServerLaunchPlan plan = fixturePlan(u"serve"_s, dir);
        plan.logFile = log;
        RealSupervisor real;
        real.supervisor.start(plan);
        QTRY_VERIFY(QFileInfo::exists(dir.filePath(u"ready"_s)));

        const QByteArray written = contentOf(log);
        const QByteArray fresh = "to stdout\nto stderr\n";
        if (rotated) {
            QCOMPARE(written, fresh);
            QCOMPARE(QFileInfo(dir.filePath(u"logs/server.previous.log"_s)).size(), earlierSize);
        } else {
            QCOMPARE(written.size(), earlierSize + fresh.size());
            QVERIFY(written.startsWith("earlier\n"));
            QVERIFY(written.endsWith(fresh));
            QVERIFY(!QFileInfo::exists(dir.filePath(u"logs/server.previous.log"_s)));
        }
    }

    void aLogThatCannotBePreparedMeansRunningWithoutOne() {
        const QTemporaryDir dir;
        QFile blocker(dir.filePath(u"blocker"_s));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        ServerLaunchPlan plan = fixturePlan(u"serve"_s, dir);
        plan.logFile = dir.filePath(u"blocker/logs/server.log"_s);
        RealSupervisor real;
        real.supervisor.start(plan);
        QVERIFY(real.supervisor.state().isRunning());
        QTRY_VERIFY(QFileInfo::exists(dir.filePath(u"ready"_s)));
    }

    void aMissingExecutableIsAWordedLaunchFailure() {
        const QTemporaryDir dir;
        ServerLaunchPlan plan = fixturePlan(u"serve"_s, dir);
        plan.executable = dir.filePath(u"no-such-node"_s);
        plan.localAdminSecret = *LocalAdminSecret::mint();
        RealSupervisor real;
        real.supervisor.start(plan);
        const auto failure = real.supervisor.state().failure();
        QVERIFY(failure);
        QVERIFY(std::holds_alternative<ServerFailure::LaunchFailed>(failure->value()));
        QVERIFY2(failure->message().startsWith(u"The server could not be started: "_s),
                 qPrintable(failure->message()));
        QVERIFY(failure->message().size() > u"The server could not be started: "_s.size());
        QCOMPARE(real.supervisor.launches(), 1);
    }

    void exitStatusArrivesOnceOnTheMainThread() {
        const QTemporaryDir dir;
        QProcessLauncher launcher;
        int calls = 0;
        qint32 status = -1;
        bool onMainThread = false;
        auto process = launcher.launch(fixturePlan(u"crash"_s, dir), [&](qint32 code) {
            ++calls;
            status = code;
            onMainThread = QThread::currentThread() == QCoreApplication::instance()->thread();
        });
        QVERIFY(process);
        QTRY_COMPARE(calls, 1);
        QTest::qWait(100);
        QCOMPARE(calls, 1);
        QCOMPARE(status, 3);
        QVERIFY(onMainThread);
        QVERIFY(!(*process)->isRunning());
    }

    void signalledChildReportsNonZero() {
        const QTemporaryDir dir;
        QProcessLauncher launcher;
        std::optional<qint32> status;
        auto process = launcher.launch(fixturePlan(u"stubborn"_s, dir), [&](qint32 code) { status = code; });
        QVERIFY(process);
        QTRY_VERIFY(QFileInfo::exists(dir.filePath(u"ready"_s)));
        (*process)->kill();
        QTRY_VERIFY(status.has_value());
        QCOMPARE(*status, SIGKILL);
    }

    void crashingServerIsRestartedWithinTheBudget() {
        const QTemporaryDir dir;
        QList<ServerState> states;
        RealSupervisor real;
        real.supervisor.onStateChange = [&](const ServerState& state) { states.append(state); };
        real.supervisor.start(fixturePlan(u"crash"_s, dir));
        QTRY_COMPARE(real.supervisor.state(), ServerState::failed(ServerFailure::Exited{3}));
        QCOMPARE(real.supervisor.launches(), 4);
        const auto runs =
            std::count_if(states.cbegin(), states.cend(), [](const ServerState& s) { return s.isRunning(); });
        QCOMPARE(runs, 4);
    }

    // A secret that cannot be handed over (the pipe broke) fails the launch in words, and the child that
    // was started for it is stopped rather than left running without its secret.
    void aFailedHandoverStopsTheChildAndFailsTheLaunch() {
        const QTemporaryDir dir;
        const QString ready = dir.filePath(u"ready"_s);
        const auto brokenPipe = [ready](const LocalAdminSecret&, UniqueFd pipe) {
            // The child sees end of file and records itself; only then does the handover fail.
            pipe.reset();
            for (int wait = 0; wait < 500 && !QFileInfo::exists(ready); ++wait)
                QThread::msleep(10);
            return std::expected<void, LocalAdminHandover::HandoverError>(
                std::unexpected(LocalAdminHandover::HandoverError{EPIPE}));
        };
        ServerSupervisor supervisor{std::make_shared<FreePort>(),
                                    std::make_shared<QProcessLauncher>(brokenPipe), CrashRestarts::standard(),
                                    [] { return QCoro::sleepFor(20ms); }};
        ServerLaunchPlan plan = fixturePlan(u"serve"_s, dir, {{u"CORVANE_SECRETS_ON_STDIN"_s, u"1"_s}});
        plan.localAdminSecret = *LocalAdminSecret::mint();
        supervisor.start(plan);
        QCOMPARE(supervisor.state(),
                 ServerState::failed(ServerFailure::LaunchFailed{u"writeFailed(code: 32)"_s}));
        const pid_t pid = contentOf(ready).toInt();
        QVERIFY(pid > 0);
        QTRY_VERIFY(!processAlive(pid));
    }

    void serverThatIgnoresSigtermIsKilledAtQuit() {
        const QTemporaryDir dir;
        RealSupervisor real;
        real.supervisor.start(fixturePlan(u"stubborn"_s, dir));
        QTRY_VERIFY(QFileInfo::exists(dir.filePath(u"ready"_s)));
        const pid_t pid = contentOf(dir.filePath(u"ready"_s)).toInt();
        QVERIFY(processAlive(pid));
        QElapsedTimer clock;
        clock.start();
        QCoro::waitFor(real.supervisor.stopAndWait());
        QVERIFY(clock.elapsed() >= 48 * 20 - 50); // it waited out the pauses before the hard kill
        QTRY_VERIFY(!processAlive(pid));
    }

    void serverEndsWhenTheApplicationIsKilled() {
        const QTemporaryDir dir;
        QProcess host;
        host.start(QStringLiteral(LAUNCHER_HOST), {QStringLiteral(FIXTURE_SERVER), dir.path()});
        QVERIFY(host.waitForStarted());
        QTRY_VERIFY(QFileInfo::exists(dir.filePath(u"ready"_s)));
        QTRY_VERIFY(host.canReadLine());
        const pid_t server = host.readLine().trimmed().toInt();
        QVERIFY(server > 0);
        QVERIFY(processAlive(server));
        ::kill(static_cast<pid_t>(host.processId()), SIGKILL);
        QVERIFY(host.waitForFinished());
        QTRY_VERIFY(!processAlive(server));
    }

    void portProbe_data() {
        QTest::addColumn<QHostAddress>("listenOn");
        QTest::newRow("loopback") << QHostAddress(QHostAddress::LocalHost);
        QTest::newRow("every IPv4 address") << QHostAddress(QHostAddress::AnyIPv4);
    }
    void portProbe() {
        QFETCH(QHostAddress, listenOn);
        QTcpServer server;
        QVERIFY(server.listen(listenOn));
        const int port = server.serverPort();
        SocketPortProbe probe;
        QVERIFY(probe.isBusy(port));
        server.close();
        QVERIFY(!probe.isBusy(port));
    }
};

QTEST_GUILESS_MAIN(TestProcessLauncher)
#include "tst_ProcessLauncher.moc"

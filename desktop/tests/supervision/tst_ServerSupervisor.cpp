#include "support/FakeProcesses.h"
#include "support/TestSupport.h"

#include <corvane/supervision/ServerSupervisor.h>

#include <QTest>
#include <qcorotask.h>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;
using namespace std::chrono_literals;

namespace {

ServerLaunchPlan planOn(int port, const QString& name = u"a"_s) {
    return ServerLaunchPlan{.executable = u"/usr/bin/node"_s, .arguments = {name}, .port = port};
}

// A supervisor over fakes, with a clock the test moves and a pause that only counts.
struct Harness {
    std::shared_ptr<FakeProbe> probe = std::make_shared<FakeProbe>();
    std::shared_ptr<FakeLauncher> launcher = std::make_shared<FakeLauncher>();
    CrashRestarts::Clock::time_point now{};
    int pauses = 0;
    std::function<void(int)> onPause;
    QStringList seen;
    ServerSupervisor supervisor{probe, launcher,
                                CrashRestarts{.limit = 3, .window = 300s, .now = [this] { return now; }},
                                [this]() -> QCoro::Task<> {
                                    ++pauses;
                                    if (onPause)
                                        onPause(pauses);
                                    co_return;
                                }};

    Harness() {
        supervisor.onStateChange = [this](const ServerState& state) { seen.append(debugText(state)); };
    }
    QStringList take() { return std::exchange(seen, {}); }

    // Brings the supervisor into a named state, then forgets what it reported on the way.
    void prepare(const QString& from) {
        if (from == u"running"_s) {
            supervisor.start(planOn(9111));
        } else if (from == u"failed(portBusy)"_s) {
            probe->busyFor(1);
            supervisor.start(planOn(9111));
        } else if (from == u"failed(exited)"_s) {
            supervisor.start(planOn(9111));
            for (int crash = 1; crash <= 4; ++crash)
                launcher->exit(crash, 1);
        } else if (from == u"failed(launchFailed)"_s) {
            launcher->failWith = u"boom"_s;
            supervisor.start(planOn(9111));
            launcher->failWith.reset();
        }
        take();
    }
};

} // namespace

class TestServerSupervisor : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void transitions_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("event");
        QTest::addColumn<QStringList>("reported");
        const QStringList launched{u"starting"_s, u"running(1001)"_s};
        QTest::newRow("stopped, start") << u"stopped"_s << u"start"_s << launched;
        QTest::newRow("failed(portBusy), start") << u"failed(portBusy)"_s << u"start"_s << launched;
        QTest::newRow("failed(launchFailed), start")
            << u"failed(launchFailed)"_s << u"start"_s << QStringList{u"starting"_s, u"running(1002)"_s};
        QTest::newRow("failed(exited), start: fresh budget")
            << u"failed(exited)"_s << u"start"_s << QStringList{u"starting"_s, u"running(1005)"_s};
        QTest::newRow("stopped, start on a busy port")
            << u"stopped"_s << u"start busy"_s << QStringList{u"failed(portBusy(9111))"_s};
        QTest::newRow("stopped, start, launcher fails")
            << u"stopped"_s << u"start failing"_s
            << QStringList{u"starting"_s, u"failed(launchFailed(ENOENT))"_s};
        QTest::newRow("running, start: nothing") << u"running"_s << u"start"_s << QStringList{};
        QTest::newRow("running, clean exit") << u"running"_s << u"exit 0"_s << QStringList{u"stopped"_s};
        QTest::newRow("running, crash with budget")
            << u"running"_s << u"exit 1"_s << QStringList{u"starting"_s, u"running(1002)"_s};
        QTest::newRow("running, crash relaunch on a busy port")
            << u"running"_s << u"exit 1 busy"_s << QStringList{u"failed(portBusy(9111))"_s};
        QTest::newRow("running, stop") << u"running"_s << u"stop"_s << QStringList{u"stopped"_s};
        QTest::newRow("stopped, stop reports again")
            << u"stopped"_s << u"stop"_s << QStringList{u"stopped"_s};
        QTest::newRow("failed, stop") << u"failed(exited)"_s << u"stop"_s << QStringList{u"stopped"_s};
        QTest::newRow("running, restart, port freed")
            << u"running"_s << u"restart"_s << QStringList{u"stopped"_s, u"starting"_s, u"running(1002)"_s};
        QTest::newRow("stopped, restart, port freed")
            << u"stopped"_s << u"restart"_s << QStringList{u"stopped"_s, u"starting"_s, u"running(1001)"_s};
        QTest::newRow("running, restart, port never freed")
            << u"running"_s << u"restart busy"_s
            << QStringList{u"stopped"_s, u"failed(didNotRelease(9111))"_s};
        QTest::newRow("running, stopAndWait")
            << u"running"_s << u"stopAndWait"_s << QStringList{u"stopped"_s};
        QTest::newRow("failed, stopAndWait")
            << u"failed(portBusy)"_s << u"stopAndWait"_s << QStringList{u"stopped"_s};
    }
    void transitions() {
        QFETCH(QString, from);
        QFETCH(QString, event);
        QFETCH(QStringList, reported);
        Harness h;
        h.prepare(from);
        const int previousLaunches = static_cast<int>(h.launcher->plans.size());
        if (event == u"start"_s) {
            h.supervisor.start(planOn(9111));
        } else if (event == u"start busy"_s) {
            h.probe->busyFor(1);
            h.supervisor.start(planOn(9111));
        } else if (event == u"start failing"_s) {
            h.launcher->failWith = u"ENOENT"_s;
            h.supervisor.start(planOn(9111));
        } else if (event.startsWith(u"exit"_s)) {
            if (event.endsWith(u"busy"_s))
                h.probe->busyFor(1);
            h.launcher->exit(previousLaunches, event.section(u' ', 1, 1).toInt());
        } else if (event == u"stop"_s) {
            h.supervisor.stop();
        } else if (event == u"restart"_s) {
            QCoro::waitFor(h.supervisor.restart(planOn(9111)));
        } else if (event == u"restart busy"_s) {
            h.probe->busyFor(-1);
            QCoro::waitFor(h.supervisor.restart(planOn(9111)));
        } else if (event == u"stopAndWait"_s) {
            QCoro::waitFor(h.supervisor.stopAndWait());
        }
        QCOMPARE(h.take(), reported);
    }

    void crashBudget() {
        Harness h;
        h.supervisor.start(planOn(9111));
        for (int crash = 1; crash <= 3; ++crash) {
            h.now += 10s;
            h.launcher->exit(crash, 1);
            QCOMPARE(h.supervisor.state(), ServerState::running(1001 + crash));
        }
        h.now += 10s;
        h.launcher->exit(4, 7);
        QCOMPARE(h.supervisor.state(), ServerState::failed(ServerFailure::Exited{7}));
        QCOMPARE(h.launcher->plans.size(), 4);
        QCOMPARE(h.supervisor.state().failure()->message(), u"The server stopped on its own (code 7)."_s);
    }

    void crashWindowSlides() {
        Harness h;
        h.supervisor.start(planOn(9111));
        for (int crash = 1; crash <= 3; ++crash)
            h.launcher->exit(crash, 1);
        h.now += 301s; // the three earlier crashes have left the window
        h.launcher->exit(4, 1);
        QCOMPARE(h.supervisor.state(), ServerState::running(1005));
        h.now += 1s;
        h.launcher->exit(5, 1);
        h.launcher->exit(6, 1);
        QCOMPARE(h.supervisor.state(), ServerState::running(1007));
        h.launcher->exit(7, 1); // fourth within 300 s of the one at 301 s
        QCOMPARE(h.supervisor.state(), ServerState::failed(ServerFailure::Exited{1}));
    }

    void staleExitsAreIgnored() {
        Harness h;
        h.supervisor.start(planOn(9111));
        h.launcher->exit(1, 1); // relaunched as attempt 2
        h.take();
        h.launcher->exit(1, 9); // a second report for attempt 1
        h.launcher->exit(1, 0);
        QCOMPARE(h.take(), QStringList{});
        QCOMPARE(h.supervisor.state(), ServerState::running(1002));

        h.supervisor.stop();
        h.take();
        h.launcher->exit(2, 143); // the terminated process ends after stop
        QCOMPARE(h.take(), QStringList{});
        QCOMPARE(h.supervisor.state(), ServerState::stopped());
        QCOMPARE(h.launcher->processes[1]->terminations, 1);
    }

    // A stopped server that takes its time to end is let go of once it has ended, not only at the next
    // stop: switched back and forth quickly, every one of them would be held until then.
    void aStoppedServerIsLetGoOfOnceItEnds() {
        Harness h;
        for (int launch = 1; launch <= 3; ++launch) {
            h.launcher->nextIgnoresTerminate = true;
            QCoro::waitFor(h.supervisor.restart(planOn(9111)));
        }
        h.supervisor.stop();
        for (int launch = 1; launch <= 3; ++launch) {
            QCOMPARE(h.launcher->processes[launch - 1].use_count(), 2); // the launcher's and the supervisor's
            h.launcher->exit(launch, 143);
            QCOMPARE(h.launcher->processes[launch - 1].use_count(), 1); // the launcher's alone
        }
    }

    void failedLaunchCountsButBusyPortDoesNot() {
        Harness h;
        h.launcher->failWith = u"no such file"_s;
        h.supervisor.start(planOn(9111, u"first"_s));
        QCOMPARE(h.supervisor.launches(), 1);
        QCOMPARE(h.supervisor.state().failure()->message(),
                 u"The server could not be started: no such file"_s);
        h.launcher->exit(1, 1); // a late exit of the half-started process
        QCOMPARE(h.supervisor.state(), ServerState::failed(ServerFailure::LaunchFailed{u"no such file"_s}));

        h.launcher->failWith.reset();
        h.supervisor.start(planOn(9111, u"second"_s));
        h.probe->busyFor(1);
        h.launcher->exit(2, 1); // crash; the relaunch finds the port busy
        QCOMPARE(h.supervisor.launches(), 2);
        QCOMPARE(h.supervisor.state(), ServerState::failed(ServerFailure::PortBusy{9111}));
        QCOMPARE(h.supervisor.state().failure()->message(),
                 u"Port 9111 is already in use. Kestrin did not start a second server."_s);
        QCOMPARE(h.launcher->plans.size(), 2);
    }

    void restartWaitsForThePort_data() {
        QTest::addColumn<int>("busyProbes");
        QTest::addColumn<int>("pauses");
        QTest::addColumn<int>("probes");
        QTest::addColumn<QString>("finalState");
        QTest::newRow("free at once") << 0 << 0 << 2 << u"running(1002)"_s;
        QTest::newRow("freed at the fifth probe") << 4 << 4 << 6 << u"running(1002)"_s;
        QTest::newRow("freed at the last probe") << 39 << 39 << 41 << u"running(1002)"_s;
        QTest::newRow("never freed") << -1 << 39 << 40 << u"failed(didNotRelease(9111))"_s;
    }
    void restartWaitsForThePort() {
        QFETCH(int, busyProbes);
        QFETCH(int, pauses);
        QFETCH(int, probes);
        QFETCH(QString, finalState);
        Harness h;
        h.supervisor.start(planOn(9111));
        h.probe->busyFor(busyProbes);
        QCoro::waitFor(h.supervisor.restart(planOn(9111)));
        QCOMPARE(h.pauses, pauses);
        QCOMPARE(h.probe->probes, probes); // the wait's probes, plus the launch's own check
        QCOMPARE(debugText(h.supervisor.state()), finalState);
        if (finalState.startsWith(u"failed"_s)) {
            QCOMPARE(
                h.supervisor.state().failure()->message(),
                u"Kestrin stopped the server, but port 9111 is still busy. Wait a moment and try again."_s);
        }
    }

    // While restart waits for the port, something else may start the server; restart must not launch twice.
    void restartDoesNotLaunchOverAServerStartedMeanwhile() {
        Harness h;
        h.supervisor.start(planOn(9111));
        h.probe->busyFor(2);
        h.onPause = [&](int pause) {
            if (pause == 2) {
                h.probe->busyFor(0);
                h.supervisor.start(planOn(9111, u"meanwhile"_s));
            }
        };
        QCoro::waitFor(h.supervisor.restart(planOn(9111, u"restart"_s)));
        QCOMPARE(h.launcher->plans.size(), 2);
        QCOMPARE(h.launcher->plans.last().arguments, QStringList{u"meanwhile"_s});
        QVERIFY(h.supervisor.state().isRunning());
    }

    void stopAndWait_data() {
        QTest::addColumn<bool>("hasChild");
        QTest::addColumn<bool>("ignoresTerminate");
        QTest::addColumn<int>("exitsAfterPauses"); // 0: ends on SIGTERM at once
        QTest::addColumn<int>("pauses");
        QTest::addColumn<int>("kills");
        QTest::newRow("nothing running returns at once") << false << false << 0 << 0 << 0;
        QTest::newRow("prompt server") << true << false << 0 << 0 << 0;
        QTest::newRow("server that needs two pauses") << true << true << 2 << 2 << 0;
        QTest::newRow("server that ignores SIGTERM") << true << true << -1 << 48 << 1;
    }
    void stopAndWait() {
        QFETCH(bool, hasChild);
        QFETCH(bool, ignoresTerminate);
        QFETCH(int, exitsAfterPauses);
        QFETCH(int, pauses);
        QFETCH(int, kills);
        Harness h;
        h.launcher->nextIgnoresTerminate = ignoresTerminate;
        if (hasChild)
            h.supervisor.start(planOn(9111));
        h.onPause = [&](int pause) {
            if (pause == exitsAfterPauses)
                h.launcher->processes.first()->running = false;
        };
        QCoro::waitFor(h.supervisor.stopAndWait());
        QCOMPARE(h.pauses, pauses);
        QCOMPARE(h.supervisor.state(), ServerState::stopped());
        if (hasChild) {
            QCOMPARE(h.launcher->processes.first()->terminations, 1);
            QCOMPARE(h.launcher->processes.first()->kills, kills);
        }
    }

    void quittingIsForGood() {
        Harness h;
        h.supervisor.start(planOn(9111));
        QCoro::waitFor(h.supervisor.stopAndWait());
        h.take();
        h.supervisor.start(planOn(9111));
        QCoro::waitFor(h.supervisor.restart(planOn(9111)));
        h.launcher->exit(1, 1);
        QCOMPARE(h.launcher->plans.size(), 1);
        QCOMPARE(h.take(), QStringList{u"stopped"_s}); // the restart's own stop; no launch follows
        QCOMPARE(h.supervisor.state(), ServerState::stopped());
    }

    void stoppedProcessesAreWaitedForAtQuit() {
        Harness h;
        h.launcher->nextIgnoresTerminate = true;
        h.supervisor.start(planOn(9111));
        h.supervisor.stop(); // still running, now only remembered as stopping
        h.launcher->nextIgnoresTerminate = false;
        h.supervisor.start(planOn(9111));
        QCoro::waitFor(h.supervisor.stopAndWait());
        QCOMPARE(h.pauses, 48);
        QCOMPARE(h.launcher->processes[0]->kills, 1);
        QCOMPARE(h.launcher->processes[1]->kills, 0);
    }
};

QTEST_GUILESS_MAIN(TestServerSupervisor)
#include "tst_ServerSupervisor.moc"

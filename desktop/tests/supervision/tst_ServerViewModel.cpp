// The server view model: every rule of its start, clock, reads, network changes and quitting.

#include "support/ServerViewModelFixture.h"

#include <corvane/status/RefreshPolicy.h>
#include <corvane/support/OneShot.h>

#include <corvane/ServerViewModel.h>
#include <corvane/terminal/TerminalFace.h>

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <qcorotask.h>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;
using namespace std::chrono_literals;

class TestServerViewModel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void startsTheServerAndReadsWhatTheMenuShows() {
        Fixture f;
        f.server->setup = setupDownloading;
        f.startRunning();
        const ServerViewModel& model = *f.model;
        QCOMPARE(f.launcher->plans.size(), 1);
        QCOMPARE(model.menuStatus().headline, u"ON"_s);
        QCOMPARE(model.instructions(), std::optional(DialInstructions(DialInstructions::Dial{
                                           u"studio.local:9111"_s, {u"192.168.1.5:9111"_s}})));
        QCOMPARE(model.voice()->state, VoiceStatus::State::downloading);
        QCOMPARE(model.pairingCode()->code, u"111111"_s);
        QCOMPARE(model.readProblem(), std::nullopt);
        QVERIFY(model.keepingAwake());
        QVERIFY(model.isClockRunning());
        // The admin secret goes to the server and with every request.
        QCOMPARE(f.launcher->plans[0].localAdminSecret, f.model->localAdmin());
    }

    void twoStartsBeforeTheShellAnswersLaunchOnce() {
        Fixture f;
        f.shell->gate = OneShot<bool>();
        f.make();
        f.model->start();
        f.model->start();
        settle();
        QCOMPARE(f.launcher->plans.size(), 0);
        f.shell->gate->set(true);
        settle();
        QCOMPARE(f.shell->runs, 1);
        QCOMPARE(f.launcher->plans.size(), 1);
    }

    void aPlanThatCannotBeBuiltIsAProblemAndLaunchesNothing() {
        Fixture f;
        f.nodeMissing = true;
        f.make();
        f.model->start();
        settle();
        QCOMPARE(f.launcher->plans.size(), 0);
        QVERIFY(f.model->setupProblem().has_value());
        QCOMPARE(f.model->menuStatus().headline, u"PROBLEM"_s);
        QCOMPARE(f.model->menuStatus().sentence, f.model->setupProblem());

        // A new attempt builds the plan again and clears the problem.
        f.nodeMissing = false;
        f.model->start();
        settle();
        QCOMPARE(f.launcher->plans.size(), 1);
        QCOMPARE(f.model->setupProblem(), std::nullopt);
    }

    void readsTheStoredNetworkPreference_data() {
        QTest::addColumn<std::optional<QString>>("stored");
        QTest::addColumn<NetworkPreference>("expected");
        QTest::newRow("nothing") << std::optional<QString>() << NetworkPreference::thisComputerOnly;
        QTest::newRow("home network") << std::optional(u"home-network"_s) << NetworkPreference::homeNetwork;
        QTest::newRow("garbage") << std::optional(u"everyone"_s) << NetworkPreference::thisComputerOnly;
    }

    void readsTheStoredNetworkPreference() {
        QFETCH(std::optional<QString>, stored);
        QFETCH(NetworkPreference, expected);
        Fixture f;
        if (stored)
            f.defaults->values.insert(u"networkPreference"_s, *stored);
        f.make();
        QCOMPARE(f.model->networkPreference(), expected);
    }

    void theSamePreferenceAgainDoesNothing() {
        Fixture f;
        f.startRunning();
        f.model->setNetworkPreference(NetworkPreference::thisComputerOnly);
        settle();
        QCOMPARE(f.defaults->writes, 0);
        QCOMPARE(f.launcher->plans.size(), 1);
        QVERIFY(!f.model->isApplyingNetworkChange());
    }

    void aPreferenceChosenWhileStoppedAppliesAtTheNextStart() {
        Fixture f;
        f.make();
        f.model->setNetworkPreference(NetworkPreference::homeNetwork);
        settle();
        QCOMPARE(f.defaults->values.value(u"networkPreference"_s).toString(), u"home-network"_s);
        QCOMPARE(f.launcher->plans.size(), 0);
        f.startRunning();
        QCOMPARE(f.launcher->plans.last().environment.value(u"BIND_HOST"_s), u"0.0.0.0"_s);
    }

    void aNetworkChangeRestartsTheServerWithTheNewExposure() {
        Fixture f;
        f.startRunning();
        QCOMPARE(f.launcher->plans[0].environment.value(u"BIND_HOST"_s), u"127.0.0.1"_s);
        QList<bool> applying;
        connect(f.model.get(), &ServerViewModel::isApplyingNetworkChangeChanged, this,
                [&] { applying.append(f.model->isApplyingNetworkChange()); });
        f.model->setNetworkPreference(NetworkPreference::homeNetwork);
        settle();
        QCOMPARE(applying, (QList<bool>{true, false}));
        QCOMPARE(f.launcher->plans.size(), 2);
        QCOMPARE(f.launcher->plans[1].environment.value(u"BIND_HOST"_s), u"0.0.0.0"_s);
        QVERIFY(!f.launcher->processes[0]->running);
        QVERIFY(f.model->state().isRunning());
        QCOMPARE(f.model->state(), ServerState::running(f.launcher->processes[1]->pid));
    }

    void aFailedPlanDuringANetworkChangeLeavesTheOldServerRunning() {
        Fixture f;
        f.startRunning();
        f.nodeMissing = true;
        f.model->setNetworkPreference(NetworkPreference::homeNetwork);
        settle();
        QCOMPARE(f.launcher->plans.size(), 1);
        QVERIFY(f.launcher->processes[0]->running);
        QVERIFY(f.model->state().isRunning());
        QCOMPARE(f.model->menuStatus().headline, u"PROBLEM"_s);
        QCOMPARE(f.model->networkPreference(), NetworkPreference::homeNetwork);
        QVERIFY(!f.model->isApplyingNetworkChange());
    }

    void theRealClockTicksAndEndsWithItsRun() {
        Fixture f;
        f.realClock = true;
        f.startRunning();
        // Each tick comes a whole second after the one before, never early (a coarse timer may fire
        // up to 5% early, which would make countdowns skip).
        QList<qint64> tickTimes;
        QElapsedTimer elapsed;
        elapsed.start();
        connect(f.model.get(), &ServerViewModel::nowChanged, this, [&] {
            tickTimes.append(elapsed.elapsed());
            f.now += 1s; // so that the next tick is a change too
        });
        f.now += 1s;
        QTRY_COMPARE_WITH_TIMEOUT(tickTimes.size(), 3, 5000);
        for (qsizetype i = 1; i < tickTimes.size(); ++i)
            QVERIFY2(tickTimes[i] - tickTimes[i - 1] >= 1000, qPrintable(debugText(tickTimes)));
        // Cancelling ends the waiting clock at once; a wait left behind would show as a leak.
        f.model->supervisor().stop();
        QVERIFY(!f.model->isClockRunning());
    }

    void stoppingClearsTheReadoutsAtOnce() {
        Fixture f;
        f.server->setup = setupDownloading;
        f.startRunning();
        f.server->failing.insert(u"POST /api/pair/code"_s);
        f.model->newPairingCode();
        settle();
        QVERIFY(f.model->readProblem() && f.model->instructions() && f.model->voice() &&
                f.model->pairingCode());
        QCOMPARE(f.assertions->held(), 1);

        f.model->supervisor().stop();
        QCOMPARE(f.model->menuStatus().headline, u"OFF"_s);
        QCOMPARE(f.model->instructions(), std::nullopt);
        QCOMPARE(f.model->voice(), std::nullopt);
        QCOMPARE(f.model->pairingCode(), std::nullopt);
        QCOMPARE(f.model->readProblem(), std::nullopt);
        QVERIFY(!f.model->keepingAwake());
        QCOMPARE(f.assertions->held(), 0);
        QVERIFY(!f.model->isClockRunning());

        // The clock's pending tick ends the old clock without a request.
        const int before = f.server->total();
        f.advance(1);
        settle();
        QCOMPARE(f.server->total(), before);
    }

    void aReadBegunBeforeTheServerStoppedIsDropped() {
        Fixture f;
        f.startRunning();
        f.server->gate = OneShot<bool>();
        f.model->refresh();
        f.model->supervisor().stop();
        f.server->gate->set(true);
        settle();
        QCOMPARE(f.model->instructions(), std::nullopt);
        QCOMPARE(f.model->pairingCode(), std::nullopt);
    }

    void asksForVoiceProgressOnlyWhileTheModelWorks() {
        Fixture f;
        f.startRunning(); // voice ready
        QCOMPARE(f.count(u"GET /api/setup"_s), 1);
        f.advance(30);
        // Only the keep-awake reads at 15 and 30 seconds.
        QCOMPARE(f.count(u"GET /api/setup"_s), 3);

        f.server->setup = setupDownloading;
        f.model->refresh();
        settle();
        QCOMPARE(f.count(u"GET /api/setup"_s), 4);
        f.advance(30);
        // Six voice reads (every 5 seconds) and two keep-awake reads.
        QCOMPARE(f.count(u"GET /api/setup"_s), 12);
    }

    // Each periodic read lands on its own second: voice progress at 5, the keep-awake wish at 15, the
    // pairing code at 30, and not a second before.
    void periodicReadsTakeEffectOnTheirSecond() {
        Fixture f;
        f.server->setup = setupDownloading;
        f.startRunning();
        f.server->setup = QByteArray(setupDownloading).replace(R"("loadedMB":10)", R"("loadedMB":60)");
        f.advance(4);
        QCOMPARE(f.model->voice()->loadedMB, std::optional<qint64>(10));
        f.advance(1);
        QCOMPARE(f.model->voice()->loadedMB, std::optional<qint64>(60));

        // The voice model is ready, so only the keep-awake read can bring the server's new wish.
        f.server->setup = QByteArray(setupReady).replace("}}", R"(},"keepAwake":true})");
        f.advance(5); // the voice read at 10 s still runs: it sees the model ready
        QCOMPARE(f.model->voice()->state, VoiceStatus::State::ready);
        QVERIFY(f.model->keepingAwake()); // carried by that read
        f.server->setup = QByteArray(setupReady).replace("}}", R"(},"keepAwake":false})");
        f.advance(4);
        QVERIFY(f.model->keepingAwake());
        f.advance(1);
        QVERIFY(!f.model->keepingAwake()); // at 15 s

        f.server->code = R"({"code":"333333","expiresAt":4102444800000})";
        f.advance(14);
        QCOMPARE(f.model->pairingCode()->code, u"111111"_s);
        f.advance(1);
        QCOMPARE(f.model->pairingCode()->code, u"333333"_s); // at 30 s
    }

    // A new run of the server starts its clock from 0: the pairing code of the new run is read again
    // 30 seconds after it began, not when the old run's count would have reached 30.
    void aNewRunCountsFromZero() {
        Fixture f;
        f.startRunning();
        f.advance(20);
        f.model->supervisor().stop();
        f.model->start();
        settle();
        QVERIFY(f.model->state().isRunning());
        f.ticks.takeFirst().set(true); // the stopped run's clock, still waiting, ends
        settle();
        const int codeReads = f.count(u"GET /api/pair/code"_s);
        f.advance(10);
        QCOMPARE(f.count(u"GET /api/pair/code"_s), codeReads);
        f.advance(20);
        QCOMPARE(f.count(u"GET /api/pair/code"_s), codeReads + 1);
    }

    // A plan that could not be built stays the setup problem while the server restarts after a crash,
    // until a plan is built again.
    void theSetupProblemLastsUntilTheNextPlan() {
        Fixture f;
        f.startRunning();
        f.nodeMissing = true;
        f.model->setNetworkPreference(NetworkPreference::homeNetwork);
        settle();
        const std::optional<QString> problem = f.model->setupProblem();
        QVERIFY(problem);
        f.launcher->exit(1, 1); // the server crashes and the supervisor starts it again
        settle();
        QCOMPARE(f.launcher->plans.size(), 2);
        QVERIFY(f.model->state().isRunning());
        QCOMPARE(f.model->setupProblem(), problem);

        f.nodeMissing = false;
        f.model->setNetworkPreference(NetworkPreference::thisComputerOnly);
        settle();
        QCOMPARE(f.model->setupProblem(), std::nullopt);
    }

    void periodicReadsStayWithinTheBudget_data() {
        QTest::addColumn<bool>("answering");
        QTest::addColumn<int>("periodicSetupReads");
        // The worst case for an answering server: the voice model never finishes downloading, so its
        // progress is read every 5 seconds besides the keep-awake reads every 15.
        QTest::newRow("voice model downloading") << true << 900 / 5 + 900 / 15;
        // A server that never answers its first read is tried again each second while it starts up,
        // then only the keep-awake reads go on: no further reloads.
        QTest::newRow("never answering") << false << 5 + 900 / 15;
    }
    void periodicReadsStayWithinTheBudget() {
        QFETCH(bool, answering);
        QFETCH(int, periodicSetupReads);
        Fixture f;
        f.server->setup = setupDownloading;
        if (!answering)
            f.server->failing.insert(u"GET /api/setup"_s);
        f.startRunning();
        const QMap<QString, int> atStart = f.server->counts;
        f.advance(900);
        const int pairingReads = f.count(u"GET /api/pair/code"_s) - atStart.value(u"GET /api/pair/code"_s);
        const int setupReads = f.count(u"GET /api/setup"_s) - atStart.value(u"GET /api/setup"_s);
        qInfo(
            "900 s: %d periodic pairing-code reads, %d setup reads; %d requests in all, %d of them at start",
            pairingReads, setupReads, f.server->total(),
            atStart.value(u"GET /api/setup"_s) + atStart.value(u"GET /api/pair/code"_s));
        QCOMPARE(pairingReads, RefreshPolicy::periodicRequestsPerWindow);
        QCOMPARE(setupReads, periodicSetupReads);
        QCOMPARE(f.server->total(), f.count(u"GET /api/setup"_s) + f.count(u"GET /api/pair/code"_s));
    }

    void aFailedCodeReadKeepsTheOldCode() {
        Fixture f;
        f.startRunning();
        const auto code = f.model->pairingCode();
        QVERIFY(code);
        f.server->failing.insert(u"GET /api/pair/code"_s);
        f.advance(30);
        QCOMPARE(f.model->pairingCode(), code);
        QCOMPARE(f.model->readProblem(), std::nullopt); // periodic failures are silent

        f.server->failing.insert(u"GET /api/setup"_s);
        f.model->refresh();
        settle();
        QCOMPARE(f.model->readProblem(), u"Kestrin could not reach the server on this computer."_s);
        QCOMPARE(f.model->pairingCode(), code);
        QVERIFY(f.model->instructions().has_value());
    }

    void givesAStartingServerTimeBeforeNotReachingItIsAProblem() {
        Fixture f;
        f.server->failing.insert(u"GET /api/setup"_s); // launched, not listening yet
        f.startRunning();
        QCOMPARE(f.model->readProblem(), std::nullopt); // still checking
        f.advance(4);
        QCOMPARE(f.count(u"GET /api/setup"_s), 1 + 4); // tried again every second
        QCOMPARE(f.model->readProblem(), std::nullopt);
        f.advance(1);
        QCOMPARE(f.model->readProblem(), u"Kestrin could not reach the server on this computer."_s);

        f.advance(25);
        // Then only the clock's own reads: keep-awake at 15 and 30, the pairing code at 30.
        QCOMPARE(f.count(u"GET /api/setup"_s), 1 + 5 + 2);
        QCOMPARE(f.count(u"GET /api/pair/code"_s), 1);

        // Showing the menu reads everything again.
        f.server->failing.clear();
        f.model->refresh();
        settle();
        QVERIFY(f.model->instructions().has_value());
        QCOMPARE(f.model->readProblem(), std::nullopt);
    }

    void aWrongAnswerAtStartIsAProblemAtOnce() {
        Fixture f;
        f.server->setup = R"({"port":9111})"; // answers, but not what Kestrin can read
        f.startRunning();
        QCOMPARE(f.model->readProblem(), u"Kestrin got an answer it could not read."_s);
    }

    void makesANewPairingCode() {
        Fixture f;
        f.startRunning();
        f.model->newPairingCode();
        settle();
        QCOMPARE(f.model->pairingCode()->code, u"222222"_s);

        f.server->created = R"({"code":"","expiresAt":null})";
        f.model->newPairingCode();
        settle();
        QCOMPARE(f.model->readProblem(), u"Kestrin got an answer it could not read."_s);
        QCOMPARE(f.model->pairingCode()->code, u"222222"_s);
    }

    void noNewCodeWhileStopped() {
        Fixture f;
        f.make();
        f.model->newPairingCode();
        settle();
        QCOMPARE(f.server->total(), 0);
    }

    void publishesTheLoginItem() {
        Fixture f;
        f.loginItems->current = LoginItemStatus::enabled;
        f.make();
        QVERIFY(f.model->startsAtLogin());
        QCOMPARE(f.model->loginMessage(), u"Kestrin starts when you log in."_s);
        f.model->loginItem().setEnabled(false);
        f.model->publishLoginItem();
        QVERIFY(!f.model->startsAtLogin());
        QCOMPARE(f.model->loginMessage(), u"Kestrin does not start on its own."_s);
    }

    void writesTheSecretForASmokeTest() {
        QTemporaryDir dir;
        Fixture f;
        f.environment.insert(u"CORVANE_WRITE_ADMIN_SECRET"_s, dir.filePath(u"secret"_s));
        f.make();
        QCOMPARE(contentOf(dir.filePath(u"secret"_s)), f.model->localAdmin()->hex().toLatin1());
    }

    void printsWhatTheMenuWouldShow() {
        Fixture f;
        f.server->setup = setupDownloading;
        f.startRunning();
        const TerminalReadout running = TerminalReadout::of(*f.model);
        const QString pid = QString::number(f.launcher->processes[0]->pid);
        QCOMPARE(running.lines,
                 (QStringList{
                     u"Kestrin ON · PORT 9111 · PROCESS "_s + pid,
                     u"Voice: Downloading the voice model"_s,
                     u"Keeping this computer awake while Kestrin is in use"_s,
                     u"Type this into Kestrin on your phone: studio.local:9111  (or 192.168.1.5:9111)"_s,
                     u"Then type this code: 111111"_s,
                     NetworkPreferences::explanation(NetworkPreference::thisComputerOnly),
                 }));
        QVERIFY(running.countdown && running.countdown->startsWith(u"GOOD FOR "_s));

        f.model->supervisor().stop();
        const TerminalReadout stopped = TerminalReadout::of(*f.model);
        QCOMPARE(stopped.lines,
                 (QStringList{u"Kestrin OFF"_s, u"Your phone can't reach Kestrin while it's off."_s}));
        QCOMPARE(stopped.countdown, std::nullopt);
    }

    void quitsAfterTheServerHasStopped() {
        Fixture f;
        f.startRunning();
        int answered = 0;
        f.model->quitAfterServerStops([&] { ++answered; });
        settle();
        QCOMPARE(answered, 1);
        QVERIFY(!f.launcher->processes[0]->running);
    }
};

QTEST_GUILESS_MAIN(TestServerViewModel)
#include "tst_ServerViewModel.moc"

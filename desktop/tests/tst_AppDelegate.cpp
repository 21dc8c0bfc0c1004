// The held quit: a quit waits for the server to stop, happens once however often it is asked, and a
// SIGTERM or Ctrl-C is the same quit.

#include "ServerViewModelFixture.h"

#include <corvane/AppDelegate.h>
#include <corvane/AppQuit.h>

#include <QTest>

#include <csignal>

using namespace corvane;

class TestAppDelegate : public QObject {
    Q_OBJECT

    struct Harness {
        Fixture f;
        QList<bool> answers;
        std::unique_ptr<AppDelegate> delegate;

        Harness() {
            f.make();
            delegate = std::make_unique<AppDelegate>(std::move(f.model),
                                                     [this](bool proceed) { answers.append(proceed); });
        }
        ServerViewModel& model() { return delegate->model(); }
    };

private Q_SLOTS:
    void startsTheServerWhenLaunchingHasFinished() {
        Harness h;
        QCOMPARE(h.f.launcher->plans.size(), 0);
        h.delegate->applicationDidFinishLaunching();
        settle();
        QVERIFY(h.model().state().isRunning());
    }

    void twoQuitRequestsStopTheServerOnceAndAnswerOnce() {
        Harness h;
        h.delegate->applicationDidFinishLaunching();
        settle();
        h.delegate->applicationShouldTerminate();
        AppQuit::request(); // the Quit key right after
        settle();
        QCOMPARE(h.answers, QList<bool>{true});
        QCOMPARE(h.f.launcher->processes[0]->terminations, 1);
        QVERIFY(!h.f.launcher->processes[0]->running);
    }

    void theQuitWaitsForAServerThatIsSlowToStop() {
        Harness h;
        h.f.launcher->nextIgnoresTerminate = true;
        h.delegate->applicationDidFinishLaunching();
        settle();
        h.delegate->applicationShouldTerminate();
        settle();
        // The supervisor's pause is immediate here, so its wait ends in a kill, and only then the answer.
        QCOMPARE(h.answers, QList<bool>{true});
        QCOMPARE(h.f.launcher->processes[0]->kills, 1);
    }

    void terminationSignalsAreTheHeldQuit_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("Ctrl-C") << SIGINT;
    }

    void terminationSignalsAreTheHeldQuit() {
        QFETCH(int, signal);
        Harness h;
        h.delegate->applicationDidFinishLaunching();
        settle();
        std::raise(signal);
        std::raise(signal);
        QTRY_COMPARE(h.answers, QList<bool>{true});
        QCOMPARE(h.f.launcher->processes[0]->terminations, 1);
    }

    void theLastStepReleasesEverything() {
        Harness h;
        h.f.server->setup = setupDownloading; // the server wants the computer awake
        h.delegate->applicationDidFinishLaunching();
        settle();
        QVERIFY(h.model().keepingAwake());
        h.delegate->applicationWillTerminate();
        QVERIFY(!h.model().isClockRunning());
        QVERIFY(!h.model().state().isRunning());
        QVERIFY(!h.model().keepingAwake());
        QCOMPARE(h.f.assertions->held(), 0);
    }

    void mintsTheProcessSecret() { QVERIFY(AppDelegate::localAdmin().has_value()); }
};

QTEST_GUILESS_MAIN(TestAppDelegate)
#include "tst_AppDelegate.moc"

// The held quit: a quit waits for the server to stop, happens once however often it is asked, and a
// SIGTERM or Ctrl-C is the same quit.

#include "support/ServerViewModelFixture.h"

#include <corvane/AppDelegate.h>
#include <corvane/AppQuit.h>
#include <corvane/TerminationSignal.h>

#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace corvane;

class TestAppDelegate : public QObject {
    Q_OBJECT

    struct Harness {
        Fixture f;
        QList<bool> answers;
        std::function<void()> onAnswer = [] {};
        std::unique_ptr<AppDelegate> delegate;

        Harness() {
            f.make();
            delegate = std::make_unique<AppDelegate>(std::move(f.model), [this](bool proceed) {
                answers.append(proceed);
                onAnswer();
            });
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

    // A quit while the login shell is still being asked tells it to stop, lets the start it was for
    // wind down, and starts no server.
    void aQuitWhileTheLoginShellIsAskedEndsTheAskingAndStartsNoServer() {
        Harness h;
        h.f.shell->gate = OneShot<bool>();
        h.delegate->applicationDidFinishLaunching();
        h.delegate->applicationShouldTerminate();
        settle();
        QCOMPARE(h.f.shell->cancels, 1);
        QCOMPARE(h.answers, QList<bool>{true});
        QCOMPARE(h.f.launcher->plans.size(), 0);
    }

    // A quit that comes just after the login shell answered, before the start waiting for that answer
    // has run, still lets that start wind down before answering: nothing is left waiting when the
    // application ends.
    void aQuitJustAfterTheLoginShellAnsweredWaitsForTheStart() {
        Harness h;
        h.f.shell->gate = OneShot<bool>();
        std::optional<bool> plansUnderWayAtTheAnswer;
        h.onAnswer = [&] { plansUnderWayAtTheAnswer = h.model().isMakingAPlan(); };
        h.delegate->applicationDidFinishLaunching();
        settle();
        h.f.shell->gate->set(true); // the shell answers on the next turn, and the quit comes right after
        QTimer::singleShot(0, h.delegate.get(), [&] { h.delegate->applicationShouldTerminate(); });
        settle();
        QCOMPARE(plansUnderWayAtTheAnswer, std::optional(false));
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

    // A later listener takes the signals over; the earlier one going away leaves them held, so a
    // signal after that is still the later listener's and never the default action's.
    void aSecondListenerReleasesTheFirstAndTheSignalsStayHeld() {
        QList<int> first;
        QList<int> second;
        auto earlier = std::make_unique<TerminationSignal>([&](int signal) { first.append(signal); });
        TerminationSignal later([&](int signal) { second.append(signal); });
        std::raise(SIGTERM);
        QTRY_COMPARE(second, QList<int>{SIGTERM});
        earlier.reset();
        std::raise(SIGINT);
        QTRY_COMPARE(second, (QList<int>{SIGTERM, SIGINT}));
        QCOMPARE(first, QList<int>());
    }

    // Held from the first line of main: a signal that comes before anyone listens waits for the first
    // listener instead of ending the process.
    void aSignalBeforeAnyListenerWaitsForTheFirst() {
        TerminationSignal::hold();
        std::raise(SIGTERM);
        QList<int> heard;
        TerminationSignal listener([&](int signal) { heard.append(signal); });
        QTRY_COMPARE(heard, QList<int>{SIGTERM});
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

    // A test copy's variables are in the environment before the models read it: the secret file that
    // one of them asks for is written while the server's model is built.
    void theTestCopyEnvironmentComesFirst() {
        const QTemporaryDir home;
        const QString secretFile = home.filePath(u"secret"_s);
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(u"config"_s)));
        qunsetenv("CORVANE_WRITE_ADMIN_SECRET");
        const AppBundle bundle{
            .path = home.path(),
            .info = {{u"CFBundleIdentifier"_s, u"com.mossgate.corvane.mac.updatetest"_s},
                     {u"CVTestCopyEnvironment"_s,
                      QVariantMap{{u"CORVANE_WRITE_ADMIN_SECRET"_s, secretFile}}}},
        };
        {
            const AppDelegate delegate(bundle);
            QCOMPARE(contentOf(secretFile), AppDelegate::localAdmin()->hex().toLatin1());
        }
        qunsetenv("CORVANE_WRITE_ADMIN_SECRET");
        qunsetenv("XDG_CONFIG_HOME");
    }

    void mintsTheProcessSecret() { QVERIFY(AppDelegate::localAdmin().has_value()); }

    // Every screen's model is built at start, the live-previews switch's too, though a face is given
    // it only in a build that offers the switch; none of them asks the server anything until shown.
    void buildsEveryScreensModelAtStart() {
        const QTemporaryDir home;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(u"config"_s)));
        const AppDelegate delegate(AppBundle{.path = home.path(), .info = {}});
        QVERIFY(delegate.welcome() && delegate.approval() && delegate.previews());
        QCOMPARE(delegate.offeredPreviews(), LaunchFlags::livePreviewsSwitch ? delegate.previews() : nullptr);
        QCoreApplication::processEvents(); // whatever start-up posted has run
        QCOMPARE(delegate.approval()->stage(), ApprovalScreenStage{});
        QCOMPARE(delegate.previews()->stage(), PreviewsSwitchStage{});
        qunsetenv("XDG_CONFIG_HOME");
    }
};

QTEST_GUILESS_MAIN(TestAppDelegate)
#include "tst_AppDelegate.moc"

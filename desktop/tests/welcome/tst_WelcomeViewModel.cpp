// The welcome's model over a scripted setup API, fake developer tools and folder answers, a clock the
// test sets and a poll the test ticks: where it lands, how it moves, its actions and what it stores.

#include "support/WelcomeFixture.h"

#include <corvane/welcome/DeveloperToolsWords.h>

#include <corvane/terminal/TerminalWelcome.h>

#include <QSignalSpy>
#include <QTest>

using namespace corvane;

class TestWelcomeViewModel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsStoredAnswersAndCallsNobodyWhenBuilt() {
        Welcome w;
        w.defaults->values.insert(FolderAccess::storedAnswersKey.toString(),
                                  QVariantMap{{u"desktop"_s, u"allowed"_s}, {u"music"_s, u"allowed"_s}});
        w.make();
        QCOMPARE(w.model->folderAnswers(),
                 (FolderAccessAnswers{{ProtectedFolder::desktop, FolderAccessAnswer::allowed}}));
        QCOMPARE(w.model->step(), WelcomeStep::folder);
        QCOMPARE(w.model->toolsStage(), DeveloperToolsStage::checking);
        settle();
        QCOMPARE(w.server->counts.size(), 0);
        QCOMPARE(w.tools->checks, 0);

        Welcome junk; // a stored value that is not a map of words reads as no answers
        junk.defaults->values.insert(FolderAccess::storedAnswersKey.toString(), u"desktop=allowed"_s);
        junk.make();
        QVERIFY(junk.model->folderAnswers().isEmpty());
    }

    // With the server down the welcome shows the folder step, not ready, and no error; when the
    // server comes up it lands once on the first unfinished step, and later only moves forward.
    void landsOnceWhenTheServerAnswers() {
        Welcome w;
        w.server->down = true;
        w.make();
        w.model->start();
        settle();
        QCOMPARE(w.model->step(), WelcomeStep::folder);
        QVERIFY(!w.model->serverReady());
        QCOMPARE(w.model->actionError(), std::nullopt);
        QCOMPARE(w.model->toolsStage(), DeveloperToolsStage::missing); // the tools are checked all the same
        QVERIFY(w.model->showsToolsStep());

        w.server->down = false;
        w.tick();
        QVERIFY(w.model->serverReady());
        QCOMPARE(w.model->step(), WelcomeStep::tools);
    }

    // A server that does not run is not asked at all; the tools are looked for all the same.
    void aStoppedServerIsNotAsked() {
        Welcome w;
        w.serverRunning = false;
        w.make();
        w.model->start();
        settle();
        w.tick();
        QCOMPARE(w.server->counts.size(), 0);
        QCOMPARE(w.tools->checks, 2);
        QVERIFY(!w.model->serverReady());
        w.serverRunning = true;
        w.tick();
        QVERIFY(w.model->serverReady());
    }

    void toolsFoundAtFirstAreNeverLookedForAgain() {
        Welcome w;
        w.tools->status = DeveloperToolsStatus::ready;
        w.make();
        w.model->start();
        settle();
        w.tick();
        w.tick();
        QCOMPARE(w.tools->checks, 1);
        QVERIFY(!w.model->showsToolsStep());
        QCOMPARE(w.model->toolsStage(), DeveloperToolsStage::ready);
        QCOMPARE(w.model->step(), WelcomeStep::folder); // the first unfinished step
    }

    // Installing counts as settled at once, so the welcome moves on; an installer not seen running
    // 15 s after the start unsettles the tools again, and the welcome stays where it is.
    void anInstallMovesOnAndAClosedInstallerIsSaidSo() {
        Welcome w;
        w.make();
        w.model->start();
        settle();
        QCOMPARE(w.model->step(), WelcomeStep::tools);
        w.model->installDeveloperTools();
        QCOMPARE(w.model->toolsStage(), DeveloperToolsStage::installing);
        settle();
        QCOMPARE(w.tools->installs, 1);
        QVERIFY(w.model->facts().developerToolsSettled);
        QCOMPARE(w.model->step(), WelcomeStep::folder);

        w.now += 15s;
        w.tick();
        QCOMPARE(w.model->toolsStage(), DeveloperToolsStage::installerClosed);
        QVERIFY(!w.model->facts().developerToolsSettled);
        QCOMPARE(w.model->step(), WelcomeStep::folder);
        QVERIFY(w.model->showsToolsStep()); // decided once, at the first check

        w.tools->running = true; // seen again
        w.tick();
        QCOMPARE(w.model->toolsStage(), DeveloperToolsStage::installing);
        w.tools->status = DeveloperToolsStatus::ready;
        w.tick();
        QCOMPARE(w.model->toolsStage(), DeveloperToolsStage::ready);
    }

    // The model says what the tools can be installed with, as the last check found. With nothing, no
    // install is started, so the tools stay missing rather than end as a closed installer, and the
    // terminal says how to get them; an installer found later is used.
    void withNothingToInstallWithNoInstallStarts() {
        Welcome w;
        w.tools->installsWith = DeveloperToolsInstaller::none;
        w.make();
        w.model->start();
        settle();
        QCOMPARE(w.model->toolsInstaller(), DeveloperToolsInstaller::none);
        w.model->installDeveloperTools();
        settle();
        QCOMPARE(w.tools->installs, 0);
        QCOMPARE(w.model->toolsStage(), DeveloperToolsStage::missing);
        w.now += 15s;
        w.tick();
        QCOMPARE(w.model->toolsStage(), DeveloperToolsStage::missing);
        QCOMPARE(w.model->step(), WelcomeStep::tools);
        QVERIFY(TerminalWelcome::lines(*w.model).contains(
            DeveloperToolsWords::status(DeveloperToolsStage::missing, DeveloperToolsInstaller::none)
                .toString()));

        w.tools->installsWith = DeveloperToolsInstaller::softwareCentre;
        w.tick();
        QCOMPARE(w.model->toolsInstaller(), DeveloperToolsInstaller::softwareCentre);
        w.model->installDeveloperTools();
        settle();
        QCOMPARE(w.tools->installs, 1);
        QCOMPARE(w.model->toolsStage(), DeveloperToolsStage::installing);
    }

    // A chosen folder is not enough: the folders must be answered, one pass at a time, each answer
    // stored as it comes; then the welcome moves on.
    void theFolderStepWaitsForTheAnswers() {
        Welcome w;
        w.tools->status = DeveloperToolsStatus::ready;
        w.server->setProjectsConfigured(true);
        w.make();
        w.model->start();
        settle();
        QCOMPARE(w.model->step(), WelcomeStep::folder);
        w.tick();
        QCOMPARE(w.model->step(), WelcomeStep::folder);

        w.folders->gate = OneShot<bool>();
        w.model->allowFolderAccess();
        QCOMPARE(w.model->askingFolder(), std::optional(ProtectedFolder::desktop));
        w.model->allowFolderAccess(); // a second pass while the first asks: nothing
        w.folders->gate->set(true);
        settle();
        QCOMPARE(w.folders->asked,
                 (QList{ProtectedFolder::desktop, ProtectedFolder::documents, ProtectedFolder::downloads}));
        QCOMPARE(w.model->askingFolder(), std::nullopt);
        QCOMPARE(w.defaults->values.value(FolderAccess::storedAnswersKey.toString()).toMap(),
                 (QVariantMap{{u"desktop"_s, u"allowed"_s},
                              {u"documents"_s, u"denied"_s},
                              {u"downloads"_s, u"absent"_s}}));
        QVERIFY(w.defaults->writes >= 3); // stored after each answer
        QVERIFY(w.model->facts().folderAccessSettled);
        QCOMPARE(w.model->step(), WelcomeStep::agent);
    }

    void decliningSettlesTheFoldersForGood() {
        Welcome w;
        w.tools->status = DeveloperToolsStatus::ready;
        w.make();
        w.model->start();
        settle();
        w.model->declineFolderAccess();
        settle();
        QCOMPARE(w.defaults->values.value(FolderAccess::declinedKey.toString()), QVariant(true));
        QVERIFY(w.model->facts().folderAccessSettled);
        QCOMPARE(w.model->step(), WelcomeStep::folder); // still no folder

        w.chosenFolder = u"/home/me/src"_s;
        w.server->setProjectsConfigured(true); // the server's answer to the choice
        QVERIFY(w.busyWhile([&] { w.model->chooseFolder(); }));
        QVERIFY(!w.model->busy());
        QCOMPARE(w.model->folderOutcome()->cwd, u"/home/me/src"_s);
        QVERIFY(w.server->bodies.contains(R"({"path":"/home/me/src"})"));
        QCOMPARE(w.model->step(), WelcomeStep::agent);
        QCOMPARE(w.model->readout().at(2), (ReadoutRow{u"FOLDER"_s, u"SRC"_s, ReadoutLamp::ok}));
    }

    // Each action's failure is said in the server's words, with busy cleared and the step kept; the
    // next success clears it; a refresh does not.
    void actionsSayTheirFailuresAndClearThemOnSuccess() {
        Welcome w;
        w.tools->status = DeveloperToolsStatus::ready;
        w.make();
        w.model->start();
        settle();
        w.server->replies[u"POST /api/setup/agents/codex/login"_s] = {
            409, R"({"error":"A sign-in is already under way."})"};
        QVERIFY(w.busyWhile([&] { w.model->startCodexLogin(); }));
        QVERIFY(!w.model->busy());
        QCOMPARE(w.model->actionError(), std::optional(u"A sign-in is already under way."_s));
        w.tick();
        QCOMPARE(w.model->actionError(), std::optional(u"A sign-in is already under way."_s));

        w.server->replies.remove(u"POST /api/setup/agents/codex/login"_s);
        w.server->replies.insert(u"POST /api/setup/agents/codex/login"_s, {200, challengeReply});
        w.model->startCodexLogin();
        settle();
        QCOMPARE(w.model->actionError(), std::nullopt);
        QCOMPARE(w.model->challenge()->userCode, u"ABCD-EFGH"_s);

        // Signing in with a Claude key instead: the challenge goes at the next refresh.
        w.server->replies[u"GET /api/setup/agents"_s].second = ScriptedSetup::agents(true, false);
        w.model->saveClaudeKey(u" sk-ant-key "_s);
        settle();
        QVERIFY(w.server->bodies.contains(R"({"apiKey":" sk-ant-key "})")); // exactly as typed
        QCOMPARE(w.model->challenge(), std::nullopt);
        QVERIFY(w.model->facts().agentSignedIn);

        w.server->down = true;
        w.model->saveCodexKey(u"sk-key"_s);
        settle();
        QCOMPARE(w.model->actionError(),
                 std::optional(u"Kestrin could not reach the server on this computer."_s));
    }

    void cancellingTheCodexSignInClearsItAtOnce() {
        Welcome w;
        w.make();
        w.model->cancelCodexLogin(); // nothing showing: nothing sent
        settle();
        QCOMPARE(w.server->counts.value(u"POST /api/setup/agents/codex/login/cancel"_s), 0);
        w.model->startCodexLogin();
        settle();
        w.model->cancelCodexLogin();
        QCOMPARE(w.model->challenge(), std::nullopt);
        settle();
        QCOMPARE(w.server->counts.value(u"POST /api/setup/agents/codex/login/cancel"_s), 1);
        QVERIFY(w.server->bodies.last().contains("L1"));
    }

    // The code is read only while on the phone step, one cycle after landing there; a new code is
    // shown at once; a failed read clears it.
    void thePairingCodeIsReadOnlyOnThePhoneStep() {
        Welcome w;
        w.setUpAllButThePhone();
        w.make();
        w.model->start();
        settle();
        QCOMPARE(w.model->step(), WelcomeStep::phone);
        QCOMPARE(w.server->counts.value(u"GET /api/pair/code"_s), 0);
        w.tick();
        QCOMPARE(w.model->pairingCode()->code, u"111111"_s);
        QVERIFY(!w.busyWhile([&] { w.model->newPairingCode(); }));
        QCOMPARE(w.model->pairingCode()->code, u"222222"_s);
        w.server->replies[u"GET /api/pair/code"_s] = {500, "not json"};
        w.tick();
        QCOMPARE(w.model->pairingCode(), std::nullopt);

        // The phone pairs: the welcome is done, and the code is no longer read.
        w.server->replies[u"GET /api/pair/devices"_s].second =
            R"({"devices":[{"id":"g","name":"Glasses"},{"id":"p","name":"Ana’s Pixel"}]})";
        w.tick();
        QCOMPARE(w.model->step(), WelcomeStep::done);
        QCOMPARE(w.model->pairedDeviceName(), std::optional(u"Ana’s Pixel"_s));
        QVERIFY(w.model->glassesPaired());
        const int reads = w.server->counts.value(u"GET /api/pair/code"_s);
        w.tick();
        QCOMPARE(w.server->counts.value(u"GET /api/pair/code"_s), reads);
    }

    void skipGoBackAndFinish() {
        Welcome w;
        w.setUpAllButThePhone();
        w.make();
        w.model->start();
        settle();
        QCOMPARE(w.model->step(), WelcomeStep::phone);
        w.model->skip();
        QCOMPARE(w.model->step(), WelcomeStep::done);
        w.model->skip(); // nothing after done
        QCOMPARE(w.model->step(), WelcomeStep::done);
        w.model->goBackToSkipped();
        QCOMPARE(w.model->step(), WelcomeStep::phone);
        QVERIFY(!w.model->isCompleted());
        w.model->finish();
        QCOMPARE(w.defaults->values.value(u"welcomeCompleted"_s), QVariant(true));
        QVERIFY(w.model->isCompleted());
    }

    // A stop while a cycle waits for the server: the cycle finishes when the answer comes, and no
    // other follows.
    void aStopWhileACycleWaits() {
        Welcome w;
        w.tools->status = DeveloperToolsStatus::ready;
        w.make();
        w.server->gate = OneShot<bool>();
        w.model->start();
        settle();
        QCOMPARE(w.server->counts.value(u"GET /api/setup"_s), 1);
        w.model->stop();
        w.server->gate->set(true);
        w.server->gate.reset();
        settle();
        QVERIFY(w.model->serverReady()); // the cycle in flight finished
        QVERIFY(w.pauses.isEmpty());     // and no pause, so no next cycle
        w.tick();
        QCOMPARE(w.server->counts.value(u"GET /api/setup"_s), 1);
    }

    // Stopped, the poll asks nothing; started again, it keeps the step where the person left it.
    void stoppingEndsThePollAndAReopenKeepsTheStep() {
        Welcome w;
        w.setUpAllButThePhone();
        w.make();
        w.model->start();
        settle();
        w.model->skip();
        QCOMPARE(w.model->step(), WelcomeStep::done);
        w.model->stop();
        QVERIFY(!w.model->isPolling());
        const int requests = w.server->counts.value(u"GET /api/setup"_s);
        w.tick();
        QCOMPARE(w.server->counts.value(u"GET /api/setup"_s), requests);
        w.model->start();
        w.model->start(); // once
        settle();
        QCOMPARE(w.server->counts.value(u"GET /api/setup"_s), requests + 1);
        QCOMPARE(w.model->step(), WelcomeStep::done); // no second landing
        QCOMPARE(w.pauses.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestWelcomeViewModel)
#include "tst_WelcomeViewModel.moc"

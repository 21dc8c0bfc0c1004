// The glasses setup over a scripted adb, a scripted server and a ledger in memory: the plan's decision
// table, each stage's words, and whole setups from the button to the last stage, with the command
// lines adb was given, the keys revoked and recorded, and the checks made.

#include "support/ScriptedAdb.h"

#include <corvane/glasses/AdbDownload.h>
#include <corvane/glasses/GlassesReadout.h>
#include <corvane/glasses/GlassesSetup.h>
#include <corvane/glasses/GlassesSetupPlan.h>
#include <corvane/support/OneShot.h>

#include <corvane/GlassesViewModel.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <qcorotask.h>

#include <unistd.h>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;

namespace {

using Stage = GlassesSetupStage;
using Result = GlassesSetupResult;
using Action = GlassesSetupAction;

const QString glassesListing =
    u"List of devices attached\nSER123 device usb:1-1 product:RayNeoX2 model:ARGF20 transport_id:3\n"_s;
const QString phoneListing =
    u"List of devices attached\nPHONE device usb:1-1 product:oriole model:Pixel_6\n"_s;
const QString ownPackage = u"package:com.corvane.app  installer=com.corvane.app\n"_s;
const QString wlan = u"30: wlan0    inet 192.168.1.20/24 brd 192.168.1.255 scope global wlan0\n"_s;
const QString loopbackOnly = u"1: lo    inet 127.0.0.1/8 scope host lo\n"_s;

ScriptedAdb::Answer says(const QString& output) {
    return AdbResult{output, 0};
}

const GlassesLink glasses{GlassesLink::Ready{ConnectedDevice{u"S"_s, u"ARGF20"_s, std::nullopt}}};
const std::optional<InstalledGlassesApp> own = InstalledGlassesApp{u"com.corvane.app"_s};
const std::optional<InstalledGlassesApp> byHand = InstalledGlassesApp{u"com.android.shell"_s};

class MemoryLedger final : public GlassesKeyLedger {
public:
    QHash<QString, QStringList> entries;
    QStringList keys(const QString& serial) const override { return entries.value(serial); }
    void record(const QStringList& keys, const QString& serial) override { entries.insert(serial, keys); }
};

class FakeServer final : public GlassesServer {
public:
    GlassesHandshake answer{GlassesHandshake::Connect{u"ws://192.168.1.7:8787/ws"_s,
                                                      u"http://192.168.1.7:8787"_s, u"tok"_s, u"D2"_s}};
    int connectsOnCheck = 1; // 0: never
    std::optional<OneShot<bool>> checkGate;
    std::optional<GlassesNetwork> askedFor;
    int checks = 0;
    QStringList revoked;

    QCoro::Task<GlassesHandshake> handshake(std::optional<GlassesNetwork> network) override {
        askedFor = network;
        co_return answer;
    }
    QCoro::Task<bool> hasConnected(QString) override {
        if (checkGate)
            co_await *checkGate;
        ++checks;
        co_return connectsOnCheck > 0 && checks >= connectsOnCheck;
    }
    QCoro::Task<> revoke(QString deviceId) override {
        revoked.append(deviceId);
        co_return;
    }
};

class FakeProvider final : public GlassesToolProvider {
public:
    std::expected<QString, AdbProvisionError> answer = u"/support/platform-tools/adb"_s;
    int fetches = 0;
    int stops = 0;
    // While set and not yet delivered, a fetch waits for it: a download under way.
    std::optional<OneShot<bool>> transfer;
    QCoro::Task<std::expected<QString, AdbProvisionError>> fetch(QString) override {
        ++fetches;
        if (transfer)
            co_await *transfer;
        co_return answer;
    }
    void stop() override {
        ++stops;
        if (transfer)
            transfer->set(false); // the fetch ends; its answer is left as it was, a helper or not
    }
};

// A setup with everything around it, the glasses plugged in and on Wi-Fi, the app not yet on them.
struct Fixture {
    std::shared_ptr<ScriptedAdb> adb = std::make_shared<ScriptedAdb>();
    std::shared_ptr<FakeServer> server = std::make_shared<FakeServer>();
    std::shared_ptr<FakeProvider> provider = std::make_shared<FakeProvider>();
    std::shared_ptr<MemoryLedger> ledger = std::make_shared<MemoryLedger>();
    AdbSource source{AdbSource::OnDisk{u"/support/platform-tools/adb"_s, true}};
    QStringList runnersMade;
    int pauses = 0;
    int connectionChecks = 30;
    bool helperRunsHere = true;
    BundledGlassesApp app{u"/app/Contents/Resources/corvane-glasses.apk"_s, 4096, u"1.3"_s, 13};
    QList<Stage> stages;
    std::unique_ptr<GlassesSetup> setup;

    Fixture() {
        adb->answer(u"devices"_s, {says(glassesListing)});
        adb->answer(u"shell pm list packages"_s, {says({}), says(ownPackage)});
        adb->answer(u"shell ip"_s, {says(wlan)});
        adb->answer(u"shell pm install-create"_s, {says(u"Success: created install session [7]\n"_s)});
        adb->answer(u"shell pm install-commit"_s, {says(u"Success\n"_s)});
    }
    GlassesSetup& make() {
        setup = std::make_unique<GlassesSetup>(GlassesSetup::Dependencies{
            .locate = [this] { return source; },
            .makeRunner =
                [this](const QString& path) {
                    runnersMade.append(path);
                    return adb;
                },
            .provider = provider,
            .applicationSupport = u"/support"_s,
            .app = app,
            .server = server,
            .keys = ledger,
            .connectionChecks = connectionChecks,
            .pause = [this]() -> QCoro::Task<> {
                ++pauses;
                co_return;
            },
            .helperRunsHere = helperRunsHere,
        });
        setup->onStageChange = [this](const Stage& stage) { stages.append(stage); };
        return *setup;
    }
};

Stage finished(Result result) {
    return {Stage::Finished{std::move(result)}};
}

} // namespace

class TestGlassesSetup : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void thePlan_data() {
        QTest::addColumn<GlassesLink>("link");
        QTest::addColumn<std::optional<InstalledGlassesApp>>("installed");
        QTest::addColumn<std::optional<QString>>("installedVersion");
        QTest::addColumn<std::optional<qint64>>("installedBuild");
        QTest::addColumn<std::optional<qint64>>("bundledBuild");
        QTest::addColumn<Action>("action");
        const std::optional<QString> noVersion;
        const std::optional<qint64> noBuild;
        const std::optional<InstalledGlassesApp> absent;
        const auto blocked = [](const QString& reason) { return Action{Action::CannotProceed{reason, {}}}; };
        QTest::newRow("not plugged") << GlassesLink{} << absent << noVersion << noBuild << noBuild
                                     << blocked(u"I can't see your glasses."_s);
        QTest::newRow("not trusted yet")
            << GlassesLink{GlassesLink::AwaitingApproval{}} << absent << noVersion << noBuild << noBuild
            << blocked(u"Your glasses haven't let this computer in yet."_s);
        QTest::newRow("no permission")
            << GlassesLink{GlassesLink::NoPermission{}} << absent << noVersion << noBuild << noBuild
            << blocked(u"This computer doesn't let Kestrin talk to your glasses over the cable yet."_s);
        QTest::newRow("offline") << GlassesLink{GlassesLink::NotResponding{}} << absent << noVersion
                                 << noBuild << noBuild
                                 << blocked(u"Your glasses are connected but not answering."_s);
        QTest::newRow("a phone") << GlassesLink{GlassesLink::Ready{ConnectedDevice{u"P"_s, u"Pixel_6"_s, {}}}}
                                 << own << noVersion << noBuild << noBuild
                                 << blocked(u"What's plugged in doesn't look like your glasses."_s);
        QTest::newRow("not installed") << glasses << absent << noVersion << noBuild << noBuild
                                       << Action{Action::Install{{InstallBecause::NotInstalled{}}}};
        QTest::newRow("installed by hand")
            << glasses << byHand << std::optional(u"1.3"_s) << std::optional<qint64>(13)
            << std::optional<qint64>(13) << Action{Action::Install{{InstallBecause::CannotUpdateItself{}}}};
        QTest::newRow("an older build")
            << glasses << own << std::optional(u"1.2"_s) << std::optional<qint64>(12)
            << std::optional<qint64>(13)
            << Action{Action::Install{
                   {InstallBecause::NewerAvailable{u"1.2 (build 12)"_s, u"1.3 (build 13)"_s}}}};
        QTest::newRow("an older build of unknown version")
            << glasses << own << noVersion << std::optional<qint64>(12) << std::optional<qint64>(13)
            << Action{
                   Action::Install{{InstallBecause::NewerAvailable{u"? (build 12)"_s, u"1.3 (build 13)"_s}}}};
        QTest::newRow("a newer build")
            << glasses << own << std::optional(u"1.2"_s) << std::optional<qint64>(14)
            << std::optional<qint64>(13) << Action{Action::AlreadySetUp{u"1.2"_s}};
        QTest::newRow("no builds, same version") << glasses << own << std::optional(u"1.3"_s) << noBuild
                                                 << noBuild << Action{Action::AlreadySetUp{u"1.3"_s}};
        QTest::newRow("no builds, another version")
            << glasses << own << std::optional(u"1.4"_s) << noBuild << std::optional<qint64>(13)
            << Action{Action::Install{{InstallBecause::NewerAvailable{u"1.4"_s, u"1.3"_s}}}};
        QTest::newRow("no builds, no version")
            << glasses << own << noVersion << noBuild << noBuild
            << Action{Action::Install{{InstallBecause::NewerAvailable{{}, u"1.3"_s}}}};
    }
    void thePlan() {
        QFETCH(GlassesLink, link);
        QFETCH(std::optional<InstalledGlassesApp>, installed);
        QFETCH(std::optional<QString>, installedVersion);
        QFETCH(std::optional<qint64>, installedBuild);
        QFETCH(std::optional<qint64>, bundledBuild);
        QFETCH(Action, action);
        Action decided = GlassesSetupPlan::decide(link, installed, installedVersion, u"1.3"_s, installedBuild,
                                                  bundledBuild);
        if (auto* blocked = std::get_if<Action::CannotProceed>(&decided.value)) {
            QVERIFY(!blocked->whatToDo.isEmpty());
            blocked->whatToDo.clear(); // the reason names the row; the advice is checked by the window
        }
        QVERIFY(decided == action);
    }

    void eachStagesWords_data() {
        QTest::addColumn<Stage>("stage");
        QTest::addColumn<QString>("headline");
        QTest::addColumn<std::optional<QString>>("detail");
        QTest::addColumn<bool>("busy");
        QTest::addColumn<bool>("retry");
        const std::optional<QString> none;
        QTest::newRow("idle") << Stage{} << u"Set up your glasses"_s
                              << std::optional(
                                     u"Plug your glasses into this computer and Kestrin will do the rest."_s)
                              << false << false;
        QTest::newRow("asking") << Stage{Stage::AskingToFetchTool{}} << AdbDownload::consentTitle.toString()
                                << std::optional(AdbDownload::consentBody.toString()) << false << false;
        QTest::newRow("updating") << Stage{Stage::Installing{{InstallBecause::NewerAvailable{
                                         u"1.2 (build 12)"_s, u"1.3 (build 13)"_s}}}}
                                  << u"Updating Kestrin on your glasses…"_s
                                  << std::optional(u"Bringing them up to version 1.3 (build 13)."_s) << true
                                  << false;
        QTest::newRow("repairing") << Stage{Stage::Installing{{InstallBecause::CannotUpdateItself{}}}}
                                   << u"Repairing Kestrin on your glasses…"_s
                                   << std::optional(
                                          u"They can't currently get their own updates. Putting it on again "
                                          u"fixes that for good. Nothing you've done on them will be lost."_s)
                                   << true << false;
        QTest::newRow("wi-fi off") << Stage{Stage::Connecting{true}}
                                   << u"Waiting for your glasses to connect…"_s
                                   << std::optional(
                                          u"Their wi-fi is off — wake them up so they can join it."_s)
                                   << true << false;
        QTest::newRow("ready") << finished({Result::Installed{u"1.3"_s}}) << u"Your glasses are ready."_s
                               << std::optional(
                                      u"Kestrin 1.3 is on your glasses, and they'll keep themselves up to "
                                      u"date from now on."_s)
                               << false << false;
        QTest::newRow("already, version unknown")
            << finished({Result::AlreadySetUp{}}) << u"Your glasses are already set up."_s << none << false
            << false;
        QTest::newRow("cannot reach")
            << finished({Result::InstalledButCannotReach{u"1.3"_s, u"R."_s, u"W."_s}})
            << u"Kestrin is on your glasses, but they can't reach this computer yet."_s
            << std::optional(u"R. W."_s) << false << true;
        QTest::newRow("blocked") << Stage{Stage::Blocked{u"R"_s, u"W"_s}} << u"R"_s << std::optional(u"W"_s)
                                 << false << true;
        QTest::newRow("failed") << Stage{Stage::Failed{u"M"_s}} << u"M"_s << none << false << true;
        QTest::newRow("stopped") << Stage{Stage::Stopped{u"M"_s}} << u"M"_s << none << false << true;
    }
    void eachStagesWords() {
        QFETCH(Stage, stage);
        QFETCH(QString, headline);
        QFETCH(std::optional<QString>, detail);
        QFETCH(bool, busy);
        QFETCH(bool, retry);
        QCOMPARE(stage.headline(), headline);
        QCOMPARE(stage.detail(), detail);
        QCOMPARE(stage.isBusy(), busy);
        QCOMPARE(stage.offersRetry(), retry);
    }

    // A first setup with our own adb: read, install, hand over, wait, done; then our adb server stops.
    void aFirstSetup() {
        Fixture f;
        f.server->connectsOnCheck = 2;
        f.ledger->entries.insert(u"SER123"_s, {u"D1"_s, u"D2"_s});
        QCoro::waitFor(f.make().begin());
        QCOMPARE(f.stages,
                 (QList<Stage>{Stage{Stage::Checking{}},
                               Stage{Stage::Installing{{InstallBecause::NotInstalled{}}}},
                               Stage{Stage::Connecting{false}}, finished({Result::Installed{u"1.3"_s}})}));
        QCOMPARE(
            f.adb->commands.mid(0, 4),
            (QStringList{
                u"devices -l"_s, u"shell pm list packages -i com.corvane.app"_s,
                u"shell dumpsys package com.corvane.app"_s,
                u"push /app/Contents/Resources/corvane-glasses.apk /data/local/tmp/corvane-install.apk"_s}));
        QVERIFY(f.adb->commands.contains(u"shell pm install-create -r -i com.corvane.app -S 4096"_s));
        const qsizetype handed = f.adb->commands.indexOf(u"shell < 'am' 'force-stop' 'com.corvane.app'"_s);
        QVERIFY(handed > 0);
        QCOMPARE(f.adb->commands.at(handed - 1), u"shell ip -4 -o addr show"_s);
        QVERIFY(f.adb->commands.at(handed + 1).endsWith(u"'--es' 'ws_auth_token' 'tok'"_s));
        // The key went to the device's shell, in no command line of this computer.
        for (const QStringList& arguments : std::as_const(f.adb->argumentLists))
            QVERIFY2(!arguments.join(u' ').contains(u"tok"_s), qPrintable(arguments.join(u' ')));
        QCOMPARE(f.adb->commands.last(), u"kill-server"_s);
        QCOMPARE(f.server->askedFor, std::optional(GlassesNetwork{u"192.168.1.20"_s, 24}));
        QCOMPARE(f.server->checks, 2);
        QCOMPARE(f.pauses, 1);
        QCOMPARE(f.server->revoked, QStringList{u"D1"_s}); // the older key; the working one stays
        QCOMPARE(f.ledger->entries.value(u"SER123"_s), QStringList{u"D2"_s});
    }

    // Someone else's adb is left running; glasses already current go straight to the handshake.
    void alreadySetUpWithAnotherAdb() {
        Fixture f;
        f.source = {AdbSource::OnDisk{u"/opt/homebrew/bin/adb"_s, false}};
        f.adb->answer(u"shell pm list packages"_s, {says(ownPackage)});
        f.adb->answer(u"shell dumpsys"_s, {says(u"    versionCode=14 minSdk=29\n    versionName=1.2\n"_s)});
        QCoro::waitFor(f.make().begin());
        QCOMPARE(f.runnersMade, QStringList{u"/opt/homebrew/bin/adb"_s});
        QCOMPARE(f.stages.last(), finished({Result::AlreadySetUp{u"1.2"_s}}));
        QVERIFY(!f.adb->commands.contains(u"kill-server"_s));
        QVERIFY(!f.adb->commands.join(u'\n').contains(u"install-create"_s));
    }

    void aPhoneInsteadOfTheGlasses() {
        Fixture f;
        f.adb->answer(u"devices"_s, {says(phoneListing)});
        QCoro::waitFor(f.make().begin());
        const auto* blocked = std::get_if<Stage::Blocked>(&f.stages.last().value);
        QVERIFY(blocked);
        QCOMPARE(blocked->reason, u"What's plugged in doesn't look like your glasses."_s);
        QVERIFY(f.stages.last().offersRetry());
    }

    // No adb anywhere: the setup asks; declining stops it with words; the button asks again; agreeing
    // fetches, and a failed fetch says why.
    void fetchingTheHelper() {
        Fixture f;
        f.source = {};
        GlassesSetup& setup = f.make();
        QCoro::waitFor(setup.begin());
        QCOMPARE(setup.stage(), Stage{Stage::AskingToFetchTool{}});
        setup.declineFetch();
        QCOMPARE(setup.stage(), (Stage{Stage::Stopped{AdbDownload::declinedMessage.toString()}}));
        setup.declineFetch(); // not asking: nothing
        QCoro::waitFor(setup.confirmFetch());
        QCOMPARE(f.provider->fetches, 0);
        QCoro::waitFor(setup.begin());
        QCOMPARE(setup.stage(), Stage{Stage::AskingToFetchTool{}});

        f.provider->answer = std::unexpected(AdbProvisionError::notFromGoogle);
        QCoro::waitFor(setup.confirmFetch());
        QCOMPARE(setup.stage(),
                 (Stage{Stage::Failed{
                     AdbProvisionErrors::plainDescription(AdbProvisionError::notFromGoogle).toString()}}));
        QVERIFY(f.runnersMade.isEmpty());

        f.provider->answer = u"/support/platform-tools/adb"_s;
        QCoro::waitFor(setup.begin());
        f.stages.clear();
        QCoro::waitFor(setup.confirmFetch());
        QCOMPARE(f.stages.first(), Stage{Stage::FetchingTool{}});
        QCOMPARE(f.stages.at(1), Stage{Stage::Installing{{InstallBecause::NotInstalled{}}}});
        QCOMPARE(f.runnersMade, QStringList{u"/support/platform-tools/adb"_s});
        QCOMPARE(f.adb->commands.last(), u"kill-server"_s);
    }

    // A quit while the helper downloads stops the download at once, and nothing is then done to the
    // glasses, even with a helper that arrived after all.
    void aQuitStopsTheHelpersDownload() {
        Fixture f;
        f.source = {};
        f.provider->transfer = OneShot<bool>();
        GlassesSetup& setup = f.make();
        QCoro::waitFor(setup.begin());
        QCoro::Task<> fetching = setup.confirmFetch();
        QCOMPARE(setup.stage(), Stage{Stage::FetchingTool{}});
        setup.windDown();
        QCOMPARE(f.provider->stops, 1);
        QCoro::waitFor(std::move(fetching));
        QCOMPARE(setup.stage(), (Stage{Stage::Stopped{GlassesSetupWords::stoppedForQuit.toString()}}));
        QVERIFY(f.runnersMade.isEmpty());
        QVERIFY(f.adb->commands.isEmpty());
    }

    // Where Google's helper cannot run, it is not offered: the setup says to install the system's adb.
    void theHelperIsNotOfferedWhereItCannotRun() {
        Fixture f;
        f.source = {};
        f.helperRunsHere = false;
        GlassesSetup& setup = f.make();
        QCoro::waitFor(setup.begin());
        QCOMPARE(setup.stage(), (Stage{Stage::Blocked{AdbDownload::notForThisProcessor.toString(),
                                                      AdbDownload::installTheSystemsAdb.toString()}}));
        QVERIFY(setup.stage().offersRetry());
        QCoro::waitFor(setup.confirmFetch());
        QCOMPARE(f.provider->fetches, 0);
    }

    // The server answering this computer only: no connection is waited for.
    void theServerCannotBeReached() {
        Fixture f;
        f.server->answer = {GlassesHandshake::CannotReach{u"R."_s, u"W."_s}};
        QCoro::waitFor(f.make().begin());
        QCOMPARE(f.stages.last(), finished({Result::InstalledButCannotReach{u"1.3"_s, u"R."_s, u"W."_s}}));
        QVERIFY(!f.stages.contains(Stage{Stage::Connecting{false}}));
        QCOMPARE(f.server->checks, 0);
        QVERIFY(!f.adb->commands.contains(u"shell am force-stop com.corvane.app"_s));
    }

    // Glasses that never connect: every check made, the key kept for later, and the words by what
    // their Wi-Fi says now.
    void glassesThatNeverConnect_data() {
        QTest::addColumn<int>("checks");
        QTest::addColumn<QString>("wifiAfter");
        QTest::addColumn<QString>("reason");
        QTest::newRow("on wi-fi") << 30 << wlan << u"Your glasses didn't connect to this computer."_s;
        QTest::newRow("wi-fi off by then") << 30 << loopbackOnly << u"Your glasses aren't on wi-fi."_s;
        QTest::newRow("no checks at all") << 0 << wlan << u"Your glasses didn't connect to this computer."_s;
    }
    void glassesThatNeverConnect() {
        QFETCH(int, checks);
        QFETCH(QString, wifiAfter);
        QFETCH(QString, reason);
        Fixture f;
        f.server->connectsOnCheck = 0;
        f.connectionChecks = checks;
        f.adb->answer(u"shell ip"_s, {says(wlan), says(wifiAfter)});
        f.ledger->entries.insert(u"SER123"_s, {u"D1"_s});
        QCoro::waitFor(f.make().begin());
        const auto* last = std::get_if<Stage::Finished>(&f.stages.last().value);
        QVERIFY(last);
        const auto* cannot = std::get_if<Result::InstalledButCannotReach>(&last->result.value);
        QVERIFY(cannot);
        QCOMPARE(cannot->reason, reason);
        QCOMPARE(f.server->checks, checks);
        QCOMPARE(f.pauses, std::max(0, checks - 1));
        QVERIFY(f.server->revoked.isEmpty());
        QCOMPARE(f.ledger->entries.value(u"SER123"_s), (QStringList{u"D1"_s, u"D2"_s}));
    }

    // A quit while the setup waits for the glasses ends the waiting at the next check.
    void windingDownStopsTheWait() {
        Fixture f;
        f.server->connectsOnCheck = 0;
        f.server->checkGate = OneShot<bool>();
        GlassesSetup& setup = f.make();
        setup.begin();
        QCOMPARE(setup.stage(), Stage{Stage::Connecting{false}});
        setup.windDown();
        f.server->checkGate->set(true);
        QTRY_VERIFY(std::holds_alternative<Stage::Finished>(setup.stage().value));
        QCOMPARE(f.server->checks, 1);
        QCOMPARE(f.pauses, 0);
    }

    // While busy the button and the reset do nothing and publish nothing.
    void nothingWhileBusy() {
        Fixture f;
        f.server->checkGate = OneShot<bool>();
        GlassesSetup& setup = f.make();
        setup.begin();
        QCOMPARE(setup.stage(), Stage{Stage::Connecting{false}});
        const qsizetype published = f.stages.size();
        setup.begin();
        setup.reset();
        QCOMPARE(f.stages.size(), published);
        f.server->checkGate->set(true);
        QTRY_COMPARE(setup.stage(), finished({Result::Installed{u"1.3"_s}}));
        setup.reset();
        QCOMPARE(setup.stage(), Stage{});
    }

    // An install the glasses refuse, and one cut short because adb could not run.
    void aFailedInstall() {
        Fixture f;
        f.adb->answer(u"shell pm install-commit"_s, {says(u"Failure [INSTALL_FAILED_UPDATE_INCOMPATIBLE: "
                                                          u"signatures do not match]\n"_s)});
        QCoro::waitFor(f.make().begin());
        const auto* failed = std::get_if<Stage::Failed>(&f.stages.last().value);
        QVERIFY(failed);
        QVERIFY(
            failed->message.startsWith(u"There's already a different version of Kestrin on your glasses"_s));

        Fixture g;
        g.adb->answer(u"shell pm install-write"_s, {std::unexpected(u"adb did not finish."_s)});
        QCoro::waitFor(g.make().begin());
        QCOMPARE(g.stages.last(), (Stage{Stage::Failed{GlassesSetupWords::turnedDown.toString()}}));
    }

    void theReadout_data() {
        QTest::addColumn<Stage>("stage");
        QTest::addColumn<bool>("packagingProblem");
        QTest::addColumn<GlassesReadout>("readout");
        const auto readout = [](const QString& word, ReadoutLamp lamp, bool lit = false) {
            return GlassesReadout{word, lamp, lit};
        };
        QTest::newRow("no app inside")
            << Stage{Stage::Connecting{}} << true << readout(u"PROBLEM"_s, ReadoutLamp::waiting);
        QTest::newRow("idle") << Stage{} << false << readout(u"PLUG IN"_s, ReadoutLamp::off);
        QTest::newRow("checking") << Stage{Stage::Checking{}} << false
                                  << readout(u"LOOKING"_s, ReadoutLamp::working);
        QTest::newRow("asking") << Stage{Stage::AskingToFetchTool{}} << false
                                << readout(u"NEEDS YOU"_s, ReadoutLamp::live);
        QTest::newRow("fetching") << Stage{Stage::FetchingTool{}} << false
                                  << readout(u"DOWNLOADING"_s, ReadoutLamp::working);
        QTest::newRow("blocked") << Stage{Stage::Blocked{}} << false
                                 << readout(u"NEEDS YOU"_s, ReadoutLamp::waiting);
        QTest::newRow("installing") << Stage{Stage::Installing{{InstallBecause::NotInstalled{}}}} << false
                                    << readout(u"INSTALLING"_s, ReadoutLamp::working);
        QTest::newRow("repairing") << Stage{Stage::Installing{{InstallBecause::CannotUpdateItself{}}}}
                                   << false << readout(u"REPAIRING"_s, ReadoutLamp::working);
        QTest::newRow("updating") << Stage{Stage::Installing{{InstallBecause::NewerAvailable{{}, u"2"_s}}}}
                                  << false << readout(u"UPDATING"_s, ReadoutLamp::working);
        QTest::newRow("connecting") << Stage{Stage::Connecting{}} << false
                                    << readout(u"CONNECTING"_s, ReadoutLamp::working);
        QTest::newRow("not connected") << finished({Result::InstalledButCannotReach{}}) << false
                                       << readout(u"NOT CONNECTED"_s, ReadoutLamp::waiting);
        QTest::newRow("ready") << finished({Result::AlreadySetUp{}}) << false
                               << readout(u"READY"_s, ReadoutLamp::live, true);
        QTest::newRow("stopped") << Stage{Stage::Stopped{}} << false
                                 << readout(u"STOPPED"_s, ReadoutLamp::off);
        QTest::newRow("failed") << Stage{Stage::Failed{}} << false
                                << readout(u"PROBLEM"_s, ReadoutLamp::waiting);
    }
    void theReadout() {
        QFETCH(Stage, stage);
        QFETCH(bool, packagingProblem);
        QFETCH(GlassesReadout, readout);
        QVERIFY(GlassesReadout::from(stage, packagingProblem) == readout);
    }

    // The window's model: no glasses app inside means no setup at all; the button waits while busy and
    // while the setup asks; the helper's removal applies only with a helper on disk, and says so when
    // it fails.
    void theWindowsModel() {
        const GlassesViewModel unpackaged(nullptr, std::nullopt);
        QCOMPARE(unpackaged.packagingProblem(), GlassesViewModel::packagingWords.toString());
        QVERIFY(!unpackaged.canBegin());
        QCOMPARE(unpackaged.readout().word, u"PROBLEM"_s);

        QTemporaryDir support;
        Fixture f;
        f.source = {};
        f.make();
        GlassesViewModel model(std::shared_ptr<GlassesSetup>(std::move(f.setup)), support.path());
        QVERIFY(model.canBegin());
        QVERIFY(!model.hasHelper() && !model.offersRemoval());
        model.begin();
        QCOMPARE(model.stage(), Stage{Stage::AskingToFetchTool{}});
        QVERIFY(!model.canBegin());

        QVERIFY(QDir(support.path()).mkpath(u"platform-tools"_s));
        QFile adb(AdbLocator::managedPath(support.path()));
        QVERIFY(adb.open(QIODevice::WriteOnly));
        adb.close();
        adb.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(model.hasHelper());
        QVERIFY(!model.offersRemoval()); // not while the setup asks
        model.declineFetch();
        QVERIFY(model.offersRemoval());

        // A folder that cannot be emptied: the removal says why, and a later one clears it.
        QVERIFY(
            QFile::setPermissions(support.filePath(u"platform-tools"_s), QFile::ReadOwner | QFile::ExeOwner));
        model.removeHelper();
        if (::geteuid() != 0) { // root removes it all the same
            QVERIFY(model.removalProblem().has_value());
            QVERIFY(model.removalProblem()->startsWith(u"Kestrin couldn't remove it: "_s));
        }
        QFile::setPermissions(support.filePath(u"platform-tools"_s),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        model.removeHelper();
        QCOMPARE(model.removalProblem(), std::nullopt);
        QVERIFY(!model.hasHelper());
        model.reset();
        QCOMPARE(model.stage(), Stage{});
    }

    void findingTheShippedApp() {
        const auto sizeOf = [](const QString& path) -> std::optional<qint64> {
            return path == u"/res/corvane-glasses.apk"_s ? std::optional<qint64>(4096) : std::nullopt;
        };
        using BundledGlassesAppLocator::resolve;
        QCOMPARE(resolve(u"/res"_s, u"1.3"_s, u"13"_s, sizeOf),
                 (BundledGlassesApp{u"/res/corvane-glasses.apk"_s, 4096, u"1.3"_s, 13}));
        QCOMPARE(resolve(u"/res"_s, u"1.3"_s, u"+13"_s, sizeOf)->versionCode, std::optional<qint64>(13));
        QCOMPARE(resolve(u"/res"_s, u"1.3"_s, u"thirteen"_s, sizeOf)->versionCode, std::nullopt);
        QCOMPARE(resolve(u"/res"_s, u"1.3"_s, std::nullopt, sizeOf)->versionCode, std::nullopt);
        QCOMPARE(resolve(u"/res"_s, u""_s, u"13"_s, sizeOf), std::nullopt);
        QCOMPARE(resolve(std::nullopt, u"1.3"_s, u"13"_s, sizeOf), std::nullopt);
        QCOMPARE(resolve(u"/elsewhere"_s, u"1.3"_s, u"13"_s, sizeOf), std::nullopt);
        QCOMPARE(
            resolve(u"/res"_s, u"1.3"_s, u"13"_s, [](const QString&) { return std::optional<qint64>(0); }),
            std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestGlassesSetup)
#include "tst_GlassesSetup.moc"

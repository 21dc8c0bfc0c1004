// The words and lamps the menu shows: headline, dialling instructions, pairing-code tag, voice lamp.

#include "support/TestSupport.h"

#include <corvane/status/CodeReadout.h>
#include <corvane/status/DialInstructions.h>
#include <corvane/status/MenuStatus.h>

#include <QTest>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;
using namespace std::chrono_literals;

Q_DECLARE_METATYPE(ServerState)
Q_DECLARE_METATYPE(MenuStatus)
Q_DECLARE_METATYPE(SetupInfo)
Q_DECLARE_METATYPE(DialInstructions)
Q_DECLARE_METATYPE(std::optional<QString>)

class TestMenuReadouts : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void headsTheMenu_data() {
        QTest::addColumn<ServerState>("state");
        QTest::addColumn<std::optional<QString>>("setupProblem");
        QTest::addColumn<MenuStatus>("expected");

        const MenuStatus problem{u"PROBLEM"_s, ReadoutLamp::waiting, u"No Node.js found."_s, {}};
        QTest::newRow("setup problem while stopped")
            << ServerState::stopped() << std::optional(u"No Node.js found."_s) << problem;
        QTest::newRow("setup problem wins over running")
            << ServerState::running(4242) << std::optional(u"No Node.js found."_s) << problem;
        QTest::newRow("running") << ServerState::running(4242) << std::optional<QString>()
                                 << MenuStatus{
                                        u"ON"_s, ReadoutLamp::live, {}, {u"PORT 9111"_s, u"PROCESS 4242"_s}};
        QTest::newRow("stopped") << ServerState::stopped() << std::optional<QString>()
                                 << MenuStatus{u"OFF"_s,
                                               ReadoutLamp::off,
                                               u"Your phone can't reach Kestrin while it's off."_s,
                                               {}};
        QTest::newRow("starting") << ServerState::starting() << std::optional<QString>()
                                  << MenuStatus{u"STARTING"_s, ReadoutLamp::working, {}, {}};
        QTest::newRow("failed")
            << ServerState::failed(ServerFailure::PortBusy{9111}) << std::optional<QString>()
            << MenuStatus{u"PROBLEM"_s,
                          ReadoutLamp::waiting,
                          u"Port 9111 is already in use. Kestrin did not start a second server."_s,
                          {}};
    }

    void headsTheMenu() {
        QFETCH(ServerState, state);
        QFETCH(std::optional<QString>, setupProblem);
        QFETCH(MenuStatus, expected);
        QCOMPARE(MenuStatus::from(state, setupProblem, 9111), expected);
    }

    void tellsThePhoneWhereToDial_data() {
        QTest::addColumn<SetupInfo>("info");
        QTest::addColumn<DialInstructions>("expected");
        QTest::addColumn<QString>("message");

        const QString dial = u"Type this into Kestrin on your phone:"_s;
        const QStringList addresses{u"192.168.1.20"_s, u"10.0.0.5"_s};
        QTest::newRow("this computer only, whatever it lists")
            << SetupInfo{.port = 9111, .hostname = u"studio"_s, .addresses = addresses, .lanEnabled = false}
            << DialInstructions(DialInstructions::NotAnsweringTheNetwork{})
            << u"Kestrin is only answering this computer, so your phone can't reach it yet."_s;
        QTest::newRow("addresses in the server's order")
            << SetupInfo{.port = 9111, .hostname = u""_s, .addresses = addresses, .lanEnabled = true}
            << DialInstructions(DialInstructions::Dial{u"192.168.1.20:9111"_s, {u"10.0.0.5:9111"_s}}) << dial;
        QTest::newRow("the name first, every address after")
            << SetupInfo{.port = 9111,
                         .hostname = u"studio.local"_s,
                         .addresses = addresses,
                         .lanEnabled = true}
            << DialInstructions(DialInstructions::Dial{u"studio.local:9111"_s,
                                                       {u"192.168.1.20:9111"_s, u"10.0.0.5:9111"_s}})
            << dial;
        QTest::newRow("a name and no addresses")
            << SetupInfo{.port = 9200, .hostname = u"studio.local"_s, .lanEnabled = true}
            << DialInstructions(DialInstructions::Dial{u"studio.local:9200"_s, {}}) << dial;
        QTest::newRow("nowhere to dial")
            << SetupInfo{.port = 9111, .lanEnabled = true}
            << DialInstructions(DialInstructions::NoAddressYet{})
            << u"This computer isn't on a network right now. Connect it to wi-fi and "
               u"try again."_s;
    }

    void tellsThePhoneWhereToDial() {
        QFETCH(SetupInfo, info);
        QFETCH(DialInstructions, expected);
        QFETCH(QString, message);
        const DialInstructions instructions = DialInstructions::from(info);
        QVERIFY2(instructions == expected, qPrintable(debugText(instructions)));
        QCOMPARE(instructions.message(), message);
    }

    void tagsThePairingCode_data() {
        QTest::addColumn<std::optional<double>>("secondsLeft"); // nothing: no code at all
        QTest::addColumn<bool>("live");
        QTest::addColumn<QString>("tag");
        QTest::newRow("fresh") << std::optional(299.2) << true << u"GOOD FOR 4:59"_s;
        QTest::newRow("one second left") << std::optional(1.0) << true << u"GOOD FOR 0:01"_s;
        QTest::newRow("half a second left") << std::optional(0.5) << false << u"THAT CODE EXPIRED"_s;
        QTest::newRow("long gone") << std::optional(-600.0) << false << u"THAT CODE EXPIRED"_s;
        QTest::newRow("no code") << std::optional<double>() << false << u"NO CODE RIGHT NOW"_s;
    }

    void tagsThePairingCode() {
        QFETCH(std::optional<double>, secondsLeft);
        QFETCH(bool, live);
        QFETCH(QString, tag);
        const auto now = PairingCode::Clock::time_point(1'700'000'000s);
        std::optional<PairingCode> code;
        if (secondsLeft)
            code = PairingCode{u"482913"_s, now + std::chrono::round<PairingCode::Clock::duration>(
                                                      std::chrono::duration<double>(*secondsLeft))};
        const CodeReadout readout{code, now};
        QCOMPARE(readout.liveCode().has_value(), live);
        QCOMPARE(readout.codeTag(), tag);
    }

    void lightsTheVoiceLamp() {
        using S = VoiceStatus::State;
        const QList<std::pair<S, ReadoutLamp>> expected{
            {S::ready, ReadoutLamp::ok},          {S::downloading, ReadoutLamp::working},
            {S::preparing, ReadoutLamp::working}, {S::failed, ReadoutLamp::waiting},
            {S::off, ReadoutLamp::off},           {S::unknown, ReadoutLamp::off}};
        for (const auto& [state, lamp] : expected)
            QCOMPARE(VoiceStatus::lampOf(VoiceStatus::toneOf(state)), lamp);
    }
};

QTEST_GUILESS_MAIN(TestMenuReadouts)
#include "tst_MenuReadouts.moc"

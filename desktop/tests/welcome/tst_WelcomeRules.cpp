// The welcome's rules: where it lands, which step follows, the progress label, the verdict and words
// of the last screen, and the six-row readout with its shortening.

#include <corvane/welcome/WelcomeFinish.h>
#include <corvane/welcome/WelcomeFlow.h>
#include <corvane/welcome/WelcomeReadout.h>

#include <QTest>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(WelcomeStep)
Q_DECLARE_METATYPE(WelcomeFacts)
Q_DECLARE_METATYPE(DeveloperToolsStage)
Q_DECLARE_METATYPE(WelcomeFinishState)
Q_DECLARE_METATYPE(std::optional<QString>)
Q_DECLARE_METATYPE(QList<WelcomeStep>)
Q_DECLARE_METATYPE(std::optional<VoiceStatus>)
Q_DECLARE_METATYPE(std::optional<AgentsSnapshot>)
Q_DECLARE_METATYPE(ReadoutRow)

namespace {

// Facts by letters: F folder chosen, A agent, P phone, T tools settled, S folder access settled.
WelcomeFacts facts(QStringView set) {
    return {set.contains(u'F'), set.contains(u'A'), set.contains(u'P'), set.contains(u'T'),
            set.contains(u'S')};
}

VoiceStatus voice(VoiceStatus::State state, std::optional<qint64> loaded = {},
                  std::optional<qint64> total = {}) {
    VoiceStatus status;
    status.state = state;
    status.loadedMB = loaded;
    status.totalMB = total;
    return status;
}

AgentsSnapshot agents(bool claude, bool codex) {
    AgentsSnapshot snapshot;
    snapshot.claude.authenticated = claude;
    snapshot.codex.authenticated = codex;
    return snapshot;
}

} // namespace

class TestWelcomeRules : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void landsOnTheFirstUnsettledStep_data() {
        QTest::addColumn<WelcomeFacts>("facts");
        QTest::addColumn<WelcomeStep>("expected");
        QTest::newRow("nothing") << facts(u"") << WelcomeStep::tools;
        QTest::newRow("tools only") << facts(u"T") << WelcomeStep::folder;
        QTest::newRow("folder chosen, access not settled") << facts(u"TF") << WelcomeStep::folder;
        QTest::newRow("access settled, no folder") << facts(u"TS") << WelcomeStep::folder;
        QTest::newRow("folder settled") << facts(u"TFS") << WelcomeStep::agent;
        QTest::newRow("agent signed in") << facts(u"TFSA") << WelcomeStep::phone;
        QTest::newRow("everything") << facts(u"TFSAP") << WelcomeStep::done;
        QTest::newRow("everything but the tools") << facts(u"FSAP") << WelcomeStep::tools;
    }

    void landsOnTheFirstUnsettledStep() {
        QFETCH(WelcomeFacts, facts);
        QFETCH(WelcomeStep, expected);
        QCOMPARE(WelcomeFlow::firstIncompleteStep(facts), expected);
        QCOMPARE(WelcomeFlow::isComplete(WelcomeStep::done, facts), expected == WelcomeStep::done);
    }

    void passesOverStepsSettledElsewhere_data() {
        QTest::addColumn<WelcomeStep>("completed");
        QTest::addColumn<WelcomeFacts>("facts");
        QTest::addColumn<WelcomeStep>("expected");
        QTest::newRow("tools, folder and agent settled")
            << WelcomeStep::tools << facts(u"TFSA") << WelcomeStep::phone;
        QTest::newRow("tools, everything settled")
            << WelcomeStep::tools << facts(u"TFSAP") << WelcomeStep::done;
        QTest::newRow("tools, nothing else") << WelcomeStep::tools << facts(u"") << WelcomeStep::folder;
        QTest::newRow("folder, agent signed in, tools unsettled")
            << WelcomeStep::folder << facts(u"A") << WelcomeStep::phone;
        QTest::newRow("folder, agent not signed in")
            << WelcomeStep::folder << facts(u"P") << WelcomeStep::agent;
        QTest::newRow("phone, nothing settled") << WelcomeStep::phone << facts(u"") << WelcomeStep::done;
        QTest::newRow("done") << WelcomeStep::done << facts(u"") << WelcomeStep::done;
    }

    void passesOverStepsSettledElsewhere() {
        QFETCH(WelcomeStep, completed);
        QFETCH(WelcomeFacts, facts);
        QFETCH(WelcomeStep, expected);
        QCOMPARE(WelcomeFlow::stepAfterCompleting(completed, facts), expected);
    }

    void labelsProgress() {
        const QList<std::tuple<WelcomeStep, std::optional<QString>, std::optional<QString>>> table{
            {WelcomeStep::tools, u"Step 1 of 4"_s, std::nullopt},
            {WelcomeStep::folder, u"Step 2 of 4"_s, u"Step 1 of 3"_s},
            {WelcomeStep::agent, u"Step 3 of 4"_s, u"Step 2 of 3"_s},
            {WelcomeStep::phone, u"Step 4 of 4"_s, u"Step 3 of 3"_s},
            {WelcomeStep::done, std::nullopt, std::nullopt},
        };
        for (const auto& [step, withTools, withoutTools] : table) {
            QCOMPARE(WelcomeFlow::progressLabel(step, true), withTools);
            QCOMPARE(WelcomeFlow::progressLabel(step, false), withoutTools);
        }
        QCOMPARE(WelcomeFlow::fromRawValue(4), std::optional(WelcomeStep::done));
        QCOMPARE(WelcomeFlow::fromRawValue(5), std::nullopt);
        QCOMPARE(WelcomeFlow::fromRawValue(-1), std::nullopt);
    }

    void onlyTheGlassesAreNotPhones() {
        const PairedDevice glasses{u"g"_s, u"Glasses"_s, std::nullopt};
        const PairedDevice lowerCase{u"l"_s, u"glasses"_s, std::nullopt};
        const PairedDevice pixel{u"p"_s, u"Pixel"_s, std::nullopt};
        QCOMPARE(WelcomeFlow::phones({glasses}), QList<PairedDevice>());
        QCOMPARE(WelcomeFlow::phones({pixel, glasses, lowerCase}), (QList<PairedDevice>{pixel, lowerCase}));
    }

    void judgesTheLastScreen_data() {
        QTest::addColumn<WelcomeFacts>("facts");
        QTest::addColumn<DeveloperToolsStage>("tools");
        QTest::addColumn<QList<WelcomeStep>>("skipped");
        QTest::addColumn<WelcomeFinishState>("expected");
        using enum DeveloperToolsStage;
        const QList<WelcomeStep> nothing;
        QTest::newRow("ready") << facts(u"FAP") << ready << nothing << WelcomeFinishState::ready;
        QTest::newRow("still checking")
            << facts(u"FAP") << checking << nothing << WelcomeFinishState::almostReady;
        QTest::newRow("installing") << facts(u"FAP") << installing << nothing
                                    << WelcomeFinishState::almostReady;
        QTest::newRow("tools missing") << facts(u"FAP") << missing << nothing << WelcomeFinishState::notReady;
        QTest::newRow("installer closed")
            << facts(u"FAP") << installerClosed << nothing << WelcomeFinishState::notReady;
        QTest::newRow("phone skipped")
            << facts(u"FA") << ready << QList{WelcomeStep::phone} << WelcomeFinishState::notReady;
        QTest::newRow("everything skipped")
            << facts(u"TS") << ready << QList{WelcomeStep::folder, WelcomeStep::agent, WelcomeStep::phone}
            << WelcomeFinishState::notReady;
    }

    void judgesTheLastScreen() {
        QFETCH(WelcomeFacts, facts);
        QFETCH(DeveloperToolsStage, tools);
        QFETCH(QList<WelcomeStep>, skipped);
        QFETCH(WelcomeFinishState, expected);
        QCOMPARE(WelcomeFinish::skippedSteps(facts), skipped);
        QCOMPARE(WelcomeFinish::state(facts, tools), expected);
    }

    void saysWhatIsStillToDo_data() {
        QTest::addColumn<QList<WelcomeStep>>("steps");
        QTest::addColumn<std::optional<QString>>("expected");
        QTest::newRow("nothing") << QList<WelcomeStep>() << std::optional<QString>();
        QTest::newRow("no phrase") << QList{WelcomeStep::tools, WelcomeStep::done}
                                   << std::optional<QString>();
        QTest::newRow("one") << QList{WelcomeStep::phone}
                             << std::optional(u"Still to do: pair your phone."_s);
        QTest::newRow("two") << QList{WelcomeStep::agent, WelcomeStep::phone}
                             << std::optional(u"Still to do: sign in to an AI and pair your phone."_s);
        QTest::newRow("three, tools dropped")
            << QList{WelcomeStep::folder, WelcomeStep::tools, WelcomeStep::agent, WelcomeStep::phone}
            << std::optional(
                   u"Still to do: choose a project folder, sign in to an AI and pair your phone."_s);
    }

    void saysWhatIsStillToDo() {
        QFETCH(QList<WelcomeStep>, steps);
        QFETCH(std::optional<QString>, expected);
        QCOMPARE(WelcomeFinishWords::skipped(steps), expected);
    }

    void shortensByWhatPeopleSeeAsCharacters_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("eleven stay whole") << u"kestrin-app"_s << u"KESTRIN-APP"_s;
        QTest::newRow("twelve are shortened") << u"kestrin-apps"_s << u"KESTRIN-AP…"_s;
        QTest::newRow("twenty") << u"abcdefghijklmnopqrst"_s << u"ABCDEFGHIJ…"_s;
        // Eleven letters, each with a combining accent: 22 code points, 11 characters.
        QTest::newRow("combining marks count with their letter")
            << u"e\u0301"_s.repeated(11) << u"E\u0301"_s.repeated(11);
        QTest::newRow("combining marks, twelve")
            << u"e\u0301"_s.repeated(12) << u"E\u0301"_s.repeated(10) + u"…"_s;
        // A family emoji is one character made of several code points.
        const QString family = u"\U0001F468\u200D\U0001F469\u200D\U0001F467"_s;
        QTest::newRow("emoji sequences are one character each")
            << family.repeated(12) << family.repeated(10) + u"…"_s;
        QTest::newRow("upper case without the locale: i stays I") << u"iii"_s << u"III"_s;
        QTest::newRow("ß becomes SS") << u"straße"_s << u"STRASSE"_s;
    }

    void shortensByWhatPeopleSeeAsCharacters() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(WelcomeReadout::shortened(text), expected);
    }

    void readsOutSixRows_data() {
        QTest::addColumn<WelcomeStep>("step");
        QTest::addColumn<DeveloperToolsStage>("tools");
        QTest::addColumn<std::optional<VoiceStatus>>("voiceStatus");
        QTest::addColumn<std::optional<QString>>("folder");
        QTest::addColumn<bool>("chosen");
        QTest::addColumn<std::optional<AgentsSnapshot>>("agentsSnapshot");
        QTest::addColumn<std::optional<QString>>("phone");
        QTest::addColumn<bool>("glasses");
        QTest::addColumn<QList<ReadoutRow>>("expected");
        using L = ReadoutLamp;
        const auto row = [](const QString& name, const QString& value, L lamp) {
            return ReadoutRow{name, value, lamp};
        };
        const std::optional<QString> noText;
        QTest::newRow("first run, on the tools")
            << WelcomeStep::tools << DeveloperToolsStage::checking << std::optional<VoiceStatus>() << noText
            << false << std::optional<AgentsSnapshot>() << noText << false
            << QList{row(u"DEV TOOLS"_s, u"CHECKING"_s, L::off),
                     row(u"VOICE"_s, u"—"_s, L::off),
                     row(u"FOLDER"_s, u"—"_s, L::off),
                     row(u"AI"_s, u"—"_s, L::off),
                     row(u"PHONE"_s, u"—"_s, L::off),
                     row(u"GLASSES"_s, u"LATER"_s, L::off)};
        QTest::newRow("on the folder, downloading")
            << WelcomeStep::folder << DeveloperToolsStage::installing
            << std::optional(voice(VoiceStatus::State::downloading, 0, 450)) << noText << false
            << std::optional(agents(false, false)) << noText << false
            << QList{row(u"DEV TOOLS"_s, u"INSTALLING"_s, L::working),
                     row(u"VOICE"_s, u"0/450MB"_s, L::working),
                     row(u"FOLDER"_s, u"CHOOSE"_s, L::live),
                     row(u"AI"_s, u"—"_s, L::off),
                     row(u"PHONE"_s, u"—"_s, L::off),
                     row(u"GLASSES"_s, u"LATER"_s, L::off)};
        QTest::newRow("on the agent, a folder with a long name")
            << WelcomeStep::agent << DeveloperToolsStage::installerClosed
            << std::optional(voice(VoiceStatus::State::downloading, 12, std::nullopt))
            << std::optional(u"/home/me/src/kestrin-experiments/"_s) << true
            << std::optional<AgentsSnapshot>() << noText << false
            << QList{row(u"DEV TOOLS"_s, u"NOT YET"_s, L::waiting),
                     row(u"VOICE"_s, u"DOWNLOADING"_s, L::working),
                     row(u"FOLDER"_s, u"KESTRIN-EX…"_s, L::ok),
                     row(u"AI"_s, u"SIGN IN"_s, L::live),
                     row(u"PHONE"_s, u"—"_s, L::off),
                     row(u"GLASSES"_s, u"LATER"_s, L::off)};
        QTest::newRow("on the phone, codex only, folder set without a path")
            << WelcomeStep::phone << DeveloperToolsStage::missing
            << std::optional(voice(VoiceStatus::State::failed)) << std::optional(QString()) << true
            << std::optional(agents(false, true)) << noText << false
            << QList{row(u"DEV TOOLS"_s, u"MISSING"_s, L::waiting),
                     row(u"VOICE"_s, u"PROBLEM"_s, L::waiting),
                     row(u"FOLDER"_s, u"SET"_s, L::ok),
                     row(u"AI"_s, u"CHATGPT"_s, L::ok),
                     row(u"PHONE"_s, u"WAITING"_s, L::live),
                     row(u"GLASSES"_s, u"LATER"_s, L::off)};
        QTest::newRow("done, everything")
            << WelcomeStep::done << DeveloperToolsStage::ready
            << std::optional(voice(VoiceStatus::State::ready)) << std::optional(u"/srv/app"_s) << true
            << std::optional(agents(true, true)) << std::optional(u"Ana’s Pixel 9 Pro"_s) << true
            << QList{row(u"DEV TOOLS"_s, u"READY"_s, L::ok),   row(u"VOICE"_s, u"READY"_s, L::ok),
                     row(u"FOLDER"_s, u"APP"_s, L::ok),        row(u"AI"_s, u"BOTH"_s, L::ok),
                     row(u"PHONE"_s, u"ANA’S PIXE…"_s, L::ok), row(u"GLASSES"_s, u"READY"_s, L::ok)};
        QTest::newRow("claude only, preparing, on the folder with a path")
            << WelcomeStep::folder << DeveloperToolsStage::ready
            << std::optional(voice(VoiceStatus::State::preparing)) << std::optional(u"/srv/app"_s) << true
            << std::optional(agents(true, false)) << noText << false
            << QList{row(u"DEV TOOLS"_s, u"READY"_s, L::ok), row(u"VOICE"_s, u"PREPARING"_s, L::working),
                     row(u"FOLDER"_s, u"APP"_s, L::live),    row(u"AI"_s, u"CLAUDE"_s, L::ok),
                     row(u"PHONE"_s, u"—"_s, L::off),        row(u"GLASSES"_s, u"LATER"_s, L::off)};
    }

    void readsOutSixRows() {
        QFETCH(WelcomeStep, step);
        QFETCH(DeveloperToolsStage, tools);
        QFETCH(std::optional<VoiceStatus>, voiceStatus);
        QFETCH(std::optional<QString>, folder);
        QFETCH(bool, chosen);
        QFETCH(std::optional<AgentsSnapshot>, agentsSnapshot);
        QFETCH(std::optional<QString>, phone);
        QFETCH(bool, glasses);
        QFETCH(QList<ReadoutRow>, expected);
        QCOMPARE(
            WelcomeReadout::rows(step, tools, voiceStatus, folder, chosen, agentsSnapshot, phone, glasses),
            expected);
    }
};

QTEST_GUILESS_MAIN(TestWelcomeRules)
#include "tst_WelcomeRules.moc"

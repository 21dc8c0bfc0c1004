// The live-previews switch: what it shows for each stage, the flow that reads and changes the
// setting (choices dropped while saving, the server's answer shown, the rollback), the consent that
// turns it on only through the sheet, and the model that publishes both.

#include "support/PreviewsFixture.h"

#include <corvane/previews/LivePreviewsWords.h>
#include <corvane/previews/PreviewsSwitchConsent.h>

#include <corvane/PreviewsSwitchViewModel.h>

#include <QCoreApplication>
#include <QSignalSpy>

using StatusLine = PreviewsSwitchStage::StatusLine;

namespace {

const QString didNotTake = LivePreviewsWords::didNotTake.toString();
const QString notRunning = LivePreviewsWords::notRunning.toString();

} // namespace

class TestLivePreviews : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theSwitchShowsWhatIsInEffect_data() {
        QTest::addColumn<Switch>("stage");
        QTest::addColumn<bool>("showsOn");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<std::optional<StatusLine>>("status");
        const std::optional<StatusLine> none;
        QTest::newRow("loading") << Switch{} << false << false << none;
        QTest::newRow("on") << Switch{Switch::Ready{true, std::nullopt}} << true << true << none;
        QTest::newRow("off") << Switch{Switch::Ready{false, std::nullopt}} << false << true << none;
        QTest::newRow("on after a failed change")
            << Switch{Switch::Ready{true, didNotTake}} << true << true
            << std::optional(StatusLine{ReadoutLamp::waiting, didNotTake});
        QTest::newRow("saving from on") << Switch{Switch::Saving{true}} << true << false
                                        << std::optional(StatusLine{ReadoutLamp::working, u"Saving…"_s});
        QTest::newRow("saving from off") << Switch{Switch::Saving{false}} << false << false
                                         << std::optional(StatusLine{ReadoutLamp::working, u"Saving…"_s});
        QTest::newRow("unavailable") << Switch{Switch::Unavailable{notRunning}} << false << false
                                     << std::optional(StatusLine{ReadoutLamp::waiting, notRunning});
    }
    void theSwitchShowsWhatIsInEffect() {
        QFETCH(Switch, stage);
        QFETCH(bool, showsOn);
        QFETCH(bool, enabled);
        QFETCH(std::optional<StatusLine>, status);
        QCOMPARE(stage.switchShowsOn(), showsOn);
        QCOMPARE(stage.switchIsEnabled(), enabled);
        QVERIFY(stage.statusLine() == status);
    }

    // From each starting point, one choice (or none) and the server's answer: the stage it ends in,
    // the stage while saving, and what was asked of the server.
    void theFlowFollowsTheServer_data() {
        QTest::addColumn<std::optional<PreviewsOutcome>>("read"); // nothing: never read
        QTest::addColumn<std::optional<bool>>("choice");
        QTest::addColumn<std::optional<PreviewsOutcome>>("answer"); // nothing: the value asked for
        QTest::addColumn<Switch>("during");
        QTest::addColumn<Switch>("after");
        QTest::addColumn<QStringList>("requests");
        const std::optional<PreviewsOutcome> taken;
        const Switch noSaving{};
        QTest::newRow("a fresh flow sends nothing") << std::optional<PreviewsOutcome>() << std::optional(true)
                                                    << taken << noSaving << Switch{} << QStringList();
        QTest::newRow("read on") << std::optional<PreviewsOutcome>(true) << std::optional<bool>() << taken
                                 << noSaving << Switch{Switch::Ready{true, std::nullopt}}
                                 << QStringList{u"load"_s};
        QTest::newRow("a read that fails")
            << std::optional(previewsRefused) << std::optional(false) << taken << noSaving
            << Switch{Switch::Unavailable{notRunning}} << QStringList{u"load"_s};
        QTest::newRow("off, taken") << std::optional<PreviewsOutcome>(true) << std::optional(false) << taken
                                    << Switch{Switch::Saving{true}}
                                    << Switch{Switch::Ready{false, std::nullopt}}
                                    << QStringList{u"load"_s, u"set off"_s};
        QTest::newRow("on, kept off by the server")
            << std::optional<PreviewsOutcome>(false) << std::optional(true)
            << std::optional<PreviewsOutcome>(false) << Switch{Switch::Saving{false}}
            << Switch{Switch::Ready{false, std::nullopt}} << QStringList{u"load"_s, u"set on"_s};
        QTest::newRow("off, refused: back on with the problem")
            << std::optional<PreviewsOutcome>(true) << std::optional(false) << std::optional(previewsRefused)
            << Switch{Switch::Saving{true}} << Switch{Switch::Ready{true, didNotTake}}
            << QStringList{u"load"_s, u"set off"_s};
    }
    void theFlowFollowsTheServer() {
        QFETCH(std::optional<PreviewsOutcome>, read);
        QFETCH(std::optional<bool>, choice);
        QFETCH(std::optional<PreviewsOutcome>, answer);
        QFETCH(Switch, during);
        QFETCH(Switch, after);
        QFETCH(QStringList, requests);
        FakePreviewsServer server;
        server.changed = answer;
        PreviewsSwitchFlow flow(server.operations());
        QCOMPARE(flow.stage(), Switch{});
        if (read) {
            server.loaded = *read;
            QCoro::waitFor(flow.refresh());
        }
        QList<Switch> seen;
        flow.onStageChange = [&](const Switch& stage) { seen.append(stage); };
        if (choice)
            QCoro::waitFor(flow.choose(*choice));
        QCOMPARE(flow.stage(), after);
        QCOMPARE(server.requests, requests);
        if (during != Switch{}) {
            QCOMPARE(seen.size(), 2);
            QCOMPARE(seen.first(), during);
        } else {
            QVERIFY(seen.isEmpty()); // nothing happened: not even the same stage again
        }
    }

    // A choice while one saves is dropped, not queued; a read that lands meanwhile is shown, and the
    // change, when it lands, has the last word.
    void aChoiceWhileSavingIsDroppedAndAReadMeanwhileIsShown() {
        FakePreviewsServer server;
        PreviewsSwitchFlow flow(server.operations());
        QCoro::waitFor(flow.refresh());
        server.changeGate = OneShot<bool>();
        flow.choose(true);
        flow.choose(false);
        QCOMPARE(flow.stage(), (Switch{Switch::Saving{false}}));
        QCOMPARE(server.requests, (QStringList{u"load"_s, u"set on"_s}));

        server.loadGate = OneShot<bool>();
        server.loaded = previewsRefused;
        flow.refresh();
        server.loadGate->set(true);
        QTRY_COMPARE(flow.stage(), (Switch{Switch::Unavailable{notRunning}}));
        server.changeGate->set(true);
        QTRY_COMPARE(flow.stage(), (Switch{Switch::Ready{true, std::nullopt}}));
    }

    void aProblemLastsUntilTheNextReadOrChange() {
        FakePreviewsServer server;
        PreviewsSwitchFlow flow(server.operations());
        QCoro::waitFor(flow.refresh());
        server.changed = previewsRefused;
        QCoro::waitFor(flow.choose(true));
        QCOMPARE(flow.stage(), (Switch{Switch::Ready{false, didNotTake}}));
        QCoro::waitFor(flow.refresh());
        QCOMPARE(flow.stage(), (Switch{Switch::Ready{false, std::nullopt}}));
        QCoro::waitFor(flow.choose(true));
        QCOMPARE(flow.stage(), (Switch{Switch::Ready{false, didNotTake}}));
        server.changed.reset();
        QCoro::waitFor(flow.choose(true));
        QCOMPARE(flow.stage(), (Switch{Switch::Ready{true, std::nullopt}}));
    }

    // Moving the switch on only asks; "Turn on" sends; declining sends nothing; off needs no asking.
    void turningOnGoesThroughTheSheet() {
        FakePreviewsServer server;
        PreviewsSwitchFlow flow(server.operations());
        PreviewsSwitchConsent consent(flow);
        QList<bool> asked;
        consent.onAskingChange = [&](bool asking) { asked.append(asking); };

        QCoro::waitFor(consent.confirm()); // "Turn on" before the read: closes nothing, sends nothing
        QCoro::waitFor(flow.refresh());
        QCoro::waitFor(consent.flip(true));
        QCoro::waitFor(consent.flip(true)); // asked already: no second call
        QVERIFY(consent.asking());
        consent.decline();
        QVERIFY(!consent.asking());
        QCOMPARE(server.requests, QStringList{u"load"_s});

        QCoro::waitFor(consent.flip(true));
        QCoro::waitFor(consent.confirm());
        QVERIFY(!consent.asking());
        QCOMPARE(flow.stage(), (Switch{Switch::Ready{true, std::nullopt}}));
        QCoro::waitFor(consent.flip(false));
        QCOMPARE(flow.stage(), (Switch{Switch::Ready{false, std::nullopt}}));
        QCOMPARE(server.requests, (QStringList{u"load"_s, u"set on"_s, u"set off"_s}));
        QCOMPARE(asked, (QList<bool>{true, false, true, false}));

        // "Turn on" while a change saves closes the question and changes nothing.
        server.changeGate = OneShot<bool>();
        consent.flip(false);
        QCoro::waitFor(consent.flip(true));
        consent.confirm();
        QVERIFY(!consent.asking());
        server.changeGate->set(true);
        QTRY_COMPARE(flow.stage(), (Switch{Switch::Ready{false, std::nullopt}}));
        QCOMPARE(server.requests.size(), 4);
    }

    void theModelPublishesTheSwitchAndTheSheet() {
        FakePreviewsServer server;
        server.loaded = true;
        PreviewsSwitchViewModel model(server.operations());
        QSignalSpy changes(&model, &PreviewsSwitchViewModel::changed);
        QCOMPARE(model.stage(), Switch{});
        model.refresh();
        QTRY_COMPARE(model.stage(), (Switch{Switch::Ready{true, std::nullopt}}));
        model.choose(false);
        QTRY_COMPARE(model.stage(), (Switch{Switch::Ready{false, std::nullopt}}));
        model.choose(true);
        QVERIFY(model.asking());
        model.decline();
        QVERIFY(!model.asking());
        model.choose(true);
        model.turnOnAfterReading();
        QVERIFY(!model.asking());
        QTRY_COMPARE(model.stage(), (Switch{Switch::Ready{true, std::nullopt}}));
        changes.clear();
        model.setReading(true);
        model.setReading(true);
        QVERIFY(model.reading());
        QCOMPARE(changes.size(), 1);
        QCOMPARE(server.requests, (QStringList{u"load"_s, u"set off"_s, u"set on"_s}));
    }

    // A display-only model shows what it is given and asks nothing of anyone.
    void aDisplayOnlyModelIgnoresEveryAction() {
        FakePreviewsServer server;
        PreviewsSwitchViewModel model(server.operations());
        const Switch shown{Switch::Ready{false, std::nullopt}};
        model.showFixed(shown, true, false);
        QVERIFY(model.isPreview());
        model.refresh();
        model.choose(false);
        model.turnOnAfterReading();
        model.decline();
        model.setReading(true);
        QCoreApplication::processEvents(); // a held answer resumes from the event loop
        QCOMPARE(server.requests, QStringList());
        QCOMPARE(model.stage(), shown);
        QVERIFY(model.asking());
        QVERIFY(!model.reading());
    }

    // The answer to a request that outlives its model reaches the flow, not the model that is gone.
    void anAnswerAfterTheModelIsGoneIsDropped() {
        FakePreviewsServer server;
        server.loadGate = OneShot<bool>();
        auto model = std::make_unique<PreviewsSwitchViewModel>(server.operations());
        model->refresh();
        model.reset();
        server.loadGate->set(true);
        QCoreApplication::processEvents(); // a held answer resumes from the event loop
        QCOMPARE(server.requests, QStringList{u"load"_s});
    }
};

QTEST_GUILESS_MAIN(TestLivePreviews)
#include "tst_LivePreviews.moc"

// The glasses window over its model: the keys each stage offers, Return on the hot key, Done closing
// and resetting, the packaging problem, the helper's removal, and a picture of every stage.

#include "support/Gallery.h"

#include <corvane/glasses/AdbDownload.h>
#include <corvane/glasses/GlassesSetupView.h>

#include <corvane/GlassesViewModel.h>
#include <corvane/controls/FieldLink.h>
#include <corvane/controls/FieldUnitFonts.h>
#include <corvane/controls/Key.h>
#include <corvane/controls/WindowTopBar.h>
#include <corvane/windows/AppWindow.h>

#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;

namespace {

using Stage = GlassesSetupStage;
using Result = GlassesSetupResult;

struct Window {
    AppWindow window{u"Set Up Your Glasses"_s};
    glasses::GlassesSetupView* view;
    explicit Window(GlassesViewModel& model)
        : view(new glasses::GlassesSetupView(model)) {
        window.topBar().setLabel(u"Kestrin · your glasses"_s);
        window.content()->addWidget(view);
        QObject::connect(view, &glasses::GlassesSetupView::doneRequested, &window, &QWidget::close);
        window.show();
    }
};

} // namespace

class TestGlassesWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QCOMPARE(FieldUnitFonts::registerFonts(QStringLiteral(KESTRIN_FONTS_DIR)), 3); }

    void eachStage_data() {
        QTest::addColumn<Stage>("stage");
        QTest::addColumn<bool>("helper");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QString>("picture");
        const QString begin = u"Set up my glasses*"_s;
        QTest::newRow("idle") << Stage{} << false << QStringList{begin} << u"idle"_s;
        QTest::newRow("idle with a helper")
            << Stage{} << true << QStringList{u"Remove Google's helper"_s, begin} << u"idle-helper"_s;
        QTest::newRow("checking") << Stage{Stage::Checking{}} << true << QStringList{begin + u" (off)"_s}
                                  << u"checking"_s;
        QTest::newRow("asking") << Stage{Stage::AskingToFetchTool{}} << true
                                << QStringList{u"Not now"_s, u"Get it from Google*"_s} << u"asking"_s;
        QTest::newRow("downloading") << Stage{Stage::FetchingTool{}} << false
                                     << QStringList{begin + u" (off)"_s} << u"downloading"_s;
        QTest::newRow("blocked")
            << Stage{Stage::Blocked{
                   u"I can't see your glasses."_s,
                   u"Plug them into this computer with the cable that came in the box, and make sure "
                   u"they're switched on. If they are plugged in already, try a different cable — "
                   u"some only carry charge, and a charging cable looks exactly like nothing at all "
                   u"from here."_s}}
            << false << QStringList{u"Try again*"_s} << u"blocked"_s;
        QTest::newRow("no helper for this processor")
            << Stage{Stage::Blocked{AdbDownload::notForThisProcessor.toString(),
                                    AdbDownload::installTheSystemsAdb.toString()}}
            << false << QStringList{u"Try again*"_s} << u"blocked-processor"_s;
        QTest::newRow("stopped for a quit")
            << Stage{Stage::Stopped{GlassesSetupWords::stoppedForQuit.toString()}} << false
            << QStringList{u"Try again*"_s} << u"stopped-quit"_s;
        QTest::newRow("updating") << Stage{Stage::Installing{{InstallBecause::NewerAvailable{
                                         u"1.2 (build 12)"_s, u"1.3 (build 13)"_s}}}}
                                  << false << QStringList{begin + u" (off)"_s} << u"updating"_s;
        QTest::newRow("connecting") << Stage{Stage::Connecting{true}} << false
                                    << QStringList{begin + u" (off)"_s} << u"connecting"_s;
        QTest::newRow("ready") << Stage{Stage::Finished{{Result::InstalledWithoutSilentUpdates{u"1.3"_s}}}}
                               << true << QStringList{u"Remove Google's helper"_s, u"Done*"_s} << u"ready"_s;
        QTest::newRow("not connected")
            << Stage{Stage::Finished{{Result::InstalledButCannotReach{
                   u"1.3"_s, u"Your glasses didn't connect to this computer."_s,
                   u"Check that they're on the same wi-fi as this computer and that Kestrin is open on them, "
                   u"then "
                   u"press Try again."_s}}}}
            << false << QStringList{u"Done"_s, u"Try again*"_s} << u"not-connected"_s;
        QTest::newRow("failed")
            << Stage{Stage::Failed{
                   AdbProvisionErrors::plainDescription(AdbProvisionError::notFromGoogle).toString()}}
            << false << QStringList{u"Try again*"_s} << u"failed"_s;
    }
    void eachStage() {
        QFETCH(Stage, stage);
        QFETCH(bool, helper);
        QFETCH(QStringList, keys);
        QFETCH(QString, picture);
        GlassesViewModel model(std::make_shared<GlassesSetup>(GlassesSetup::Dependencies{}), std::nullopt);
        model.showFixed(stage, helper);
        Window w(model);
        layOutPending();
        QCOMPARE(shownKeys(*w.view), keys);
        QVERIFY(shownLabels(*w.view).contains(stage.headline()));
        QCOMPARE(w.view->findChild<FieldLink*>()->isVisibleTo(w.view),
                 std::holds_alternative<Stage::AskingToFetchTool>(stage.value));
        QCOMPARE(w.window.size(), QSize(560, 460));
        saveToGallery(w.window, u"glasses-"_s + picture);
    }

    void withoutTheGlassesApp() {
        GlassesViewModel model(nullptr, std::nullopt);
        Window w(model);
        layOutPending();
        QCOMPARE(shownKeys(*w.view), QStringList{u"Set up my glasses* (off)"_s});
        QVERIFY(shownLabels(*w.view).contains(GlassesViewModel::packagingWords.toString()));
        QVERIFY(!shownLabels(*w.view).contains(u"Set up your glasses"_s));
        saveToGallery(w.window, u"glasses-packaging-problem"_s);
    }

    // Return presses the hot key; Done resets the setup and closes the window.
    // From the keyboard alone: asked to fetch the helper, Tab reaches both answers and Google's terms,
    // each showing the focus.
    void theKeyboardReachesEveryControl() {
        auto flow =
            std::make_shared<GlassesSetup>(GlassesSetup::Dependencies{.locate = [] { return AdbSource{}; }});
        GlassesViewModel model(flow, std::nullopt);
        Window w(model);
        w.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w.window));
        QTest::keyClick(w.view, Qt::Key_Return);
        QCOMPARE(model.stage(), Stage{Stage::AskingToFetchTool{}});
        const QStringList names = namesOf(tabWalk(w.window, u"glasses"_s));
        for (const QString& control :
             {u"Close"_s, AdbDownload::consentAcceptLabel.toString(),
              AdbDownload::consentDeclineLabel.toString(), AdbDownload::licenseLinkLabel.toString()})
            QVERIFY2(names.contains(control), qPrintable(names.join(u" | "_s)));
    }

    void keysDoWhatTheySay() {
        int locates = 0;
        auto flow = std::make_shared<GlassesSetup>(GlassesSetup::Dependencies{
            .locate =
                [&] {
                    ++locates;
                    return AdbSource{};
                },
        });
        GlassesViewModel model(flow, std::nullopt);
        Window w(model);
        QTest::keyClick(w.view, Qt::Key_Return);
        QCOMPARE(locates, 1);
        QCOMPARE(model.stage(), Stage{Stage::AskingToFetchTool{}});
        QTest::mouseClick(shownKey(*w.view, AdbDownload::consentDeclineLabel.toString()), Qt::LeftButton);
        QCOMPARE(model.stage(), (Stage{Stage::Stopped{AdbDownload::declinedMessage.toString()}}));
        saveToGallery(w.window, u"glasses-declined"_s);

        model.showFixed({Stage::Finished{{Result::Installed{u"1.3"_s}}}}, false);
        QSignalSpy done(w.view, &glasses::GlassesSetupView::doneRequested);
        QTest::keyClick(w.view, Qt::Key_Return);
        QCOMPARE(done.size(), 1);
        QVERIFY(!w.window.isVisible());
    }

    // A word longer than the glass is drawn smaller, on one line.
    void aLongWordFits() {
        GlassesViewModel model(std::make_shared<GlassesSetup>(GlassesSetup::Dependencies{}), std::nullopt);
        model.showFixed({Stage::Finished{{Result::InstalledButCannotReach{u"1.3"_s, u"R."_s, u"W."_s}}}},
                        false);
        Window w(model);
        layOutPending();
        QLabel* word = nullptr;
        for (QLabel* label : w.view->findChildren<QLabel*>())
            if (label->text() == u"NOT CONNECTED"_s)
                word = label;
        QVERIFY(word);
        QVERIFY(word->fontMetrics().horizontalAdvance(word->text()) <= word->width());
    }
};

QTEST_MAIN(TestGlassesWindow)
#include "tst_GlassesWindow.moc"
